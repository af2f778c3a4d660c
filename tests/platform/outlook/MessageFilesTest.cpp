// The byte-level helpers of message files: the case-blind search through a file read in
// blocks, the line-end conversion of exported messages, and parsing a message file.

#include <gtest/gtest.h>

#include <string>

#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"
#include "tests/support/TempDir.h"

using outlook::FileContainsNoCase;
using outlook::ToCrLf;

namespace {

constexpr std::size_t kBlock = 65536;  // the read size of FileContainsNoCase

class FileSearchTest : public ::testing::Test {
protected:
    bool Contains(const std::string& bytes, const std::string& needle)
    {
        const auto path = dir_ / "message";
        test::WriteFile(path, bytes);
        return FileContainsNoCase(path, needle);
    }
    test::TempDir dir_;
};

TEST_F(FileSearchTest, FindsTheNeedleInAnyLetterCase)
{
    EXPECT_TRUE(Contains("Content-Type: TEXT/Calendar; method=REQUEST\n", "text/calendar"));
    EXPECT_TRUE(Contains("text/calendar", "text/calendar"));
    EXPECT_TRUE(Contains("xx\ntext/calendaR", "text/calendar"));
    EXPECT_FALSE(Contains("Content-Type: text/plain\n\ntext / calendar, text/calenda\n", "text/calendar"));
    EXPECT_FALSE(Contains("", "text/calendar"));
    EXPECT_FALSE(Contains("text/calenda", "text/calendar"));
}

TEST_F(FileSearchTest, NeedleOfLettersOnlyAndNonLettersAroundTheAnchor)
{
    EXPECT_TRUE(Contains("a VCALENDAR b", "vcalendar"));
    EXPECT_FALSE(Contains("a VCALENDA b", "vcalendar"));
    // Many anchors that do not start a hit, one that does.
    EXPECT_TRUE(Contains(std::string(1000, '/') + "TEXT/CALENDAR", "text/calendar"));
    EXPECT_FALSE(Contains(std::string(1000, '/') + "text/", "text/calendar"));
    // Letters beyond ASCII are compared as bytes, never folded.
    EXPECT_FALSE(Contains("\xC3\x84/x", "\xC3\xA4/x"));
    EXPECT_TRUE(Contains("\xC3\xA4/X", "\xC3\xA4/x"));
}

TEST_F(FileSearchTest, FindsAHitThatSpansTwoReadBlocks)
{
    const std::string needle = "text/calendar";
    for (std::size_t cut = 1; cut < needle.size(); ++cut) {
        std::string bytes(kBlock - cut, 'x');
        bytes += "Text/Calendar";
        bytes += std::string(100, 'y');
        EXPECT_TRUE(Contains(bytes, needle)) << "cut after " << cut << " bytes";
    }
    std::string late(3 * kBlock, '/');
    late += "text/calendar";
    EXPECT_TRUE(Contains(late, needle));
    EXPECT_FALSE(Contains(std::string(3 * kBlock, '/'), needle));
}

TEST_F(FileSearchTest, MissingFileRaises)
{
    EXPECT_ANY_THROW(FileContainsNoCase(dir_ / "none", "x"));
}

TEST_F(FileSearchTest, ParsedFileEqualsTheParsedBytesAndOutlivesTheFile)
{
    const std::string text =
        "From: Ann <ann@example.org>\nSubject: =?UTF-8?Q?Gr=C3=BC=C3=9Fe?=\nMIME-Version: 1.0\n"
        "Content-Type: multipart/mixed; boundary=\"b\"\n\n"
        "--b\nContent-Type: text/plain; charset=utf-8\n\nHello.\n"
        "--b\nContent-Type: application/octet-stream; name=\"a.bin\"\n"
        "Content-Disposition: attachment; filename=\"a.bin\"\nContent-Transfer-Encoding: base64\n\n"
        "AAECAwQF\n--b--\n";
    const auto path = dir_ / "message";
    test::WriteFile(path, text);
    auto fromFile = outlook::ParseMessageFile(path);
    ASSERT_TRUE(fromFile);
    std::filesystem::remove(path);  // the parsed message holds its own bytes
    auto fromBytes = outlook::ParseMessage(text);
    EXPECT_EQ(outlook::SerializeMessage(fromFile.get()), outlook::SerializeMessage(fromBytes.get()));
    EXPECT_EQ(outlook::SubjectOf(fromFile.get()), "Gr\xC3\xBC\xC3\x9F" "e");
    const auto attachments = outlook::AttachmentsOf(fromFile.get());
    ASSERT_EQ(attachments.size(), 1u);
    EXPECT_EQ(outlook::PartContent(attachments[0].part.get()), std::string("\0\1\2\3\4\5", 6));
    EXPECT_FALSE(outlook::ParseMessageFile(dir_ / "none"));
}

TEST_F(FileSearchTest, WholeFileIsReadByteForByte)
{
    const auto path = dir_ / "message";
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kBlock - 1, kBlock, 3 * kBlock + 7}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 131 % 251);
        test::WriteFile(path, bytes);
        EXPECT_EQ(outlook::ReadWholeFile(path), bytes) << size << " bytes";
    }
    // A file whose size the file system does not tell is read to its end all the same.
    EXPECT_NE(outlook::ReadWholeFile("/proc/self/status").find("Name:"), std::string::npos);
    EXPECT_ANY_THROW(outlook::ReadWholeFile(dir_ / "none"));
}

struct CrLfCase {
    std::string in, out;
};

class CrLfTest : public ::testing::TestWithParam<CrLfCase> {};

TEST_P(CrLfTest, ConvertsBareLineFeedsOnly)
{
    EXPECT_EQ(ToCrLf(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Table, CrLfTest,
                         ::testing::Values(CrLfCase{"", ""}, CrLfCase{"abc", "abc"}, CrLfCase{"\n", "\r\n"},
                                           CrLfCase{"a\nb\n", "a\r\nb\r\n"}, CrLfCase{"a\r\nb", "a\r\nb"},
                                           CrLfCase{"\n\n", "\r\n\r\n"}, CrLfCase{"\r\n\n", "\r\n\r\n"},
                                           CrLfCase{"a\r", "a\r"}, CrLfCase{"a\r\rb\n", "a\r\rb\r\n"},
                                           CrLfCase{std::string("a\0\nb", 4), std::string("a\0\r\nb", 5)}));

}  // namespace
