#include "platform/runtime/Exception.h"
#include "platform/runtime/StringList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> Items(const TStringList& list)
{
    return {list.begin(), list.end()};
}

struct SplitRow {
    std::string text;
    std::vector<std::string> items;
};

class TextSplit : public testing::TestWithParam<SplitRow> {};

TEST_P(TextSplit, SplitsAtEveryLineBreak)
{
    TStringList list;
    list.Add("old");
    list.SetText(GetParam().text);
    EXPECT_EQ(Items(list), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(StringList, TextSplit,
                         testing::Values(SplitRow{"", {}}, SplitRow{"a", {"a"}}, SplitRow{"a\r\n", {"a"}},
                                         SplitRow{"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
                                         SplitRow{"\r\n", {""}}, SplitRow{"a\n\n", {"a", ""}},
                                         SplitRow{"\n\ra", {"", "", "a"}},
                                         SplitRow{"a\r\r\nb", {"a", "", "b"}}));

TEST(StringList, TextJoinsWithCrLfAndRoundTrips)
{
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("one");
    list.Add("");
    list.Add("three");
    EXPECT_EQ(list.Text(), "one\r\n\r\nthree\r\n");
    TStringList copy;
    copy.SetText(list.Text());
    EXPECT_EQ(Items(copy), Items(list));
}

TEST(StringList, UnsortedKeepsOrderAndDuplicates)
{
    TStringList list;
    list.Add("b");
    list.Add("a");
    list.Add("b");
    list.Insert(0, "z");
    list.Insert(4, "end");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"z", "b", "a", "b", "end"}));
    EXPECT_EQ(list.IndexOf("B"), 1);
    EXPECT_EQ(list.IndexOf("missing"), -1);
    list.Delete(1);
    list.Put(0, "y");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"y", "a", "b", "end"}));
}

TEST(StringList, SortedIgnoresDuplicatesIgnoringCase)
{
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("OUTLOOK.EXE"), 0u);
    EXPECT_EQ(list.Add("bash"), 0u);
    EXPECT_EQ(list.Add("outlook.exe"), 1u);
    list.Add("\xC3\xA4rger");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"bash", "OUTLOOK.EXE", "\xC3\xA4rger"}));
    EXPECT_EQ(list.IndexOf("Outlook.exe"), 1);
    EXPECT_EQ(list.IndexOf("\xC3\x84RGER"), 2);
    EXPECT_THROW(list.Insert(0, "x"), EListError);

    list.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(list.Add("BASH"), EListError);
    list.SetDuplicates(TDuplicates::dupAccept);
    list.Add("BASH");
    EXPECT_EQ(list.Count(), 4u);
}

TEST(StringList, TurningSortingOnSortsAndTextKeepsTheRule)
{
    TStringList list;
    list.SetText("c\r\na\r\nb\r\n");
    list.SetSorted(true);
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\n");
    list.SetText("b\na\nB\n");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b"}));
}

TEST(StringList, IndexOutsideTheListNamesTheIndex)
{
    TStringList list;
    list.Add("a");
    EXPECT_EQ(list[0], "a");
    try {
        (void)list[1];
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (1)");
    }
    EXPECT_THROW(list.Delete(1), EListError);
    EXPECT_THROW(list.Insert(2, "x"), EListError);
    EXPECT_NO_THROW(list.Insert(1, "x"));
}

}  // namespace
