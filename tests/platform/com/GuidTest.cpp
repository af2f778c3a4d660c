#include <gtest/gtest.h>

#include <unordered_set>

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

namespace {

struct GuidCase {
    const char* text;
    const char* formatted;  // nullptr: the text is no GUID
};

class GuidParse : public testing::TestWithParam<GuidCase> {};

TEST_P(GuidParse, ParsesAndFormats)
{
    const auto& c = GetParam();
    const auto parsed = GUID::Parse(c.text);
    if (!c.formatted) {
        EXPECT_FALSE(parsed.has_value());
        return;
    }
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->ToString(), c.formatted);
    EXPECT_EQ(GUID::Parse(parsed->ToString()), parsed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GuidParse,
    testing::Values(
        GuidCase{"{465698C2-5138-4DCC-84B9-F7E23B9BB44E}", "{465698C2-5138-4DCC-84B9-F7E23B9BB44E}"},
        GuidCase{"{465698c2-5138-4dcc-84b9-f7e23b9bb44e}", "{465698C2-5138-4DCC-84B9-F7E23B9BB44E}"},
        GuidCase{"00020400-0000-0000-C000-000000000046", "{00020400-0000-0000-C000-000000000046}"},
        GuidCase{"{00000000-0000-0000-0000-000000000000}", "{00000000-0000-0000-0000-000000000000}"},
        GuidCase{"{465698C2-5138-4DCC-84B9-F7E23B9BB44E", nullptr},
        GuidCase{"465698C2-5138-4DCC-84B9-F7E23B9BB44E}", nullptr},
        GuidCase{"{465698C2-5138-4DCC-84B9F7E23B9BB44E0}", nullptr},
        GuidCase{"{465698G2-5138-4DCC-84B9-F7E23B9BB44E}", nullptr},
        GuidCase{"{465698C2-5138-4DCC-84B9-F7E23B9BB44}", nullptr},
        GuidCase{"", nullptr}, GuidCase{"QELutils.QELSCU", nullptr}));

TEST(Guid, ByteOrderFollowsTheTextAndHashesDiffer)
{
    constexpr GUID g = MakeGuid("{01020304-0506-0708-090A-0B0C0D0E0F10}");
    static_assert(g.Data1 == 0x01020304 && g.Data2 == 0x0506 && g.Data3 == 0x0708);
    static_assert(g.Data4[0] == 0x09 && g.Data4[7] == 0x10);
    std::unordered_set<GUID> set{g, GUID_NULL, MakeGuid("{01020304-0506-0708-090A-0B0C0D0E0F11}")};
    EXPECT_EQ(set.size(), 3u);
}

struct MessageCase {
    HRESULT code;
    const char* text;
};

class HResultText : public testing::TestWithParam<MessageCase> {};

TEST_P(HResultText, IsTheStandardText) { EXPECT_EQ(HResultMessage(GetParam().code), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Codes, HResultText,
                         testing::Values(MessageCase{REGDB_E_CLASSNOTREG, "Class not registered"},
                                         MessageCase{CO_E_CLASSSTRING, "Invalid class string"},
                                         MessageCase{E_NOINTERFACE, "No such interface supported"},
                                         MessageCase{E_NOTIMPL, "Not implemented"},
                                         MessageCase{E_FAIL, "Unspecified error"},
                                         MessageCase{MK_E_UNAVAILABLE, "Operation unavailable"},
                                         MessageCase{DISP_E_MEMBERNOTFOUND, "Member not found."},
                                         MessageCase{MakeHResult(0x80001234), "Unspecified error (0x80001234)"}));

}  // namespace
