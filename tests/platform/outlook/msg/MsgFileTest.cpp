// Message files written by WriteMsgFile and read by ReadMsgFile: round trips, the files made
// on Windows, and damaged files.
#include "platform/outlook/msg/MsgEncoding.h"
#include "platform/outlook/msg/MsgFile.h"
#include "platform/outlook/msg/MsgStorageReader.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"
#include "tests/platform/outlook/msg/MsgTestSupport.h"
#include "tests/support/TempDir.h"

#include <gsf/gsf.h>
#include <gtest/gtest.h>

#include <random>

namespace fs = std::filesystem;
using msgtest::ParseMessage;
using msgtest::Summarize;

namespace {

std::string AllBytes()
{
    std::string bytes;
    for (int round = 0; round < 40; ++round)
        for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    return bytes;
}

std::string Base64(const std::string& bytes)
{
    return TakeString(g_base64_encode(reinterpret_cast<const guchar*>(bytes.data()), bytes.size()));
}

const std::string kPlain =
    "From: \"Ann Example\" <ann@example.com>\r\n"
    "To: Bob <bob@example.com>, carol@example.com\r\n"
    "Cc: Dave <dave@example.com>\r\n"
    "Bcc: eve@example.com\r\n"
    "Subject: =?UTF-8?B?R3LDvMOfZSDwn5iA?=\r\n"
    "Date: Tue, 02 Mar 2021 10:00:00 +0100\r\n"
    "Message-ID: <a1@example.com>\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: text/plain; charset=utf-8\r\n"
    "Content-Transfer-Encoding: 8bit\r\n\r\n"
    "Hello Gr\xC3\xBC\xC3\x9F" "e\r\nsecond line\r\n";

const std::string kAlternative =
    "From: ann@example.com\nTo: bob@example.com\nSubject: both bodies\nMIME-Version: 1.0\n"
    "Content-Type: multipart/alternative; boundary=\"b1\"\n\n--b1\n"
    "Content-Type: text/plain; charset=iso-8859-1\nContent-Transfer-Encoding: quoted-printable\n\ncaf=E9 au lait\n"
    "--b1\nContent-Type: text/html; charset=iso-8859-1\n\n<html><body><p>caf\xE9</p></body></html>\n--b1--\n";

const std::string kHtmlOnly =
    "From: ann@example.com\nTo: bob@example.com\nSubject: html only\nMIME-Version: 1.0\n"
    "Content-Type: text/html; charset=utf-8\n\n<p>only \xE2\x82\xAC</p>\n";

std::string Attachments()
{
    return "From: ann@example.com\nTo: bob@example.com\nSubject: files\nMIME-Version: 1.0\n"
           "Content-Type: multipart/mixed; boundary=\"m1\"\n\n--m1\nContent-Type: text/plain\n\nsee files\n"
           "--m1\nContent-Type: application/pdf\nContent-Disposition: attachment; filename*=UTF-8''Bericht%20%C3%9C.pdf\n"
           "Content-Transfer-Encoding: base64\n\n" + Base64(AllBytes()) + "\n"
           "--m1\nContent-Type: text/plain; name=notes.txt\nContent-Disposition: attachment; filename=notes.txt\n\nline\n"
           "--m1\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=empty.bin\n\n"
           "--m1--\n";
}

std::string Nested()
{
    const std::string innermost = "From: x@example.com\nTo: y@example.com\nSubject: innermost\n\ndeep text\n";
    const std::string inner =
        "From: c@example.com\nTo: d@example.com\nSubject: inner\nMIME-Version: 1.0\n"
        "Content-Type: multipart/mixed; boundary=\"i1\"\n\n--i1\nContent-Type: text/plain\n\ninner text\n"
        "--i1\nContent-Type: image/png\nContent-Disposition: attachment; filename=pic.png\n"
        "Content-Transfer-Encoding: base64\n\n" + Base64("\x89PNG\r\n\x1A\n-picture") + "\n"
        "--i1\nContent-Type: message/rfc822\n\n" + innermost + "--i1--\n";
    return "From: a@example.com\nTo: b@example.com\nSubject: outer\nMIME-Version: 1.0\n"
           "Content-Type: multipart/mixed; boundary=\"o1\"\n\n--o1\nContent-Type: text/plain\n\nouter text\n"
           "--o1\nContent-Type: message/rfc822\nContent-Disposition: attachment\n\n" + inner + "--o1--\n";
}

/// Files on both sides of the size at which a stream leaves the mini stream, and one that makes
/// the allocation table outgrow the header's list of its sectors (a file over about 7 MB).
std::string Sizes()
{
    std::string text = "From: ann@example.com\nTo: bob@example.com\nSubject: sizes\nMIME-Version: 1.0\n"
                       "Content-Type: multipart/mixed; boundary=\"s1\"\n\n--s1\nContent-Type: text/plain\n\nsizes\n";
    std::mt19937 random(3);
    for (const std::size_t size : {std::size_t{4095}, std::size_t{4096}, std::size_t{4097}, std::size_t{8} << 20}) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        text += "--s1\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=f" +
                std::to_string(size) + ".bin\nContent-Transfer-Encoding: base64\n\n" + Base64(bytes) + "\n";
    }
    return text + "--s1--\n";
}

