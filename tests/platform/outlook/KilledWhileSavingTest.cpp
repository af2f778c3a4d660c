// A process killed in the middle of many saves leaves every message whole and in the folder
// once, never cut short; what it left in tmp/ goes when the folder is read again.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "tests/platform/outlook/StoreFixture.h"

using namespace outlook;
namespace fs = std::filesystem;

namespace {

constexpr int kMessages = 30;

std::string MessageNumber(int n)
{
    test::TestMessage m;
    m.subject = "original";
    m.body = "message " + std::to_string(n) + "\n" + std::string(static_cast<std::size_t>(n % 3) * 400000 + 4000, 'x') + "\nend of message " + std::to_string(n) + "\n";
    m.attachments = {{"part.bin", std::string(3000, static_cast<char>('a' + n % 26))}};
    return test::MessageText(m);
}

/// The message with its Subject line put back to the original one.
std::string WithOriginalSubject(std::string text)
{
    const auto at = text.find("\nSubject: ");
    if (at == std::string::npos) return text;
    const auto end = text.find('\n', at + 1);
    return text.replace(at, end - at, "\nSubject: original");
}

/// Saves subjects and flags of every item over and over, telling the parent as each save starts.
[[noreturn]] void SaveForever(const fs::path& root, int report)
{
    ApplicationConfig config;
    config.stores.push_back({"Mailbox", root.string(), StoreLayout::Nested});
    auto items = CreateApplication(config)->GetNamespace("MAPI")->GetDefaultFolder(olFolderInbox)->Items();
    for (int round = 0; round < 1000; ++round) {
        for (int i = 1; i <= items->Count(); ++i) {
            auto item = items->Item(i);
            item->SetSubject("round " + std::to_string(round) + " " + std::string(static_cast<std::size_t>(round % 7) * 40, 'y'));
            item->SetUnread(round % 2 == 0);
            // Told before the save, so that the kill falls inside it.
            const char saving = 1;
            if (::write(report, &saving, 1) != 1) ::_exit(1);
            item->Save();
        }
    }
    ::_exit(0);
}

class KilledWhileSaving : public outlook_test::StoreTest {};

TEST_F(KilledWhileSaving, EveryMessageStaysWholeAndOnce)
{
    std::map<std::string, int> originals;  // text -> number of the message
    for (int n = 0; n < kMessages; ++n) {
        const std::string text = MessageNumber(n);
        originals.emplace(text, n);
        store_.Add("Inbox", text);
    }
    for (const int saves : {7, 45, 101, 160}) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            SaveForever(store_.Root(), pipeFds[1]);
        }
        ::close(pipeFds[1]);
        char byte = 0;
        int seen = 0;
        while (seen < saves && ::read(pipeFds[0], &byte, 1) == 1) ++seen;
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(pipeFds[0]);
        ASSERT_EQ(seen, saves) << "the saving process ended early";

        std::map<int, int> copies;
        for (const auto& file : store_.Files("Inbox")) {
            const auto found = originals.find(WithOriginalSubject(test::ReadFile(file)));
            ASSERT_NE(found, originals.end()) << "damaged message " << file;
            ++copies[found->second];
        }
        for (int n = 0; n < kMessages; ++n) {
            EXPECT_EQ(copies[n], 1) << "message " << n << " after " << saves << " saves";
        }
    }
    EXPECT_EQ(Inbox()->Items()->Count(), kMessages);
    EXPECT_TRUE(fs::is_empty(store_.Folder("Inbox") / "tmp")) << "the killed saves' files are left";
}

}  // namespace
