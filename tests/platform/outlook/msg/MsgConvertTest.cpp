// Our message files as another program reads them: Debian's msgconvert turns a message
// file into an e-mail that must hold what we wrote.
#include "platform/outlook/msg/MsgFile.h"
#include "platform/outlook/msg/MsgMimeImport.h"
#include "tests/platform/outlook/msg/MsgTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace fs = std::filesystem;
using msgtest::NormalizeText;
using msgtest::ParseMessage;
using msgtest::ParseMessageFile;

namespace {

std::set<std::string> Addresses(GMimeMessage* message, GMimeAddressType type)
{
    std::set<std::string> out;
    for (const auto& r : msgfile::ImportMimeMessage(message).recipients) {
        if (static_cast<int>(r.type) == (type == GMIME_ADDRESS_TYPE_TO ? 1 : 2)) out.insert(r.address);
    }
    return out;
}

/// Bytes of the named files (msgconvert adds the compressed RTF body as an unnamed part).
std::vector<std::string> FileBytes(GMimeMessage* message)
{
    std::vector<std::string> out;
    for (const auto& a : msgfile::ImportMimeMessage(message).attachments) {
        if (!a.embedded && !a.fileName.empty())
            out.push_back(a.part ? msgfile::DecodedPartBytes(a.part.get()) : a.data);
    }
    return out;
}

const char kRich[] =
    "From: Ann <ann@example.com>\nTo: Bob <bob@example.com>, carol@example.com\nCc: dave@example.com\n"
    "Subject: =?UTF-8?Q?Rechnung_f=C3=BCr_M=C3=A4rz?=\nDate: Wed, 03 Mar 2021 12:00:00 +0000\n"
    "Message-ID: <rich@example.com>\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"r\"\n\n"
    "--r\nContent-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: 8bit\n\nDie Rechnung f\xC3\xBCr M\xC3\xA4rz.\nGr\xC3\xBC\xC3\x9F" "e\n"
    "--r\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=data.bin\n"
    "Content-Transfer-Encoding: base64\n\nAAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8g/f7/\n"
    "--r\nContent-Type: message/rfc822\n\nFrom: x@example.com\nTo: y@example.com\nSubject: attached one\n\ninner body\n"
    "--r--\n";

TEST(MsgConvert, ReadsWhatWeWrite)
{
    const test::TempDir dir;
    const auto source = ParseMessage(kRich);
    const fs::path file = dir / "rich.msg";
    WriteMsgFile(source.get(), {true, 0, 0, false}, file.string());
    ASSERT_TRUE(msgtest::RunMsgConvert({file}));
    const auto converted = ParseMessageFile(dir / "rich.eml");
    ASSERT_TRUE(converted);
    EXPECT_STREQ(g_mime_message_get_subject(converted.get()), g_mime_message_get_subject(source.get()));
    const auto expected = msgfile::ImportMimeMessage(source.get());
    EXPECT_EQ(NormalizeText(msgfile::ImportMimeMessage(converted.get()).body), NormalizeText(expected.body));
    EXPECT_EQ(Addresses(converted.get(), GMIME_ADDRESS_TYPE_TO), Addresses(source.get(), GMIME_ADDRESS_TYPE_TO));
    EXPECT_EQ(Addresses(converted.get(), GMIME_ADDRESS_TYPE_CC), Addresses(source.get(), GMIME_ADDRESS_TYPE_CC));
    EXPECT_EQ(FileBytes(converted.get()), FileBytes(source.get()));
    const auto inner = msgfile::ImportMimeMessage(converted.get()).attachments;
    EXPECT_TRUE(std::any_of(inner.begin(), inner.end(),
                            [](const auto& a) { return a.embedded && a.embedded->subject == "attached one"; }));
}

TEST(MsgConvert, AgreesOnTheWindowsFiles)
{
    const test::TempDir dir;
    std::vector<fs::path> copies;
    for (const char* name : {"unicode", "strangeDate"}) {
        copies.push_back(dir / (std::string(name) + ".msg"));
        fs::copy_file(test::CorporaDir() / "msg" / (std::string(name) + ".msg"), copies.back());
    }
    ASSERT_TRUE(msgtest::RunMsgConvert(copies));
    for (const auto& copy : copies) {
        const auto ours = ReadMsgFile(copy.string());
        const auto theirs = ParseMessageFile(fs::path(copy).replace_extension(".eml"));
        ASSERT_TRUE(theirs);
        EXPECT_STREQ(g_mime_message_get_subject(ours.get()), g_mime_message_get_subject(theirs.get()));
        EXPECT_EQ(NormalizeText(msgfile::ImportMimeMessage(ours.get()).body),
                  NormalizeText(msgfile::ImportMimeMessage(theirs.get()).body));
        EXPECT_EQ(FileBytes(ours.get()), FileBytes(theirs.get())) << copy;
    }
}

std::string Squeeze(const char* text)
{
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (g_ascii_isspace(*p)) {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(*p);
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::vector<fs::path> CorpusMessages()
{
    std::vector<fs::path> files;
    for (const char* folder : {"notmuch", "mu"}) {
        for (const auto& entry : fs::recursive_directory_iterator(test::CorporaDir() / folder)) {
            if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every message of the test corpora exported as a message file, and msgconvert reads each.
TEST(MsgConvert, ExportsTheWholeCorpus)
{
    const test::TempDir dir;
    std::vector<fs::path> written;
    std::vector<std::string> subjects;
    for (const auto& source : CorpusMessages()) {
        const auto message = ParseMessageFile(source);
        if (!message) continue;
        const fs::path target = dir / ("m" + std::to_string(written.size()) + ".msg");
        ASSERT_NO_THROW(WriteMsgFile(message.get(), {}, target.string())) << source;
        written.push_back(target);
        subjects.push_back(Squeeze(g_mime_message_get_subject(message.get())));
    }
    ASSERT_GT(written.size(), 300u);
    constexpr std::size_t kBatch = 100;
    for (std::size_t at = 0; at < written.size(); at += kBatch) {
        const std::vector<fs::path> batch(written.begin() + at, written.begin() + std::min(written.size(), at + kBatch));
        msgtest::RunMsgConvert(batch);
    }
    int unread = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const auto converted = ParseMessageFile(fs::path(written[i]).replace_extension(".eml"));
        if (!converted) {
            ++unread;
            ADD_FAILURE() << "msgconvert could not read " << written[i];
            continue;
        }
        EXPECT_EQ(Squeeze(g_mime_message_get_subject(converted.get())), subjects[i]) << written[i];
        EXPECT_EQ(Squeeze(g_mime_message_get_subject(ReadMsgFile(written[i].string()).get())), subjects[i]);
    }
    EXPECT_EQ(unread, 0);
}

}  // namespace