class MsgFileTest : public testing::Test {
protected:
    std::string Write(GMimeMessage* message, const MsgItemProperties& props = {})
    {
        const std::string path = (dir_ / ("m" + std::to_string(++count_) + ".msg")).string();
        WriteMsgFile(message, props, path);
        return path;
    }
    test::TempDir dir_;
    int count_ = 0;
};

class MsgRoundTrip : public MsgFileTest, public testing::WithParamInterface<std::string> {};

TEST_P(MsgRoundTrip, ReadsBackWhatWasWritten)
{
    const auto source = ParseMessage(GetParam());
    ASSERT_TRUE(source);
    const auto expected = Summarize(source.get());
    const auto back = ReadMsgFile(Write(source.get()));
    EXPECT_EQ(Summarize(back.get()), expected);
    // Saved as text and parsed again, as a store keeps it.
    const auto reparsed = ParseMessage(TakeString(g_mime_object_to_string(GMIME_OBJECT(back.get()), nullptr)));
    EXPECT_EQ(Summarize(reparsed.get()), expected);
}

INSTANTIATE_TEST_SUITE_P(Messages, MsgRoundTrip, testing::Values(kPlain, kAlternative, kHtmlOnly, Attachments(), Nested()));

TEST_F(MsgFileTest, KeepsFilesOfEverySize)
{
    const auto source = ParseMessage(Sizes());
    EXPECT_EQ(Summarize(ReadMsgFile(Write(source.get())).get()), Summarize(source.get()));
}

TEST_F(MsgFileTest, KeepsHeadersRecipientsAndNames)
{
    const auto back = ReadMsgFile(Write(ParseMessage(kPlain).get()));
    EXPECT_STREQ(g_mime_message_get_subject(back.get()), "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80");
    EXPECT_STREQ(g_mime_message_get_message_id(back.get()), "a1@example.com");
    EXPECT_EQ(TakeString(internet_address_list_to_string(g_mime_message_get_from(back.get()), nullptr, FALSE)),
              "Ann Example <ann@example.com>");
    EXPECT_EQ(internet_address_list_length(g_mime_message_get_addresses(back.get(), GMIME_ADDRESS_TYPE_BCC)), 1);
    const auto files = Summarize(ReadMsgFile(Write(ParseMessage(Attachments()).get())).get()).files;
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].substr(0, files[0].find('=')), "Bericht \xC3\x9C.pdf");
    EXPECT_EQ(files[2].substr(0, files[2].find(':')), "empty.bin=0");
}

msgfile::MsgMessage ReadStorage(const std::string& path)
{
    auto input = GObjectPtr<GsfInput>::Adopt(gsf_input_stdio_new(path.c_str(), nullptr));
    auto root = GObjectPtr<GsfInfile>::Adopt(gsf_infile_msole_new(input.get(), nullptr));
    return msgfile::ReadMessageStorage(root.get(), static_cast<std::uint64_t>(gsf_input_size(input.get())));
}

