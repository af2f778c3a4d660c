#include <gtest/gtest.h>

#include "platform/qelutils/CurrentUser.h"
#include "platform/qelutils/InboxItems.h"
#include "platform/qelutils/InboxWatcher.h"

namespace {

struct GecosCase {
    const char* gecos;
    const char* expected;
};

class FullName : public testing::TestWithParam<GecosCase> {};

TEST_P(FullName, FirstFieldElseLogin) { EXPECT_EQ(qelutils::FullNameFromGecos(GetParam().gecos, "ann"), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Gecos, FullName,
                         testing::Values(GecosCase{"Ann Smith,Room 12,555-1234,,", "Ann Smith"},
                                         GecosCase{"Ann Smith", "Ann Smith"}, GecosCase{"  Åsa Ström ", "Åsa Ström"},
                                         GecosCase{"", "ann"}, GecosCase{",Room 12", "ann"},
                                         GecosCase{"   ,x", "ann"}));

TEST(MaildirUniquePart, CutsTheInfoAndSkipsHiddenFiles)
{
    EXPECT_EQ(qelutils::MaildirUniquePart("1717423500.M1P2Q3.host:2,RS"), "1717423500.M1P2Q3.host");
    EXPECT_EQ(qelutils::MaildirUniquePart("1717423500.M1P2Q3.host"), "1717423500.M1P2Q3.host");
    EXPECT_EQ(qelutils::MaildirUniquePart(".1717423500.part"), "");
    EXPECT_EQ(qelutils::MaildirUniquePart(""), "");
}

TEST(NormalizedHeaderBlock, IgnoresLineEndStyleAndTrailingBlankLines)
{
    EXPECT_EQ(qelutils::NormalizedHeaderBlock("A: 1\r\nB: 2\r\n\r\n"), "A: 1\nB: 2");
    EXPECT_EQ(qelutils::NormalizedHeaderBlock("A: 1\nB: 2\n"), "A: 1\nB: 2");
    EXPECT_NE(qelutils::NormalizedHeaderBlock("A: 1\nB: 2"), qelutils::NormalizedHeaderBlock("A: 1\nB: 3"));
    // Raw Latin-1 bytes become U+FFFD, as in the item's headers; valid UTF-8 stays.
    EXPECT_EQ(qelutils::NormalizedHeaderBlock("S: Gr\xFC\xDF" "e\r\n"), "S: Gr\xEF\xBF\xBD\xEF\xBF\xBD" "e");
    EXPECT_EQ(qelutils::NormalizedHeaderBlock("S: Gr\xC3\xBC\xC3\x9F" "e\n"), "S: Gr\xC3\xBC\xC3\x9F" "e");
}

}  // namespace
