#include <gtest/gtest.h>

#include "jobs/Options.h"
#include "platform/runtime/Exception.h"

namespace {

TEST(Options, ClearGivesTheDefaults)
{
    const TManualOptions job;
    EXPECT_TRUE(job.Filter().HasAtt);
    EXPECT_TRUE(job.Filter().HasNoAtt);
    EXPECT_TRUE(job.DeleteEmails().DeleteWithoutAtt);
    EXPECT_FALSE(job.DeleteEmails().DeleteWithAtt);
    EXPECT_EQ(job.ExportEmails().SaveFormat, 3);
    EXPECT_EQ(job.ExportEmails().Mask, "[SE] - [RE] - [B]");
    EXPECT_EQ(job.SaveAttachments().Mask, "[O]\\[SE] - [RE] - [FE]");
    EXPECT_EQ(job.SaveAttachments().SaveOnlyIfSizeKB, 1);
    EXPECT_EQ(job.ReadUnread().Mode, 0);
    EXPECT_EQ(job.CopyEmails1().Mask, "");
}

TEST(Options, ClearEmptiesListsAndResetsFields)
{
    TOptions_Filter filter;
    filter.SenderIncl().Add("*@x.de");
    filter.Active = true;
    filter.HasAtt = false;
    filter.Clear();
    EXPECT_EQ(filter.SenderIncl().Count(), 0u);
    EXPECT_FALSE(filter.Active);
    EXPECT_TRUE(filter.HasAtt);
}

TEST(Options, AssignCopiesListsIntoOwnObjects)
{
    TOptions_Filter source;
    source.Clear();
    source.SenderIncl().Add("A*");
    source.SubjectExcl().Add("spam");
    TOptions_Filter copy;
    const TStringList* copyList = &copy.SenderIncl();
    copy.Assign(source);
    EXPECT_EQ(&copy.SenderIncl(), copyList);
    copy.SenderIncl().Put(0, "B*");
    EXPECT_EQ(source.SenderIncl()[0], "A*");
    EXPECT_EQ(copy.SubjectExcl()[0], "spam");

    TManualOptions job;
    job.SaveAttachments().AttIncl().Add("*.pdf");
    TManualOptions jobCopy;
    jobCopy.Assign(job);
    jobCopy.SaveAttachments().AttIncl().Clear();
    EXPECT_EQ(job.SaveAttachments().AttIncl().Count(), 1u);
}

TEST(Options, NewRuleMatchesEverythingAndDoesNothing)
{
    TJobList list;
    const TJobOptions& rule = list.NewJob();
    EXPECT_EQ(rule.Sender, "*");
    EXPECT_EQ(rule.Recipient, "*");
    EXPECT_EQ(rule.Subject, "*");
    EXPECT_FALSE(rule.ExportEmails().Active);
    EXPECT_FALSE(rule.SaveAttachments().Active);
    EXPECT_EQ(rule.ExportEmails().SaveFormat, 3);
}

TEST(Options, JobListKeepsRulesWhenMovedAndFreesDeletedOnes)
{
    TJobList list;
    TJobOptions& first = list.NewJob();
    first.Subject = "first";
    list.NewJob().Subject = "second";
    TJobOptions& third = list.NewJob();
    third.Subject = "third";

    list.Move(0, 2);
    EXPECT_EQ(&list.Jobs(2), &first);
    EXPECT_EQ(list.Jobs(0).Subject, "second");
    EXPECT_EQ(&list.Jobs(1), &third);

    list.Delete(0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Jobs(0).Subject, "third");
    EXPECT_EQ(list.Jobs(1).Subject, "first");

    EXPECT_THROW(list.Jobs(2), EListError);
    EXPECT_THROW(list.Jobs(-1), EListError);
    EXPECT_THROW(list.Delete(5), EListError);
    EXPECT_THROW(list.Move(0, 2), EListError);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

struct DateCase {
    const char* text;
    int year, month, day;  // 0 = no date
};

class DateTextTable : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateTextTable, ReadsOnlyEightDigitsOfAValidDate)
{
    const DateCase& c = GetParam();
    const TDateTime expected = c.year == 0 ? 0 : EncodeDate(c.year, c.month, c.day);
    EXPECT_EQ(StrToDateYMD(c.text), expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Cases, DateTextTable,
                         ::testing::Values(DateCase{"20240229", 2024, 2, 29}, DateCase{"19991231", 1999, 12, 31},
                                           DateCase{"00010101", 1, 1, 1}, DateCase{"", 0, 0, 0},
                                           DateCase{"2024031", 0, 0, 0}, DateCase{"2024-3-1", 0, 0, 0},
                                           DateCase{"20240230", 0, 0, 0}, DateCase{"20230229", 0, 0, 0},
                                           DateCase{"20241301", 0, 0, 0}, DateCase{"00000101", 0, 0, 0},
                                           DateCase{"+2024031", 0, 0, 0}, DateCase{" 2024031", 0, 0, 0},
                                           DateCase{"202403011", 0, 0, 0}, DateCase{"2024O301", 0, 0, 0}));

TEST(Options, DateTextDropsTheTimeOfDay)
{
    EXPECT_EQ(DateToStrYMD(0), "");
    EXPECT_EQ(DateToStrYMD(0.75), "");
    EXPECT_EQ(DateToStrYMD(EncodeDate(2024, 3, 1) + 0.99), "20240301");
    EXPECT_EQ(DateToStrYMD(EncodeDate(812, 1, 9)), "08120109");
    EXPECT_EQ(StrToDateYMD(DateToStrYMD(0.5)), 0);
}

}  // namespace
