#include "engine/ExportLog.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"
#include "tests/support/TempDir.h"

namespace {

TLogEntry SampleEntry()
{
    TLogEntry e;
    e.SenderName = "Ann Example";
    e.SenderEmail = "ann@example.org";
    e.RecipientName = "Bob";
    e.RecipientEmail = "bob@example.org";
    e.Subject = "Quarterly \"draft\"";
    e.DateSent = EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 0);
    e.MessageID = "<id-1@example.org>";
    e.OutlookFolder = "Mailbox \\ Inbox";
    e.FileType = 3;
    e.Filename = "/exports/Ann.eml";
    e.DateExported = EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 58, 0);
    e.AttCount = 3;
    return e;
}

const char* const kEmlHeader =
    "\"ID\"\t\"SenderName\"\t\"SenderEmail\"\t\"RecipientName\"\t\"RecipientEmail\"\t\"DateSent\"\t"
    "\"TimeSent\"\t\"Subject\"\t\"MessageID\"\t\"OutlookFolder\"\t\"Filename\"\t\"FileType\"\t\"AttCount\"\t"
    "\"AttSaved\"\t\"DateExported\"\t\"TimeExported\"\r\n";
const char* const kAttHeader = "\"ID\"\t\"Filename\"\t\"MessageID\"\r\n";

}  // namespace

TEST(ExportLogTest, NewFolderGetsHeadersAndRecordOne)
{
    test::TempDir tmp;
    const std::string dir = (tmp / "logs" / "deep").string();
    TLogEntry entry = SampleEntry();
    entry.AttFiles.Add("/exports/Ann-Attachments/a.pdf");
    entry.AttFiles.Add("/exports/Ann-Attachments/b.txt");
    TExportLog().AddEntry(dir, entry);

    EXPECT_EQ(test::ReadFile(tmp / "logs/deep/Eml.log"),
              std::string(kEmlHeader) +
                  "\"1\"\t\"Ann Example\"\t\"ann@example.org\"\t\"Bob\"\t\"bob@example.org\"\t\"20240305\"\t"
                  "\"070809\"\t\"Quarterly \"\"draft\"\"\"\t\"<id-1@example.org>\"\t\"Mailbox \\ Inbox\"\t"
                  "\"/exports/Ann.eml\"\t\"3\"\t\"3\"\t\"2\"\t\"20241231\"\t\"235958\"\r\n");
    EXPECT_EQ(test::ReadFile(tmp / "logs/deep/Att.log"),
              std::string(kAttHeader) +
                  "\"1\"\t\"/exports/Ann-Attachments/a.pdf\"\t\"<id-1@example.org>\"\r\n"
                  "\"1\"\t\"/exports/Ann-Attachments/b.txt\"\t\"<id-1@example.org>\"\r\n");
    EXPECT_EQ(test::ReadFile(tmp / "logs/deep/ID.log"), "1\r\n");
}

TEST(ExportLogTest, WithoutAttachmentsAttLogHoldsOnlyItsHeader)
{
    test::TempDir tmp;
    TExportLog().AddEntry(tmp.Path().string(), SampleEntry());
    TExportLog().AddEntry(tmp.Path().string(), SampleEntry());
    EXPECT_EQ(test::ReadFile(tmp / "Att.log"), kAttHeader);
    const std::string eml = test::ReadFile(tmp / "Eml.log");
    EXPECT_NE(eml.find("\r\n\"2\"\t\"Ann Example\""), std::string::npos);
    EXPECT_EQ(eml.find(kEmlHeader, 1), std::string::npos) << "the header is written once";
    EXPECT_EQ(test::ReadFile(tmp / "ID.log"), "2\r\n");
}

