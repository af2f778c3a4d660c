#include "engine/MaskExpansion.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"
#include "tests/engine/EngineProbe.h"

namespace {

struct TextCase {
    std::string input;
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << '"' << c.input << '"'; }

// ---- CleanFileName -------------------------------------------------------------------

class CleanFileNameTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(CleanFileNameTest, GivesOneSafeNamePart) { EXPECT_EQ(CleanFileName(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Table, CleanFileNameTest,
    ::testing::Values(TextCase{"a : b", "a b"}, TextCase{"???", "NA"}, TextCase{"", "NA"},
                      TextCase{"  report.pdf \t", "report.pdf"}, TextCase{"a<b>c|d\"e*f", "abcdef"},
                      TextCase{"x\x01y\x1Fz", "xyz"}, TextCase{"a/b\\c", "abc"},
                      TextCase{"[brackets] stay", "[brackets] stay"}, TextCase{"a     b", "a b"},
                      TextCase{"Müller \xC3\xBF", "Müller"}, TextCase{"..", "NA"}, TextCase{".", "NA"},
                      TextCase{". . .", "NA"}, TextCase{"name. . ", "name"}, TextCase{"..\\..", "NA"},
                      TextCase{".hidden", ".hidden"}, TextCase{"a..b", "a..b"}));

TEST(CleanFileNameLimitTest, TwoHundredSixtyCharactersAreRefused)
{
    EXPECT_EQ(CleanFileName(std::string(255, 'x')), std::string(255, 'x'));
    EXPECT_THROW(CleanFileName(std::string(260, 'x')), Exception);
    try {
        CleanFileName(std::string(260, 'x'));
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The full pathname for saving a file is too long.");
    }
    // Counted in code points; a part over the file system's 255 bytes is shortened instead.
    std::string umlauts;
    for (int i = 0; i < 128; ++i) umlauts += "ü";
    EXPECT_EQ(CleanFileName(umlauts), umlauts.substr(0, 254));
    EXPECT_EQ(CleanFileName(umlauts + ".pdf"), umlauts.substr(0, 250) + ".pdf");
    EXPECT_EQ(CleanFileName(std::string(258, 'x')), std::string(255, 'x'));
}

// ---- FitNamePart ---------------------------------------------------------------------

struct FitCase {
    std::string base, middle, ext, expected;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << '"' << c.base.substr(0, 20) << "...\" " << c.ext;
}

class FitNamePartTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitNamePartTest, FitsOneNamePart)
{
    const FitCase& c = GetParam();
    const std::string name = FitNamePart(c.base, c.middle, c.ext);
    EXPECT_EQ(name, c.expected);
    EXPECT_LE(name.size(), MaxNameBytes);
}

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

const std::string kGrin = "\xF0\x9F\x98\x80";  // four bytes

INSTANTIATE_TEST_SUITE_P(
    Table, FitNamePartTest,
    ::testing::Values(FitCase{"report", " - 2", ".pdf", "report - 2.pdf"},
                      FitCase{std::string(251, 'a'), "", ".pdf", std::string(251, 'a') + ".pdf"},
                      // Cut at a code point, never inside one; the number and the extension stay.
                      FitCase{Repeat(kGrin, 70), "", ".pdf", Repeat(kGrin, 62) + ".pdf"},
                      FitCase{Repeat(kGrin, 70), " - 12", ".pdf", Repeat(kGrin, 61) + " - 12.pdf"},
                      // No blank or dot is left where the name was cut.
                      FitCase{std::string(250, 'a') + " .bbbb", "", ".pdf", std::string(250, 'a') + ".pdf"},
                      // Text after a dot with a blank in it, or a long one, is no file type: its end goes.
                      FitCase{"Sender - Re v1", "", ".2 release " + std::string(250, 'x'),
                              "Sender - Re v1.2 release " + std::string(230, 'x')},
                      FitCase{"Sender - Re v1", " - 2", ".2 release " + std::string(250, 'x'),
                              "Sender - Re v1 - 2.2 release " + std::string(226, 'x')},
                      FitCase{"a", "", "." + std::string(300, 'x'), "a." + std::string(253, 'x')}));

// ---- CleanFilePath -------------------------------------------------------------------

class CleanFilePathTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(CleanFilePathTest, CleansEveryPart) { EXPECT_EQ(CleanFilePath(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Table, CleanFilePathTest,
                         ::testing::Values(TextCase{"\\\\x\\y\\", "x\\y"}, TextCase{"a\\\\b", "a\\NA\\b"},
                                           TextCase{"", ""}, TextCase{"\\", ""}, TextCase{"a", "a"},
                                           TextCase{"..\\..\\etc\\passwd", "NA\\NA\\etc\\passwd"},
                                           TextCase{"x\\ .. \\y", "x\\NA\\y"},
                                           TextCase{"a/../b\\c:d", "a..b\\cd"}));

TEST(CleanFilePathTest, NothingLeavesTheDestinationFolder)
{
    for (const char* hostile : {"..\\..\\x", "\\..\\x", "a\\..\\..\\..\\x", "/etc/passwd", "..", " .. \\ . \\x"}) {
        const std::string fsPath = MaskPathToFileSystem(CleanFilePath(hostile));
        EXPECT_NE(fsPath.front(), '/') << hostile;
        for (std::size_t start = 0; start <= fsPath.size();) {
            std::size_t end = fsPath.find('/', start);
            if (end == std::string::npos) end = fsPath.size();
            const std::string part = fsPath.substr(start, end - start);
            EXPECT_NE(part, "..") << hostile;
            EXPECT_NE(part, ".") << hostile;
            EXPECT_FALSE(part.empty()) << hostile;
            start = end + 1;
        }
    }
}

// ---- RemoveQuotes, NormalizeSmtpAddress, ValueOrNA --------------------------------------

class RemoveQuotesTest : public ::testing::TestWithParam<TextCase> {};
TEST_P(RemoveQuotesTest, RemovesOnePair) { EXPECT_EQ(RemoveQuotes(GetParam().input), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, RemoveQuotesTest,
                         ::testing::Values(TextCase{"\"Ann\"", "Ann"}, TextCase{"'Ann'", "Ann"},
                                           TextCase{"\"Ann'", "\"Ann'"}, TextCase{"\"\"x\"\"", "\"x\""},
                                           TextCase{"\"", "\""}, TextCase{"\"\"", ""}, TextCase{"", ""}));

struct SmtpCase {
    std::string value;
    std::string expected;
};
class NormalizeSmtpAddressTest : public ::testing::TestWithParam<SmtpCase> {};
TEST_P(NormalizeSmtpAddressTest, TakesTheAddressOrTheFallback)
{
    EXPECT_EQ(NormalizeSmtpAddress(GetParam().value, "FALLBACK"), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, NormalizeSmtpAddressTest,
    ::testing::Values(SmtpCase{"ann@example.org", "ann@example.org"}, SmtpCase{"ann.example.org", "FALLBACK"},
                      SmtpCase{"ann@.example.org", "FALLBACK"}, SmtpCase{"a@b@example.org", "FALLBACK"},
                      SmtpCase{"ann@example.org and more", "ann@example.org"},
                      SmtpCase{"ann@example.org\tx", "ann@example.org"},
                      SmtpCase{"ann@example.org;bob@example.org", "ann@example.org"},
                      SmtpCase{"'ann@example.org'", "ann@example.org"}, SmtpCase{"@example.org", "FALLBACK"},
                      SmtpCase{"ann@localhost", "FALLBACK"}, SmtpCase{"", "FALLBACK"},
                      SmtpCase{"/O=ORG/OU=SITE/CN=RECIPIENTS/CN=ANN", "FALLBACK"}));

TEST(ValueOrNATest, BlankBecomesNA)
{
    EXPECT_EQ(ValueOrNA(""), "[NA]");
    EXPECT_EQ(ValueOrNA(" \t "), "[NA]");
    EXPECT_EQ(ValueOrNA(" x "), " x ");
}

TEST(NamePartTest, SplitsAtBackslashSlashAndColon)
{
    EXPECT_EQ(ExtractNamePart("C:\\Users\\ann\\report.pdf"), "report.pdf");
    EXPECT_EQ(ExtractNamePart("../../etc/passwd"), "passwd");
    EXPECT_EQ(ExtractNamePart("C:evil.exe"), "evil.exe");
    EXPECT_EQ(ExtractNamePart("plain"), "plain");
    EXPECT_EQ(ExtractExtension("report.final.pdf"), ".pdf");
    EXPECT_EQ(ExtractExtension("dir.x\\README"), "");
}

TEST(IsValidFileNameCharTest, TheWindowsSet)
{
    for (char32_t c = 0; c < 32; ++c) EXPECT_FALSE(IsValidFileNameChar(c));
    for (char32_t c : U"\"*/:<>?\\|\u00FF") EXPECT_FALSE(IsValidFileNameChar(c)) << static_cast<int>(c);
    for (char32_t c : std::u32string_view(U" []'.,;=+-_~!@#$%^&()\u00FE\u20AC")) {
        EXPECT_TRUE(IsValidFileNameChar(c)) << static_cast<int>(c);
    }
}

// ---- ExpandMask ------------------------------------------------------------------------

class ExpandMaskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        e.FSenderName = "Ann Example";
        e.FSenderAddress = "ann@example.org";
        e.FRecipientName = "Bob";
        e.FRecipientAddress = "bob@example.org";
        e.FSubject = "RE: Budget";
        e.FSubjectNoPrefix = "Budget";
        e.FItemDate = EncodeDate(2024, 3, 5) + EncodeTime(23, 59, 0, 0);
        e.FNow = EncodeDate(2025, 11, 9) + EncodeTime(8, 0, 0, 0);
        e.FOutlookUser = "Ann";
        e.FWindowsUser = "ann";
        e.FFolderPath = "Mailbox \\ Inbox";
        e.FFolderPathRel = " \\ Inbox";
        e.FMyName = "Me";
        e.FMyAddress = "me@example.org";
        e.FOtherName = "Them";
        e.FOtherAddress = "them@example.org";
    }
    test::EngineProbe e;
};

TEST_F(ExpandMaskTest, EveryPlaceholder)
{
    EXPECT_EQ(e.ExpandMask("[SN]|[SE]|[RN]|[RE]|[B]|[BX]", ""),
              "Ann Example|ann@example.org|Bob|bob@example.org|RE: Budget|Budget");
    EXPECT_EQ(e.ExpandMask("[T]|[Y]|[M]|[D]|[C]|[CY]|[CM]|[CD]", ""), "20240305|2024|03|05|20251109|2025|11|09");
    EXPECT_EQ(e.ExpandMask("[U]|[W]|[ME]|[MN]|[NE]|[NN]", ""), "Ann|ann|me@example.org|Me|them@example.org|Them");
    EXPECT_EQ(e.ExpandMask("[FE]|[F]|[E]|[F1]|[E1]", "report.final.pdf"), "report.final.pdf|report.final|pdf|r|p");
    EXPECT_EQ(e.ExpandMask("[F]|[E]|[F1]|[E1]", "README"), "README|[NA]|R|[NA]");
    EXPECT_EQ(e.ExpandMask("[FE]|[F]|[E]|[F1]|[E1]", ""), "|[NA]|[NA]|[NA]|[NA]");
    EXPECT_EQ(e.ExpandMask("[F1]", "Übersicht.txt"), "Ü");
}

TEST_F(ExpandMaskTest, TokensIgnoreCaseAndUnknownOnesStay)
{
    EXPECT_EQ(e.ExpandMask("[sn]", ""), "Ann Example");
    EXPECT_EQ(e.ExpandMask("[xy]", ""), "[xy]");
    EXPECT_EQ(e.ExpandMask("[]", ""), "[]");
    EXPECT_EQ(e.ExpandMask("abc[def", ""), "abc[def");
    EXPECT_EQ(e.ExpandMask("a]b[SN]", ""), "a]bAnn Example");
    EXPECT_EQ(e.ExpandMask("[a[SN]", ""), "[a[SN]");
}

TEST_F(ExpandMaskTest, EmptyValuesGiveNA)
{
    e.FSenderName = "";
    EXPECT_EQ(e.ExpandMask("[SN] - [B]", ""), "[NA] - RE: Budget");
    e.FSenderName = "   ";
    EXPECT_EQ(e.ExpandMask("[SN]", ""), "[NA]");
}

TEST_F(ExpandMaskTest, SubjectIsCutAt64CharactersAndTrimmed)
{
    e.FSubject = std::string(63, 's') + " " + std::string(36, 't');
    EXPECT_EQ(e.ExpandMask("[B]", ""), std::string(63, 's'));
    e.FSubject = std::string(100, 'x');
    EXPECT_EQ(e.ExpandMask("[B]", ""), std::string(64, 'x'));
}

TEST_F(ExpandMaskTest, NoItemDateGivesZeros)
{
    e.FItemDate = 0;
    EXPECT_EQ(e.ExpandMask("[T] [Y] [M] [D]", ""), "00000000 0000 00 00");
}

TEST_F(ExpandMaskTest, FolderPathsBecomePlainBackslashPaths)
{
    EXPECT_EQ(e.ExpandMask("[O]\\[SE]", ""), "\\Mailbox\\Inbox\\ann@example.org");
    EXPECT_EQ(CleanFilePath(e.ExpandMask("[O]\\[SE]", "")), "Mailbox\\Inbox\\ann@example.org");
    EXPECT_EQ(e.ExpandMask("x[OR]", ""), "x\\Inbox\\");
    EXPECT_EQ(e.ExpandMask("  a   b \\ c  ", ""), "a  b\\c") << "one pass over the blank pairs";
    EXPECT_EQ(e.ExpandMask("a\\\\\\b", ""), "a\\b");
}

TEST_F(ExpandMaskTest, DefaultMasks)
{
    EXPECT_EQ(e.ExpandMask("[SE] - [RE] - [B]", ""), "ann@example.org - bob@example.org - RE: Budget");
    EXPECT_EQ(CleanFilePath(e.ExpandMask("[O]\\[SE] - [RE] - [FE]", "a.pdf")),
              "Mailbox\\Inbox\\ann@example.org - bob@example.org - a.pdf");
}

TEST_F(ExpandMaskTest, HostileSenderStaysInside)
{
    e.FSenderName = "..\\..\\..\\etc";
    e.FSubject = "../../.ssh/authorized_keys";
    const std::string path = MaskPathToFileSystem(CleanFilePath(e.ExpandMask("[SN]\\[B]", "")));
    EXPECT_EQ(path, "NA/NA/NA/etc/.....sshauthorized_keys");
}

}  // namespace
