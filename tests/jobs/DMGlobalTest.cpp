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
    EXPECT_EQ(TDMGlobal::IsValidMask(GetParam().mask, true), GetParam().validForAttachments)
        << GetParam().mask;
}

INSTANTIATE_TEST_SUITE_P(Cases, MaskTable,
                         ::testing::Values(MaskCase{"", true, true}, MaskCase{"plain name", true, true},
                                           MaskCase{"[sn]", true, true},
                                           MaskCase{"[Y]\\[M]\\[SE] - [B]", true, true},
                                           MaskCase{"[SN", false, false}, MaskCase{"SN]", false, false},
                                           MaskCase{"[]", false, false}, MaskCase{"[ SN]", false, false},
                                           MaskCase{"[FE]", false, true}, MaskCase{"[f1]-[E1]", false, true},
                                           MaskCase{"[XX]", false, false}, MaskCase{"[B]]", false, false},
                                           MaskCase{"[[B]", false, false},
                                           MaskCase{"[O]\\[SE] - [RE] - [FE]", false, true}));

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

    TOptions_CopyMove move{true, "E", "S", "F", "[Y]\\[SN"};
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateMoveEmails(move); }),
              "Move e-mails to folder:\r\n\r\nInvalid subfolder/file mask: [Y]\\[SN.");
    move.Mask = "[sn]";
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateMoveEmails(move); }), "");

    exp.Mask = "[SE]-[FE]";
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateExportEmails(exp); }),
              "Export e-mails:\r\n\r\nInvalid subfolder/file mask: [SE]-[FE].");
    exp.DestPath.clear();
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateExportEmails(exp); }),
              "Export e-mails:\r\n\r\nDestination directory not specified.");

    save.Mask = "[F1] [XX]";
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateSaveAttachments(save); }),
              "Save attachments:\r\n\r\nInvalid subfolder/file mask: [F1] [XX].");
    save.Mask.clear();
    EXPECT_EQ(ErrorOf([&] { TDMGlobal::ValidateSaveAttachments(save); }),
              "Save attachments:\r\n\r\nFilename mask not specified.");

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

// What a real store cannot produce (the tests on a Maildir store are in
// ValidationOnStoreTest.cpp): a lookup that gives no folder and no error, and an explorer
// without a current folder.
class ManualValidation : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = outlook->AddStore("Mailbox");
        inbox = store->AddChild("Inbox");
        archive = store->AddChild("Archive");
        outlook->explorer = MakeCom<test::FakeExplorer>();
        outlook->explorer->current = inbox;
        outlook->explorer->selection = MakeCom<test::FakeItems>(2);
        job.ReadUnread().Mode = 2;
    }
    std::string Validate()
    {
        return ErrorOf([&] { TDMGlobal::ValidateManualOptions(job, *outlook, items); });
    }

    ComPtr<test::FakeOutlook> outlook = MakeCom<test::FakeOutlook>();
    ComPtr<test::FakeFolder> store, inbox, archive;
    TManualOptions job;
    TJobSourceItems items;
};

TEST_F(ManualValidation, LookupWithoutFolderIsNotFound)
{
    job.Source() = {1, outlook->emptyEntry, "Mailbox", "Mailbox \\ Inbox", false};
    items.Path = "kept";
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nOutlook folder not found.");
    EXPECT_EQ(items.Path, "kept");
    EXPECT_FALSE(items.Folder);

    job.Source() = {1, "Inbox", "Mailbox", "Mailbox \\ Inbox", false};
    job.MoveEmails() = {true, outlook->emptyEntry, "Mailbox", "Mailbox \\ Archive", ""};
    EXPECT_EQ(Validate(), "Move e-mails to folder:\r\n\r\nOutlook folder not found.");
    EXPECT_FALSE(items.Folder);
    EXPECT_EQ(items.Path, "Mailbox \\ Inbox");
}

TEST_F(ManualValidation, ExplorerWithoutFolderHasNoItems)
{
    outlook->explorer->current.Reset();
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nNo items selected.");
    EXPECT_FALSE(items.Selection);
    outlook->explorer->current = inbox;
    outlook->explorer->selection.Reset();
    EXPECT_EQ(Validate(), "Source items:\r\n\r\nNo items selected.");
    EXPECT_FALSE(items.Folder);
}

}  // namespace
