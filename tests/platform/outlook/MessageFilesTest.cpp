// The byte-level helpers of message files: the case-blind search through the header blocks
// of a message file, writing and copying files so that they appear whole, the line-end
// conversion of header texts, and parsing a message file.

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"
#include "tests/support/TempDir.h"

using outlook::MimeHeadersContainNoCase;
using outlook::ToCrLf;

namespace {

constexpr std::size_t kBlock = 65536;  // a read block of the file helpers

class FileSearchTest : public ::testing::Test {
protected:
    bool Contains(const std::string& bytes, const std::string& needle)
    {
        const auto path = dir_ / "message";
        test::WriteFile(path, bytes);
        return MimeHeadersContainNoCase(path, needle);
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
    // Many near misses before a hit, and the needle's last byte everywhere.
    EXPECT_TRUE(Contains(std::string(1000, '/') + "TEXT/CALENDAR", "text/calendar"));
    EXPECT_TRUE(Contains(std::string(1000, 'r') + "text/calendar", "text/calendar"));
    EXPECT_FALSE(Contains(std::string(1000, '/') + "text/", "text/calendar"));
    // Letters beyond ASCII are compared as bytes, never folded.
    EXPECT_FALSE(Contains("\xC3\x84/x", "\xC3\xA4/x"));
    EXPECT_TRUE(Contains("\xC3\xA4/X", "\xC3\xA4/x"));
}

TEST_F(FileSearchTest, LooksAtThePartHeadersAndPassesOverTheBodies)
{
    const std::string head = "Subject: x\nContent-Type: multipart/mixed; boundary=b\n\n";
    const std::string body = std::string(3 * kBlock, 'Q') + "\n";
    // A calendar part after large bodies, in a nested multipart, with CR LF lines.
    EXPECT_TRUE(Contains(head + "--b\nContent-Type: text/plain\n\n" + body + "--b\nContent-Type: Text/Calendar\n\nBEGIN\n",
                         "text/calendar"));
    EXPECT_TRUE(Contains(head + "--b\nContent-Type: multipart/alternative; boundary=c\n\n--c\n"
                                "Content-Type:\n text/calendar; method=REQUEST\n\nBEGIN\n--c--\n--b--\n",
                         "text/calendar"));
    EXPECT_TRUE(Contains("Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/calendar\r\n\r\nx\r\n",
                         "text/calendar"));
    // Named only in a body, or in the lines after a part's header block.
    EXPECT_FALSE(Contains(head + "--b\nContent-Type: text/plain\n\nSee the text/calendar part.\n--b--\n", "text/calendar"));
    EXPECT_FALSE(Contains(head + "--b\n\ntext/calendar\n--b--\n", "text/calendar"));
    EXPECT_FALSE(Contains(head + body + "text/calendar\n", "text/calendar"));
}

TEST_F(FileSearchTest, ManyDashLinesWithoutBlankLinesStayLinear)
{
    std::string lines = "Content-Type: multipart/mixed; boundary=b\n\n";
    for (int i = 0; i < 200000; ++i) lines += "--x\n";
    EXPECT_FALSE(Contains(lines, "text/calendar"));  // would take minutes if each line rescanned the rest
}

/// The header-block search over the whole text at once, written plainly: the reading in
/// blocks must agree with it wherever the blocks are cut.
bool WholeTextSearch(const std::string& text, const std::string& lowerNeedle)
{
    std::string lower = text;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    std::size_t start = 0;
    for (;;) {
        std::size_t stop = text.size();
        for (std::size_t eol = text.find('\n', start); eol != std::string::npos; eol = text.find('\n', eol + 1)) {
            if (text.compare(eol + 1, 1, "\n") == 0) { stop = eol + 2; break; }
            if (text.compare(eol + 1, 2, "\r\n") == 0) { stop = eol + 3; break; }
        }
        if (lower.substr(start, stop - start).find(lowerNeedle) != std::string::npos) return true;
        if (stop == text.size()) return false;
        if (text.compare(stop, 2, "--") == 0) {
            start = stop;
            continue;
        }
        const auto next = text.find("\n--", stop);
        if (next == std::string::npos) return false;
        start = next + 1;
    }
}

TEST_F(FileSearchTest, AHitOrABlankLineAcrossTheEndOfAReadBlock)
{
    const std::string head = "Content-Type: multipart/mixed; boundary=b\n\n";
    const std::string needle = "Text/Calendar";
    for (std::size_t cut = 1; cut < needle.size(); ++cut) {
        std::string text = head + "--b\nX-Filler: ";
        text += std::string(kBlock - cut - text.size(), 'f');
        EXPECT_TRUE(Contains(text + needle + "\n\nbody\n", "text/calendar")) << "cut after " << cut << " bytes";
    }
    for (std::size_t cut = 0; cut < 3; ++cut) {
        // The blank line ending the part's headers is cut: what follows is body, not header.
        std::string text = head + "--b\nX-Filler: ";
        text += std::string(kBlock - cut - 1 - text.size(), 'f');
        EXPECT_FALSE(Contains(text + "\n\r\ntext/calendar\n", "text/calendar")) << "cut " << cut;
    }
}

TEST_F(FileSearchTest, ReadingInBlocksAgreesWithTheWholeTextWhereverTheBlocksAreCut)
{
    const std::vector<std::string> pieces = {"Content-Type: text/calendar\n", "Content-Type: TEXT/Calendar\r\n",
                                             "--b\n", "--b\r\n", "\n", "\r\n", "-", "--", "x", "text/calendar",
                                             "Subject: y\n", "\n\n", "\r\n\r\n"};
    std::mt19937 random(7);
    int hits = 0;
    for (int round = 0; round < 300; ++round) {
        // A few pieces among filler, one of them across the end of a read block.
        std::string text = "Content-Type: multipart/mixed; boundary=b\n\n";
        const std::size_t cut = kBlock * (1 + random() % 2) - random() % 16;
        for (int piece = 0; piece < 12; ++piece) {
            const std::size_t target = piece == 6 ? cut : text.size() + random() % 12000;
            if (text.size() < target) text += std::string(target - text.size(), piece % 2 ? 'Q' : '/');
            text += pieces[random() % pieces.size()];
            if (random() % 2) text += pieces[random() % pieces.size()];
        }
        const bool expected = WholeTextSearch(text, "text/calendar");
        hits += expected;
        ASSERT_EQ(Contains(text, "text/calendar"), expected) << "round " << round;
    }
    EXPECT_GT(hits, 30);
    EXPECT_LT(hits, 270);
}

TEST_F(FileSearchTest, MissingFileRaises)
{
    EXPECT_ANY_THROW(MimeHeadersContainNoCase(dir_ / "none", "x"));
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
    auto fromFile = outlook::ParseMessageFd(outlook::OpenMessageFile(path));
    ASSERT_TRUE(fromFile);
    std::filesystem::remove(path);  // the parsed message holds its own bytes
    auto fromBytes = outlook::ParseMessage(text);
    EXPECT_EQ(outlook::SerializeMessage(fromFile.get()), outlook::SerializeMessage(fromBytes.get()));
    EXPECT_EQ(outlook::SubjectOf(outlook::HeadersOf(GMIME_OBJECT(fromFile.get()))), "Gr\xC3\xBC\xC3\x9F" "e");
    const auto attachments = outlook::AttachmentsOf(fromFile.get());
    ASSERT_EQ(attachments.size(), 1u);
    EXPECT_EQ(outlook::PartContent(attachments[0].part.get()), std::string("\0\1\2\3\4\5", 6));
    EXPECT_ANY_THROW(outlook::OpenMessageFile(dir_ / "none"));
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

class FileWriteTest : public ::testing::Test {
protected:
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    test::TempDir dir_;
};

TEST_F(FileWriteTest, WritesReplacesAndLeavesNothingElseBehind)
{
    const std::string path = (dir_ / "out.eml").string();
    outlook::WriteUserFile(path, "first");
    EXPECT_EQ(test::ReadFile(path), "first");
    outlook::WriteUserFile(path, "second, longer");
    EXPECT_EQ(test::ReadFile(path), "second, longer");
    outlook::WriteUserFile(path, "");
    EXPECT_EQ(test::ReadFile(path), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"out.eml"});

    const auto store = dir_ / "cur";
    std::filesystem::create_directory(store);
    outlook::WriteFileAtomically(dir_ / "tmp", store / "1.msg", "stored", 0600);
    EXPECT_EQ(test::ReadFile(store / "1.msg"), "stored");
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "tmp"));
}

