#include <gtest/gtest.h>

#include <random>
#include <string>

#include "jobs/MatchStr.h"
#include "jobs/StrTools.h"
#include "platform/runtime/Text.h"

namespace {

struct MatchCase {
    const char* text;
    const char* mask;
    bool matches;
};

class MatchWildcardTable : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchWildcardTable, Matches)
{
    const MatchCase& c = GetParam();
    EXPECT_EQ(MatchWildcard(c.text, c.mask), c.matches) << "text '" << c.text << "' mask '" << c.mask << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchWildcardTable,
    ::testing::Values(MatchCase{"", "*", true}, MatchCase{"anything", "*", true}, MatchCase{"", "", true},
                      MatchCase{"a", "", false}, MatchCase{"", "?", false}, MatchCase{"", "**", true},
                      MatchCase{"ABC", "A?C", true}, MatchCase{"AC", "A?C", false},
                      MatchCase{"ABBC", "A?C", false}, MatchCase{"fooXbar", "*X*", true},
                      MatchCase{"X", "*X*", true}, MatchCase{"foobar", "*X*", false},
                      MatchCase{"AB", "a*", false}, MatchCase{"AB", "A*", true},
                      MatchCase{"abc", "abc", true}, MatchCase{"abc", "abd", false},
                      MatchCase{"abc", "ab", false}, MatchCase{"ab", "abc", false},
                      MatchCase{"mississippi", "*sip*", true}, MatchCase{"mississippi", "m*iss*ppi", true},
                      MatchCase{"mississippi", "m*x*", false}, MatchCase{"a*b", "a*b", true},
                      MatchCase{"aXb", "a?b", true}, MatchCase{"Müller", "M?ller", true},
                      MatchCase{"Müller", "M??ller", false}, MatchCase{"€", "?", true},
                      MatchCase{"é", "e", false}, MatchCase{"John@Example.COM", "*@EXAMPLE.COM", false},
                      MatchCase{"abcabd", "*abd", true}, MatchCase{"aaa", "a*a*a*a", false}));

/// The recursive definition of matching, on code points, as the reference for the fast matcher.
bool ReferenceMatch(const std::u32string& text, const std::u32string& mask)
{
    if (mask.empty()) return text.empty();
    if (mask[0] == U'*') {
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (ReferenceMatch(text.substr(i), mask.substr(1))) return true;
        }
        return false;
    }
    if (text.empty()) return false;
    if (mask[0] != U'?' && mask[0] != text[0]) return false;
    return ReferenceMatch(text.substr(1), mask.substr(1));
}

std::string ToUtf8(const std::u32string& s)
{
    std::string out;
    for (const char32_t c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

TEST(MatchWildcard, AgreesWithRecursiveDefinitionOnRandomInput)
{
    std::mt19937 random(20240611);
    const std::u32string textAlphabet = U"abé€";
    const std::u32string maskAlphabet = U"abé€*?";
    for (int round = 0; round < 20000; ++round) {
        std::u32string text;
        std::u32string mask;
        const int textLength = static_cast<int>(random() % 10);
        const int maskLength = static_cast<int>(random() % 8);
        for (int i = 0; i < textLength; ++i) text += textAlphabet[random() % textAlphabet.size()];
        for (int i = 0; i < maskLength; ++i) mask += maskAlphabet[random() % maskAlphabet.size()];
        ASSERT_EQ(MatchWildcard(ToUtf8(text), ToUtf8(mask)), ReferenceMatch(text, mask))
            << "text '" << ToUtf8(text) << "' mask '" << ToUtf8(mask) << "'";
    }
}

TEST(MatchWildcard, CallersUpperCaseBothSidesToIgnoreCase)
{
    EXPECT_FALSE(MatchWildcard("müller@x.de", "MÜLLER@*"));
    EXPECT_TRUE(MatchWildcard(UpperCase("müller@x.de"), UpperCase("Müller@*")));
}

TEST(MatchWildcard, HelpersFindStarsAndWildcards)
{
    EXPECT_TRUE(IsAllStars(""));
    EXPECT_TRUE(IsAllStars("***"));
    EXPECT_FALSE(IsAllStars("*a*"));
    EXPECT_EQ(FirstWildcardPos("abc"), 0);
    EXPECT_EQ(FirstWildcardPos("ab?c*"), 3);
    EXPECT_EQ(FirstWildcardPos("*"), 1);
}

struct TokenCase {
    const char* input;
    char sep;
    const char* token;
    const char* rest;
};

class FetchTokenTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(FetchTokenTable, Splits)
{
    const TokenCase& c = GetParam();
    std::string s = c.input;
    std::string token = "stale";
    FetchToken(s, c.sep, token);
    EXPECT_EQ(token, c.token);
    EXPECT_EQ(s, c.rest);
}

INSTANTIATE_TEST_SUITE_P(Cases, FetchTokenTable,
                         ::testing::Values(TokenCase{"a=b=c", '=', "a", "b=c"}, TokenCase{"abc", '=', "abc", ""},
                                           TokenCase{"", '=', "", ""}, TokenCase{"=x", '=', "", "x"},
                                           TokenCase{"x=", '=', "x", ""}, TokenCase{" a @ b ", '@', " a ", " b "}));

}  // namespace