TEST_F(MsgFileTest, WritesItemProperties)
{
    const TDateTime delivered = EncodeDate(2022, 7, 1) + EncodeTime(8, 30, 0, 0);
    const auto path = Write(ParseMessage(kAlternative).get(), {true, delivered, delivered - 1, true});
    const auto stored = ReadStorage(path);
    EXPECT_EQ(stored.messageClass, "IPM.Post");
    EXPECT_TRUE(stored.read);
    EXPECT_EQ(stored.deliveryTime, msgfile::FileTimeFromUnix(DateTimeToTimeT(delivered)));
    EXPECT_EQ(stored.creationTime, msgfile::FileTimeFromUnix(DateTimeToTimeT(delivered - 1)));
    EXPECT_EQ(stored.submitTime, 0u);  // the message has no Date header

    const auto note = ReadStorage(Write(ParseMessage(kPlain).get()));
    EXPECT_EQ(note.messageClass, "IPM.Note");
    EXPECT_FALSE(note.read);
    EXPECT_EQ(note.submitTime, msgfile::FileTimeFromUnix(1614675600));
    EXPECT_EQ(note.senderName, "Ann Example");
    EXPECT_EQ(note.messageId, "<a1@example.com>");
}

TEST_F(MsgFileTest, WritesAtomically)
{
    const auto message = ParseMessage(kPlain);
    EXPECT_THROW(WriteMsgFile(message.get(), {}, (dir_ / "missing" / "x.msg").string()), Exception);
    const fs::path target = dir_ / "x.msg";
    test::WriteFile(target, "old content");
    WriteMsgFile(message.get(), {}, target.string());
    EXPECT_TRUE(LooksLikeMsgFile(target.string()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), 1);
    EXPECT_THROW(WriteMsgFile(nullptr, {}, target.string()), Exception);
}

TEST_F(MsgFileTest, RecognisesCompoundFiles)
{
    EXPECT_TRUE(LooksLikeMsgFile(Write(ParseMessage(kPlain).get())));
    test::WriteFile(dir_ / "a.eml", kPlain);
    test::WriteFile(dir_ / "empty", "");
    EXPECT_FALSE(LooksLikeMsgFile((dir_ / "a.eml").string()));
    EXPECT_FALSE(LooksLikeMsgFile((dir_ / "empty").string()));
    EXPECT_FALSE(LooksLikeMsgFile((dir_ / "none").string()));
}

TEST(MsgCorpus, ReadsFilesMadeOnWindows)
{
    const auto unicode = ReadMsgFile((test::CorporaDir() / "msg" / "unicode.msg").string());
    const auto u = Summarize(unicode.get());
    EXPECT_EQ(u.subject, "Test for TIF files");
    EXPECT_NE(u.body.find("This is a test email to experiment with the MS Outlook MSG Extractor"), std::string::npos);
    EXPECT_EQ(u.recipients, (std::vector<std::string>{"To:brianzhou@me.com", "Cc:brizhou@gmail.com"}));
    ASSERT_EQ(u.files.size(), 2u);
    EXPECT_EQ(u.files[0].substr(0, u.files[0].find('=')), "import OleFileIO.tif");
    EXPECT_EQ(u.files[1].substr(0, u.files[1].find('=')), "raised value error.tif");

    const auto strange = ReadMsgFile((test::CorporaDir() / "msg" / "strangeDate.msg").string());
    const auto s = Summarize(strange.get());
    EXPECT_EQ(s.subject, "MSG Test File");
    EXPECT_EQ(s.recipients, (std::vector<std::string>{"To:time2talk@online-convert.com"}));
    EXPECT_NE(s.body.find("John Doe is sometimes used"), std::string::npos);
    EXPECT_TRUE(s.files.empty());
    const char* date = g_mime_object_get_header(GMIME_OBJECT(strange.get()), "Date");
    ASSERT_NE(date, nullptr);
    EXPECT_STREQ(date, "Tue, 23 Feb 2016 14:57:50 +0000");
}