TEST(ExportLogTest, ContinuesFromIDLogAndKeepsTheRestOfIt)
{
    test::TempDir tmp;
    test::WriteFile(tmp / "ID.log", "41\r\n");
    TExportLog().AddEntry(tmp.Path().string(), SampleEntry());
    EXPECT_EQ(test::ReadFile(tmp / "ID.log"), "42\r\n");
    EXPECT_EQ(test::ReadFile(tmp / "Eml.log").substr(std::string(kEmlHeader).size(), 5), "\"42\"\t");

    // Written over the old text without truncating: a shorter number leaves the tail.
    test::WriteFile(tmp / "ID.log", "junk and more\r\n");
    TExportLog().AddEntry(tmp.Path().string(), SampleEntry());
    EXPECT_EQ(test::ReadFile(tmp / "ID.log"), "1\r\nk and more\r\n");
}

TEST(ExportLogTest, ExistingLogsAreAppendedNotTruncated)
{
    test::TempDir tmp;
    test::WriteFile(tmp / "Eml.log", "existing line\r\n");
    TExportLog().AddEntry(tmp.Path().string(), SampleEntry());
    const std::string eml = test::ReadFile(tmp / "Eml.log");
    EXPECT_EQ(eml.rfind("existing line\r\n\"1\"\t", 0), 0u) << eml;
}

TEST(ExportLogTest, ASecondWriterIsRefusedWhileTheLogsAreHeld)
{
    test::TempDir tmp;
    TExportLog().AddEntry(tmp.Path().string(), SampleEntry());
    const std::string before = test::ReadFile(tmp / "Eml.log");

    const int fd = ::open((tmp / "Att.log").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_THROW(TExportLog().AddEntry(tmp.Path().string(), SampleEntry()), EOSError);
    ::close(fd);

    EXPECT_EQ(test::ReadFile(tmp / "Eml.log"), before);
    EXPECT_EQ(test::ReadFile(tmp / "ID.log"), "1\r\n") << "nothing counted for the refused entry";
    TExportLog().AddEntry(tmp.Path().string(), SampleEntry());
    EXPECT_EQ(test::ReadFile(tmp / "ID.log"), "2\r\n");
}

TEST(ExportLogTest, AFolderThatCannotBeCreatedRaises)
{
    test::TempDir tmp;
    test::WriteFile(tmp / "file", "x");
    EXPECT_THROW(TExportLog().AddEntry((tmp / "file" / "sub").string(), SampleEntry()), EOSError);
}

struct RecordCase {
    const char* idLog;
    std::int32_t next;
};

class NextRecordNumberTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(NextRecordNumberTest, FollowsTheDigitsAtTheStart)
{
    EXPECT_EQ(exportlog::NextRecordNumber(GetParam().idLog), GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(Table, NextRecordNumberTest,
                         ::testing::Values(RecordCase{"", 1}, RecordCase{"41\r\n", 42}, RecordCase{"0041", 42},
                                           RecordCase{"7x", 8}, RecordCase{"x7", 1}, RecordCase{" 7", 1},
                                           RecordCase{"-5", 1}, RecordCase{"2147483646\r\n", 2147483647},
                                           RecordCase{"2147483647\r\n", 1}, RecordCase{"2147483648", 1},
                                           RecordCase{"99999999999999999999", 1}));

TEST(ExportLogCodecTest, QuotesDoubleInnerQuotesAndKeepControlCharacters)
{
    EXPECT_EQ(exportlog::QuoteField(""), "\"\"");
    EXPECT_EQ(exportlog::QuoteField("a\"b\"\""), "\"a\"\"b\"\"\"\"\"");
    EXPECT_EQ(exportlog::QuoteField("tab\there\r\nnext"), "\"tab\there\r\nnext\"");
    EXPECT_EQ(exportlog::FormatLine({"1", "x"}), "\"1\"\t\"x\"\r\n");
}

TEST(ExportLogCodecTest, NumberOnlyTheFirst258BytesCount)
{
    EXPECT_EQ(exportlog::NextRecordNumber(std::string(257, '0') + "5"), 6);
    EXPECT_EQ(exportlog::NextRecordNumber(std::string(258, '0') + "5"), 1);
}