TEST_F(FileWriteTest, FailureNamesTheFileAndLeavesNothing)
{
    try {
        outlook::WriteUserFile((dir_ / "missing" / "out.eml").string(), "x");
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot write"), std::string::npos) << e.what();
    }
    std::filesystem::create_directory(dir_ / "taken");  // a folder of the target's name cannot be replaced
    EXPECT_ANY_THROW(outlook::WriteUserFile((dir_ / "taken").string(), "x"));
    EXPECT_EQ(Names(), std::vector<std::string>{"taken"});
}

TEST_F(FileWriteTest, CopyIsByteForByteAndReplacesAnEarlierCopy)
{
    const auto from = dir_ / "message";
    const std::string to = (dir_ / "copy.eml").string();
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kBlock, 3 * kBlock + 7}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 131 % 251);  // LF and CR alone too
        test::WriteFile(from, bytes);
        outlook::CopyUserFile(from, to);
        EXPECT_EQ(test::ReadFile(to), bytes) << size << " bytes";
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"copy.eml", "message"}));
    EXPECT_ANY_THROW(outlook::CopyUserFile(dir_ / "none", to));
    EXPECT_ANY_THROW(outlook::CopyUserFile(dir_.Path(), to));  // a folder is no message file
    EXPECT_EQ(Names(), (std::vector<std::string>{"copy.eml", "message"}));
}

