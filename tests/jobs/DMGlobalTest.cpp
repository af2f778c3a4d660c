#include <gtest/gtest.h>

#include "jobs/DM_Global.h"
#include "platform/runtime/Exception.h"
#include "tests/jobs/FakeOutlook.h"

namespace {

/// The message of the Exception that `check` raises; "" when it raises none.
template <class F>
std::string ErrorOf(F check)
{
    try {
        check();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

struct MaskCase {
    const char* mask;
    bool valid;
    bool validForAttachments;
};

class MaskTable : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTable, ChecksPlaceholders)
{
    EXPECT_EQ(TDMGlobal::IsValidMask(GetParam().mask, false), GetParam().valid) << GetParam().mask;
    EXPECT_EQ(TDMGlobal::IsValidMask(GetParam().mask, true), GetParam().validForAttachments) << GetParam().mask;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MaskTable,
    ::testing::Values(MaskCase{"", true, true}, MaskCase{"plain name", true, true}, MaskCase{"[sn]", true, true},
                      MaskCase{"[Y]\\[M]\\[SE] - [B]", true, true}, MaskCase{"[SN", false, false},
                      MaskCase{"SN]", false, false}, MaskCase{"[]", false, false}, MaskCase{"[ SN]", false, false},
                      MaskCase{"[FE]", false, true}, MaskCase{"[f1]-[E1]", false, true},
                      MaskCase{"[XX]", false, false}, MaskCase{"[B]]", false, false},
                      MaskCase{"[[B]", false, false}, MaskCase{"[O]\\[SE] - [RE] - [FE]", false, true}));

TEST(Validation, FormatErrorTrimsCaptionAndWhole)
{
    EXPECT_EQ(TDMGlobal::FormatError("Export e-mails", "Destination directory not specified."),
              "Export e-mails:\r\n\r\nDestination directory not specified.");
    EXPECT_EQ(TDMGlobal::FormatError(" Cap\t", "Msg\r\n"), "Cap:\r\n\r\nMsg");
    EXPECT_EQ(TDMGlobal::FormatError("", " as is "), " as is ");
}

TEST(Validation, RecordChecksGiveExactTexts)
{
    TOptions_Source source;
    source.Source = 1;
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateSource(source); }),
              "Source items:\r\n\r\nYou must specify an Outlook folder.");

    TOptions_Filter filter;
    filter.Clear();
    filter.DateFrom = 45001;
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateFilter(filter); }), "");
    filter.DateTo = 45000;
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateFilter(filter); }),
              "Use filter:\r\n\r\nDate <from> is later than date <to>.");
    filter.DateFrom = 0;
    filter.HasAtt = filter.HasNoAtt = false;
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateFilter(filter); }),
              "Use filter:\r\n\r\nYou must check at least one attachment option.");

    TOptions_CopyMove copy{true, "E", "S", "F", "[FE]"};
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateCopyEmails(copy); }),
              "Copy e-mails to folder:\r\n\r\nInvalid subfolder/file mask: [FE].");
    copy.Entry.clear();
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateMoveEmails(copy); }),
              "Move e-mails to folder:\r\n\r\nYou must specify an Outlook folder.");

    TOptions_ExportEmails exp;
    exp.Clear();
    exp.DestPath = "/out";
    exp.Log = true;
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateExportEmails(exp); }),
              "Export e-mails:\r\n\r\nYou must specify a Log-directory");
    exp.Mask.clear();
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateExportEmails(exp); }),
              "Export e-mails:\r\n\r\nFilename mask not specified.");

    TOptions_SaveAttachments save;
    save.Clear();
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateSaveAttachments(save); }),
              "Save attachments:\r\n\r\nDestination directory not specified.");
    save.DestPath = "/att";
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateSaveAttachments(save); }), "");

    TOptions_DeleteEmails del{true, false, false};
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateDeleteEmails(del); }),
              "Delete e-mails:\r\n\r\nYou must check at least one attachment option.");
}

TEST(Validation, RuleErrorsCarryTheRuleNumber)
{
    TJobList rules;
    rules.NewJob();
    rules.NewJob().ExportEmails().Active = true;
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateJob(0, rules.Jobs(1)); }),
              "Job 1\r\n\r\nExport e-mails:\r\n\r\nDestination directory not specified.");
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateJobList(rules); }),
              "Job 2\r\n\r\nExport e-mails:\r\n\r\nDestination directory not specified.");
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateJob(-1, rules.Jobs(1)); }),
              "Export e-mails:\r\n\r\nDestination directory not specified.");
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateJob(0, rules.Jobs(0)); }), "");
}

