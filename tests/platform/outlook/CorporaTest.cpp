// Every real-world message of the shared corpora opens and answers every member.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"
#include "tests/platform/outlook/StoreFixture.h"
#include "tests/support/DecoderComparison.h"

using namespace outlook;
namespace fs = std::filesystem;

namespace {

bool IsMessageFile(const fs::path& path)
{
    const std::string ext = path.extension().string();
    return fs::is_regular_file(path) && ext != ".md" && ext != ".msg" && path.filename().string()[0] != '.';
}

void ReadEveryMember(IOutlookItem& item, const fs::path& scratch)
{
    item.Class();
    item.Subject();
    item.SenderName();
    item.SenderEmailAddress();
    item.TransportHeaders();
    item.Body();
    item.HTMLBody();
    item.Sent();
    item.SentOn();
    item.ReceivedTime();
    item.CreationTime();
    item.Unread();
    auto recipients = item.Recipients();
    for (int r = 1; r <= recipients->Count(); ++r) {
        recipients->Item(r)->Name();
        recipients->Item(r)->AddressEntry()->Address();
    }
    auto atts = item.Attachments();
    for (int a = 1; a <= atts->Count(); ++a) {
        auto att = atts->Item(a);
        att->Filename();
        att->DisplayName();
        att->Type();
        att->SaveAsFile((scratch / "att.bin").string());
    }
    for (const int type : {olTXT, olHTML, olRFC822}) item.SaveAs((scratch / "saved").string(), type);
}

/// Every message of the corpora added to the Inbox of `store`; how many.
int AddCorpora(test::MaildirBuilder& store, const fs::path& corpora)
{
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpora)) {
        if (!IsMessageFile(entry.path())) continue;
        store.Add("Inbox", test::ReadFile(entry.path()));
        ++count;
    }
    return count;
}

ApplicationConfig ConfigOf(const test::MaildirBuilder& store)
{
    ApplicationConfig config;
    config.stores.push_back({"Mailbox", store.Root().string(), StoreLayout::Nested});
    return config;
}

TEST(CorporaTest, EveryMessageAnswersEveryMember)
{
    const fs::path corpora = test::CorporaDir();
    if (!fs::exists(corpora)) GTEST_SKIP() << "no corpora at " << corpora;
    test::TempDir dir;
    test::MaildirBuilder store(dir.Path() / "Mail");
    const int count = AddCorpora(store, corpora);
    const ApplicationConfig config = ConfigOf(store);
    auto app = CreateApplication(config);
    auto items = app->GetNamespace("MAPI")->GetDefaultFolder(olFolderInbox)->Items();
    ASSERT_EQ(items->Count(), count);
    int failures = 0;
    for (int i = 1; i <= count; ++i) {
        try {
            ReadEveryMember(*items->Item(i), dir.Path());
        } catch (const std::exception& e) {
            ++failures;
            ADD_FAILURE() << "item " << i << ": " << e.what();
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(count, 300);
}

TEST(CorporaTest, BodiesReadTheSameWhetherOrNotTheWholeMessageWasParsed)
{
    const fs::path corpora = test::CorporaDir();
    if (!fs::exists(corpora)) GTEST_SKIP() << "no corpora at " << corpora;
    test::TempDir dir;
    test::MaildirBuilder store(dir.Path() / "Mail");
    const int count = AddCorpora(store, corpora);
    const ApplicationConfig config = ConfigOf(store);
    // Three applications, so that no item reuses what another read.
    const auto itemsOf = [&config] {
        return CreateApplication(config)->GetNamespace("MAPI")->GetDefaultFolder(olFolderInbox)->Items();
    };
    auto whole = itemsOf(), bodyFirst = itemsOf(), pageFirst = itemsOf();
    for (int i = 1; i <= count; ++i) {
        auto reference = whole->Item(i);
        reference->Attachments();  // parses the whole message
        const std::string body = reference->Body(), html = reference->HTMLBody();
        EXPECT_EQ(bodyFirst->Item(i)->Body(), body) << "item " << i;
        auto page = pageFirst->Item(i);
        EXPECT_EQ(page->HTMLBody(), html) << "item " << i;
        EXPECT_EQ(page->Body(), body) << "item " << i;
    }
}

TEST(CorporaTest, EveryPartDecodesAsGMimeDecodesIt)
{
    const fs::path corpora = test::CorporaDir();
    if (!fs::exists(corpora)) GTEST_SKIP() << "no corpora at " << corpora;
    int parts = 0;
    std::uint32_t seed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpora)) {
        if (!IsMessageFile(entry.path())) continue;
        const auto message = ParseMessageFd(OpenMessageFile(entry.path().string()));
        ASSERT_TRUE(message) << entry.path();
        EXPECT_EQ(test::PartsDecodedOtherwise(message.get(), parts), 0) << entry.path();
        // The whole file as encoded text too: real line ends, '=' and stray bytes at any cut.
        const std::string bytes = test::ReadFile(entry.path());
        EXPECT_TRUE(test::DecodersAgree(bytes, test::RandomCuts(bytes.size(), ++seed))) << entry.path();
    }
    EXPECT_GT(parts, 300);
}

/// What a changed message must read back as: the new subject, read, one attachment less.
struct Expected {
    std::string subject;
    int attachments = 0;
    std::string body;
};

Expected ChangeAndSave(IOutlookItem& item, int number)
{
    Expected expected;
    expected.attachments = item.Attachments()->Count();
    expected.subject = "Changed " + std::to_string(number) + ": " + item.Subject();
    item.SetSubject(expected.subject);
    item.SetUnread(false);
    if (expected.attachments > 0) {
        item.Attachments()->Item(1)->Delete();
        --expected.attachments;
    } else {
        expected.body = item.Body();  // only the Subject line changes
    }
    item.Save();
    return expected;
}

TEST(CorporaTest, EveryMessageKeepsItsChangesAfterSave)
{
    const fs::path corpora = test::CorporaDir();
    if (!fs::exists(corpora)) GTEST_SKIP() << "no corpora at " << corpora;
    test::TempDir dir;
    test::MaildirBuilder store(dir.Path() / "Mail");
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpora)) {
        // A README among the messages is no message: it has no header block to change.
        if (!IsMessageFile(entry.path()) || entry.path().filename().string().rfind("README", 0) == 0)
            continue;
        store.Add("Inbox", test::ReadFile(entry.path()), "");
        ++count;
    }
    const ApplicationConfig config = ConfigOf(store);
    std::vector<Expected> expected;
    {
        auto items =
            CreateApplication(config)->GetNamespace("MAPI")->GetDefaultFolder(olFolderInbox)->Items();
        for (int i = 1; i <= count; ++i) expected.push_back(ChangeAndSave(*items->Item(i), i));
    }
    auto items = CreateApplication(config)->GetNamespace("MAPI")->GetDefaultFolder(olFolderInbox)->Items();
    ASSERT_EQ(items->Count(), count);
    for (int i = 1; i <= count; ++i) {
        auto item = items->Item(i);
        const Expected& want = expected[static_cast<std::size_t>(i - 1)];
        // Header folding may drop white space at the end of a subject.
        EXPECT_EQ(item->Subject(), want.subject.substr(0, want.subject.find_last_not_of(' ') + 1))
            << "item " << i;
        EXPECT_FALSE(item->Unread()) << "item " << i;
        EXPECT_EQ(item->Attachments()->Count(), want.attachments) << "item " << i;
        if (!want.body.empty()) {
            EXPECT_EQ(item->Body(), want.body) << "item " << i;
        }
    }
}

}  // namespace
