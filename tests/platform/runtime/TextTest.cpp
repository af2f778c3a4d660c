#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, CountsAndCutsByCodePoint)
{
    const std::string text = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a ä € 😀 z
    EXPECT_EQ(Utf8Length(text), 5u);
    EXPECT_EQ(Utf8Cut(text, 3), "a\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(Utf8Cut(text, 99), text);
    EXPECT_EQ(Utf8Substr(text, 3, 1), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8Substr(text, 9), "");
    // A stray byte counts as one and is never split off from its neighbours.
    EXPECT_EQ(Utf8Length("a\xFF"
                         "b"),
              3u);
    EXPECT_EQ(Utf8Cut("\xE2\x82", 1), "\xE2");
    // By bytes: never inside a code point.
    EXPECT_EQ(Utf8CutBytes(text, 7), "a\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(Utf8CutBytes(text, 9), "a\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(Utf8CutBytes(text, 10), "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8CutBytes(text, 0), "");
    EXPECT_EQ(Utf8CutBytes(text, 99), text);
}

TEST(Text, ControlCharactersBecomeQuestionMarks)
{
    // C0, DEL, C1 (U+009B is CSI to some terminals) and stray bytes go; the rest stays, byte for byte.
    EXPECT_EQ(ReplaceControlChars("a\x01\n\r\x1B[2J\x7F\xC2\x9B"
                                  "1m\xC2\x80\xC2\x9F|\xC2\xA0\xFF\xE2\x82"),
              "a????[2J??"
              "1m??|\xC2\xA0???");
    const std::string text = "Z\xC3\xBCrich \xE4\xBC\x9A\xE8\xAD\xB0 \xF0\x9F\x98\x80 \t";
    EXPECT_EQ(ReplaceControlChars(text), text.substr(0, text.size() - 1) + "?");
}

struct CaseRow {
    const char* in;
    const char* upper;
};

class UpperCaseTable : public testing::TestWithParam<CaseRow> {};

TEST_P(UpperCaseTable, MapsEachCodePoint)
{
    EXPECT_EQ(UpperCase(GetParam().in), GetParam().upper);
    EXPECT_EQ(Utf8Length(UpperCase(GetParam().in)), Utf8Length(GetParam().in));
}

INSTANTIATE_TEST_SUITE_P(Text, UpperCaseTable,
                         testing::Values(CaseRow{"abc", "ABC"},
                                         CaseRow{"\xC3\xA4\xC3\xB6\xC3\xBC", "\xC3\x84\xC3\x96\xC3\x9C"},
                                         CaseRow{"stra\xC3\x9F"
                                                 "e",
                                                 "STRA\xC3\x9F"
                                                 "E"},  // ß has no one-letter upper case
                                         CaseRow{"\xCE\xB1\xCE\xB2", "\xCE\x91\xCE\x92"},  // Greek
                                         CaseRow{"x\xFFy", "X\xFFY"}, CaseRow{"", ""}));

TEST(Text, AsciiCaseLeavesOtherBytes)
{
    EXPECT_EQ(AsciiUpperCase("ab\xC3\xA4z"), "AB\xC3\xA4Z");
    EXPECT_EQ(AsciiLowerCase("AB\xC3\x84Z"), "ab\xC3\x84z");
}

TEST(Text, ComparesIgnoringCaseByCodePoint)
{
    EXPECT_TRUE(SameText("M\xC3\x84RZ", "m\xC3\xA4rz"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_EQ(CompareText("", ""), 0);
    EXPECT_FALSE(SameText("a\xFF", "a\xFE"));
    EXPECT_TRUE(SameTextAscii("Section", "SECTION"));
    EXPECT_FALSE(SameTextAscii("\xC3\xA4", "\xC3\x84"));
}

TEST(Text, PrefixMatchGivesTheLengthInTheOriginalText)
{
    // The prefix is matched by upper case; the count is of the bytes of the text.
    EXPECT_EQ(MatchPrefixText("\xC3\x84pfel und Birnen", "\xC3\xA4PFEL"), 6u);
    EXPECT_EQ(MatchPrefixText("abc", ""), 0u);
    EXPECT_FALSE(MatchPrefixText("ab", "abc"));
    EXPECT_FALSE(MatchPrefixText("abd", "abc"));
    EXPECT_EQ(MatchPrefixText("\xC7\x86x", "\xC7\x84"), 2u);  // ǆ matches Ǆ by upper case
}

TEST(Text, TrimsControlCharactersAndBlanks)
{
    EXPECT_EQ(Trim("\t \x01 a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a \x1F"), "  a");
    EXPECT_EQ(Trim(" \xC2\xA0 "), "\xC2\xA0");  // a no-break space is no control character
    EXPECT_EQ(Trim("   "), "");
}

struct DecodeRow {
    std::string in;
    std::string out;
};

class DecodeTable : public testing::TestWithParam<DecodeRow> {};

TEST_P(DecodeTable, ConvertsToUtf8)
{
    EXPECT_EQ(DecodeToUtf8(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Text, DecodeTable,
    testing::Values(DecodeRow{"plain", "plain"}, DecodeRow{"\xEF\xBB\xBF\xC3\xA4", "\xC3\xA4"},
                    DecodeRow{std::string("\xFF\xFE"
                                          "a\0\xE4\0\xAC\x20",
                                          8),
                              "a\xC3\xA4\xE2\x82\xAC"},
                    DecodeRow{std::string("\xFE\xFF\0a\0\xE4", 6), "a\xC3\xA4"},
                    DecodeRow{std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6),
                              "\xF0\x9F\x98\x80"},  // surrogate pair
                    DecodeRow{std::string("\xFF\xFE\x3D\xD8"
                                          "a\0",
                                          6),
                              "\xEF\xBF\xBD"
                              "a"},  // lone surrogate
                    DecodeRow{std::string("\xFF\xFE"
                                          "a",
                                          3),
                              "\xEF\xBF\xBD"},          // odd byte
                    DecodeRow{"\xC3\xA4", "\xC3\xA4"},  // valid UTF-8 stays
                    DecodeRow{"M\xE4rz \x80 \x93x\x94 \x81",
                              "M\xC3\xA4rz \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xC2\x81"}));

TEST(Text, Utf16RoundTrip)
{
    const std::string text = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(Utf8ToUtf16LE(text), std::string("a\0\xE4\0\xAC\x20\x3D\xD8\x00\xDE", 10));
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16LE(text)), text);
}

struct IntRow {
    const char* in;
    bool ok;
    int value;
};

class IntTable : public testing::TestWithParam<IntRow> {};

TEST_P(IntTable, ParsesDecimalAndHex)
{
    int value = 7;
    EXPECT_EQ(TryStrToInt(GetParam().in, value), GetParam().ok) << GetParam().in;
    EXPECT_EQ(StrToIntDef(GetParam().in, -99), GetParam().ok ? GetParam().value : -99) << GetParam().in;
}

INSTANTIATE_TEST_SUITE_P(
    Text, IntTable,
    testing::Values(IntRow{"0", true, 0}, IntRow{"42", true, 42}, IntRow{"-17", true, -17},
                    IntRow{"+5", true, 5}, IntRow{"0x1F", true, 31}, IntRow{"0XfF", true, 255},
                    IntRow{"0xFFFFFFFF", true, -1}, IntRow{"2147483647", true, 2147483647},
                    IntRow{"-2147483648", true, -2147483647 - 1}, IntRow{"2147483648", false, 0},
                    IntRow{"0x100000000", false, 0}, IntRow{"", false, 0}, IntRow{"-", false, 0},
                    IntRow{" 1", false, 0}, IntRow{"1 ", false, 0}, IntRow{"12abc", false, 0},
                    IntRow{"0x", false, 0}, IntRow{"--1", false, 0}, IntRow{"+-1", false, 0},
                    IntRow{"0x-1", false, 0}, IntRow{"1.5", false, 0}));

TEST(Text, StrToIntNamesTheText)
{
    EXPECT_EQ(StrToInt("12"), 12);
    try {
        StrToInt("zwölf");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'zwölf' is not a valid integer value");
    }
    EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
}

}  // namespace