/// Reading must end in a message or an Exception; anything else fails the test (or ASan).
bool ReadsOrFailsCleanly(const fs::path& path)
{
    try {
        ReadMsgFile(path.string());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

/// A compound file that is no message: one stream in the root.
std::string OtherCompoundFile(const fs::path& path)
{
    auto sink = GObjectPtr<GsfOutput>::Adopt(gsf_output_stdio_new(path.c_str(), nullptr));
    auto root = GObjectPtr<GsfOutfile>::Adopt(gsf_outfile_msole_new(sink.get()));
    auto stream = GObjectPtr<GsfOutput>::Adopt(gsf_outfile_new_child(root.get(), "WordDocument", FALSE));
    gsf_output_write(stream.get(), 4, reinterpret_cast<const guint8*>("data"));
    gsf_output_close(stream.get());
    gsf_output_close(GSF_OUTPUT(root.get()));
    if (!gsf_output_is_closed(sink.get())) gsf_output_close(sink.get());
    return path.string();
}

TEST_F(MsgFileTest, DamagedFilesFailCleanly)
{
    test::WriteFile(dir_ / "empty.msg", "");
    test::WriteFile(dir_ / "text.msg", kPlain);
    std::string garbage(4096, '\0');
    std::mt19937 random(7);
    for (char& c : garbage) c = static_cast<char>(random());
    test::WriteFile(dir_ / "garbage.msg", garbage);
    test::WriteFile(dir_ / "header.msg", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + garbage);
    for (const char* name : {"empty.msg", "text.msg", "garbage.msg", "header.msg"})
        EXPECT_THROW(ReadMsgFile((dir_ / name).string()), Exception) << name;
    EXPECT_THROW(ReadMsgFile((dir_ / "missing.msg").string()), Exception);
    EXPECT_THROW(ReadMsgFile(OtherCompoundFile(dir_ / "doc.msg")), Exception);
    EXPECT_TRUE(LooksLikeMsgFile((dir_ / "doc.msg").string()));

    const std::string whole = test::ReadFile(test::CorporaDir() / "msg" / "unicode.msg");
    for (const std::size_t size : {std::size_t{100}, std::size_t{511}, std::size_t{1536}, whole.size() / 2, whole.size() - 1}) {
        test::WriteFile(dir_ / "cut.msg", whole.substr(0, size));
        ReadsOrFailsCleanly(dir_ / "cut.msg");
    }
    test::WriteFile(dir_ / "cut.msg", whole.substr(0, 1536));
    EXPECT_THROW(ReadMsgFile((dir_ / "cut.msg").string()), Exception);
}

/// The directory entry of stream `name` in a compound file (names are UTF-16LE).
std::size_t FindDirectoryEntry(const std::string& file, const std::string& name)
{
    const std::string wide = msgfile::Utf8ToUtf16Le(name) + std::string(2, '\0');
    const std::size_t at = file.find(wide);
    return at != std::string::npos && at % 128 == 0 ? at : std::string::npos;
}

TEST_F(MsgFileTest, WrongStreamSizesFailCleanly)
{
    const std::string path = Write(ParseMessage(Attachments()).get());
    const std::string good = test::ReadFile(path);
    const std::size_t entry = FindDirectoryEntry(good, "__substg1.0_37010102");
    ASSERT_NE(entry, std::string::npos);
    for (const std::uint32_t size : {0x7FFFFFF0u, 0xFFFFFFFFu, 0x00100000u}) {
        std::string bad = good;
        for (int i = 0; i < 4; ++i) bad[entry + 120 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        test::WriteFile(dir_ / "bad.msg", bad);
        ReadsOrFailsCleanly(dir_ / "bad.msg");
    }
}

TEST_F(MsgFileTest, RandomDamageFailsCleanly)
{
    const std::string good = test::ReadFile(Write(ParseMessage(Nested()).get()));
    std::mt19937 random(12345);
    int read = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bad = good;
        const int changes = 1 + static_cast<int>(random() % 16);
        for (int i = 0; i < changes; ++i) bad[random() % bad.size()] = static_cast<char>(random());
        test::WriteFile(dir_ / "fuzz.msg", bad);
        read += ReadsOrFailsCleanly(dir_ / "fuzz.msg") ? 1 : 0;
    }
    EXPECT_GT(read, 0);
}

}  // namespace