TEST_F(FileWriteTest, AFileReadForItsHeadersIsReadAgainFromItsStartAndNeverWhenReplaced)
{
    const std::string path = (dir_ / "message").string();
    const std::string to = (dir_ / "copy.eml").string();
    const std::string first = "Subject: one\n\n" + std::string(100000, 'a');
    test::WriteFile(path, first);
    EXPECT_EQ(outlook::ReadHeaderBlock(path), "Subject: one\n\n");
    outlook::CopyUserFile(path, to);
    EXPECT_EQ(test::ReadFile(to), first);  // from the start, not where the header read stopped

    // Another program puts a new file in the message's place.
    EXPECT_EQ(outlook::ReadHeaderBlock(path), "Subject: one\n\n");
    test::WriteFile(dir_ / "new", "Subject: two\n\nb");
    std::filesystem::rename(dir_ / "new", path);
    outlook::CopyUserFile(path, to);
    EXPECT_EQ(test::ReadFile(to), "Subject: two\n\nb");

    // This process writes it anew under the same name.
    EXPECT_EQ(outlook::ReadHeaderBlock(path), "Subject: two\n\n");
    std::filesystem::create_directory(dir_ / "tmp");
    outlook::WriteFileAtomically(dir_ / "tmp", path, "Subject: three\n\nc", 0600);
    EXPECT_EQ(outlook::ReadWholeFile(path), "Subject: three\n\nc");
}

// A job's reads are no reads of the user's: the access time of a message stays as it was,
// whichever way the message is read (an access time older than the change time is one that a
// read would otherwise move on).
TEST_F(FileWriteTest, ReadingAMessageLeavesItsAccessTimeAlone)
{
    const std::string path = (dir_ / "message").string();
    test::WriteFile(path, "Subject: one\nMIME-Version: 1.0\n\nbody\n");
    const struct timespec times[2] = {{1000000000, 0}, {0, UTIME_OMIT}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const auto accessTime = [&path] {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_atim.tv_sec;
    };
    outlook::ReadHeaderBlock(path);
    EXPECT_TRUE(outlook::ParseMessageFd(outlook::OpenMessageFile(path)));  // the parked file
    EXPECT_TRUE(outlook::ParseMessageFd(outlook::OpenMessageFile(path)));  // opened anew
    outlook::ReadWholeFile(path);
    outlook::CopyUserFile(path, (dir_ / "copy.eml").string());
    EXPECT_EQ(accessTime(), 1000000000);
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