class ManualValidation : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = outlook->AddStore("Mailbox");
        inbox = store->AddChild("Inbox");
        projects = inbox->AddChild("Projects");
        archive = store->AddChild("Archive");
        outlook->explorer = MakeCom<test::FakeExplorer>();
        outlook->explorer->current = inbox;
        outlook->explorer->selection = MakeCom<test::FakeItems>(2);
        job.ReadUnread().Mode = 2;
    }
    void UseFolderSource(bool inclSubFolders)
    {
        job.Source() = {1, "Inbox", "Mailbox", "mailbox \\ INBOX", inclSubFolders};
    }
    static void Target(TOptions_CopyMove& options, const ComPtr<test::FakeFolder>& folder, const std::string& path)
    {
        options = {true, folder->EntryID(), folder->StoreID(), path, ""};
    }
    std::string Validate() { return ErrorOf([&] { TDMGlobal::ValidateManualOptions(job, *outlook, items); }); }

    ComPtr<test::FakeOutlook> outlook = MakeCom<test::FakeOutlook>();
    ComPtr<test::FakeFolder> store, inbox, projects, archive;
    TManualOptions job;
    TJobSourceItems items;
};

TEST_F(ManualValidation, SelectedItemsYieldFolderPathAndSelection)
{
    EXPECT_EQ(Validate(), "");
    EXPECT_EQ(items.Folder.Get(), static_cast<outlook::IMAPIFolder*>(inbox.Get()));
    EXPECT_EQ(items.Path, "Mailbox \\ Inbox");
    EXPECT_EQ(items.Selection->Count(), 2);
}

TEST_F(ManualValidation, SelectionProblems)
{
    outlook->explorer->selection = MakeCom<test::FakeItems>(0);
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nNo items selected.");
    EXPECT_FALSE(items.Folder);
    EXPECT_FALSE(items.Selection);
    outlook->explorer->current.Reset();
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nNo items selected.");
    outlook->explorer.Reset();
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nNo active Explorer available.");
}

TEST_F(ManualValidation, FolderSourceMustStillHaveItsPath)
{
    UseFolderSource(false);
    EXPECT_EQ(Validate(), "");
    EXPECT_EQ(items.Path, "Mailbox \\ Inbox");
    EXPECT_FALSE(items.Selection);
    job.Source().FullName = "Mailbox \\ Old";
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nOutlook folder has changed.");
    EXPECT_FALSE(items.Folder);
    EXPECT_EQ(items.Path, "Mailbox \\ Inbox");
    job.Source().Entry = "Gone";
    EXPECT_EQ(Validate(), "The operation failed.");
}

TEST_F(ManualValidation, NoActionAndFilterOrder)
{
    job.ReadUnread().Mode = 0;
    EXPECT_EQ(Validate(), "No actions defined for processing the e-mails.");
    job.Filter().Active = true;
    job.Filter().HasAtt = job.Filter().HasNoAtt = false;
    EXPECT_EQ(Validate(), "Use filter:\r\n\r\nYou must check at least one attachment option.");
}

TEST_F(ManualValidation, DestinationChecks)
{
    UseFolderSource(true);
    job.ReadUnread().Mode = 0;
    Target(job.MoveEmails(), projects, "Mailbox \\ Inbox \\ Projects");
    EXPECT_EQ(Validate(), "Move e-mails to folder:\r\n\r\nDestination folder must not be a child folder of the source folder.");
    UseFolderSource(false);
    EXPECT_EQ(Validate(), "");

    Target(job.CopyEmails2(), inbox, "Mailbox \\ Inbox");
    EXPECT_EQ(Validate(), "Copy e-mails to folder:\r\n\r\nDestination folder must be different from the source folder.");
    Target(job.CopyEmails2(), archive, "Mailbox \\ Elsewhere");
    EXPECT_EQ(Validate(), "Copy e-mails to folder:\r\n\r\nOutlook folder has changed.");
}

TEST_F(ManualValidation, WithSelectedItemsOnlyTheCurrentFolderIsRefused)
{
    Target(job.CopyEmails1(), projects, "Mailbox \\ Inbox \\ Projects");
    EXPECT_EQ(Validate(), "");
    Target(job.CopyEmails1(), inbox, "Mailbox \\ Inbox");
    EXPECT_EQ(Validate(), "Copy e-mails to folder:\r\n\r\nDestination folder must be different from the source folder.");
}

}  // namespace
