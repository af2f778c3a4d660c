// Round trips of the option records through the registry and job definition files.
#include <gtest/gtest.h>

#include <cstdlib>

#include "jobs/Options.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/IniFile.h"
#include "platform/runtime/Registry.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kJobKey = std::string(RegKeyAdHoc);

void FillList(TStringList& list, const std::string& prefix)
{
    list.Add(prefix + "1 ümlaut");
    list.Add("");
    list.Add(prefix + "3 ; = [x]");
}

/// Every field away from its default.
void FillJob(TManualOptions& job)
{
    job.Source() = {1, "E1", "S1", "Mailbox \\ Inbox", true};
    TOptions_Filter& f = job.Filter();
    f.Active = true;
    f.DateFrom = EncodeDate(2023, 1, 31);
    f.DateTo = EncodeDate(2024, 12, 1);
    f.HasAtt = false;
    f.HasNoAtt = true;
    FillList(f.SenderIncl(), "si");
    FillList(f.SenderExcl(), "se");
    FillList(f.RecipientIncl(), "ri");
    FillList(f.RecipientExcl(), "re");
    FillList(f.SubjectIncl(), "ui");
    FillList(f.SubjectExcl(), "ue");
    job.CopyEmails1() = {true, "E2", "S2", "Mailbox \\ A", "[Y]\\[M]"};
    job.ExportEmails() = {true, 4, "/out", "  [B] padded ", 1, "Done: ", true, true, "/logs"};
    TOptions_SaveAttachments& s = job.SaveAttachments();
    s.Active = true;
    s.RecurseMSG = true;
    s.DestPath = "/att";
    s.Mask = "[F]-[E]";
    s.DuplicateMode = 1;
    s.AfterSaveMode = 2;
    s.SaveOnlyIfSize = true;
    s.SaveOnlyIfSizeKB = 250000;
    FillList(s.AttIncl(), "ai");
    FillList(s.AttExcl(), "ae");
    job.Reimport().Active = true;
    job.DeleteAttachments().Active = true;
    FillList(job.DeleteAttachments().AttIncl(), "di");
    FillList(job.DeleteAttachments().AttExcl(), "de");
    job.ReadUnread().Mode = 2;
    job.CopyEmails2() = {true, "E3", "S3", "Mailbox \\ B", "x"};
    job.MoveEmails() = {true, "E4", "S4", "Mailbox \\ C", "\"quoted\""};
    job.DeleteEmails() = {true, false, true};
}

std::vector<std::string> Items(const TStringList& list)
{
    return {list.begin(), list.end()};
}

void ExpectSameCopyMove(const TOptions_CopyMove& a, const TOptions_CopyMove& b)
{
    EXPECT_EQ(a.Active, b.Active);
    EXPECT_EQ(a.Entry, b.Entry);
    EXPECT_EQ(a.Store, b.Store);
    EXPECT_EQ(a.FullName, b.FullName);
    EXPECT_EQ(a.Mask, b.Mask);
}

void ExpectSameExport(const TOptions_ExportEmails& a, const TOptions_ExportEmails& b)
{
    EXPECT_EQ(a.Active, b.Active);
    EXPECT_EQ(a.SaveFormat, b.SaveFormat);
    EXPECT_EQ(a.DestPath, b.DestPath);
    EXPECT_EQ(a.Mask, b.Mask);
    EXPECT_EQ(a.DuplicateMode, b.DuplicateMode);
    EXPECT_EQ(a.PrefixSubject, b.PrefixSubject);
    EXPECT_EQ(a.AlsoAttachments, b.AlsoAttachments);
    EXPECT_EQ(a.Log, b.Log);
    EXPECT_EQ(a.LogPath, b.LogPath);
}

void ExpectSameSave(const TOptions_SaveAttachments& a, const TOptions_SaveAttachments& b)
{
    EXPECT_EQ(a.Active, b.Active);
    EXPECT_EQ(a.RecurseMSG, b.RecurseMSG);
    EXPECT_EQ(a.DestPath, b.DestPath);
    EXPECT_EQ(a.Mask, b.Mask);
    EXPECT_EQ(a.DuplicateMode, b.DuplicateMode);
    EXPECT_EQ(a.AfterSaveMode, b.AfterSaveMode);
    EXPECT_EQ(a.SaveOnlyIfSize, b.SaveOnlyIfSize);
    EXPECT_EQ(a.SaveOnlyIfSizeKB, b.SaveOnlyIfSizeKB);
    EXPECT_EQ(Items(a.AttIncl()), Items(b.AttIncl()));
    EXPECT_EQ(Items(a.AttExcl()), Items(b.AttExcl()));
}

void ExpectSameJob(const TManualOptions& a, const TManualOptions& b)
{
    EXPECT_EQ(a.Source().Source, b.Source().Source);
    EXPECT_EQ(a.Source().Entry, b.Source().Entry);
    EXPECT_EQ(a.Source().Store, b.Source().Store);
    EXPECT_EQ(a.Source().FullName, b.Source().FullName);
    EXPECT_EQ(a.Source().InclSubFolders, b.Source().InclSubFolders);
    const TOptions_Filter& fa = a.Filter();
    const TOptions_Filter& fb = b.Filter();
    EXPECT_EQ(fa.Active, fb.Active);
    EXPECT_EQ(fa.DateFrom, fb.DateFrom);
    EXPECT_EQ(fa.DateTo, fb.DateTo);
    EXPECT_EQ(fa.HasAtt, fb.HasAtt);
    EXPECT_EQ(fa.HasNoAtt, fb.HasNoAtt);
    EXPECT_EQ(Items(fa.SenderIncl()), Items(fb.SenderIncl()));
    EXPECT_EQ(Items(fa.SenderExcl()), Items(fb.SenderExcl()));
    EXPECT_EQ(Items(fa.RecipientIncl()), Items(fb.RecipientIncl()));
    EXPECT_EQ(Items(fa.RecipientExcl()), Items(fb.RecipientExcl()));
    EXPECT_EQ(Items(fa.SubjectIncl()), Items(fb.SubjectIncl()));
    EXPECT_EQ(Items(fa.SubjectExcl()), Items(fb.SubjectExcl()));
    ExpectSameCopyMove(a.CopyEmails1(), b.CopyEmails1());
    ExpectSameExport(a.ExportEmails(), b.ExportEmails());
    EXPECT_EQ(a.Reimport().Active, b.Reimport().Active);
    ExpectSameSave(a.SaveAttachments(), b.SaveAttachments());
    EXPECT_EQ(a.DeleteAttachments().Active, b.DeleteAttachments().Active);
    EXPECT_EQ(Items(a.DeleteAttachments().AttIncl()), Items(b.DeleteAttachments().AttIncl()));
    EXPECT_EQ(Items(a.DeleteAttachments().AttExcl()), Items(b.DeleteAttachments().AttExcl()));
    EXPECT_EQ(a.ReadUnread().Mode, b.ReadUnread().Mode);
    ExpectSameCopyMove(a.CopyEmails2(), b.CopyEmails2());
    ExpectSameCopyMove(a.MoveEmails(), b.MoveEmails());
    EXPECT_EQ(a.DeleteEmails().Active, b.DeleteEmails().Active);
    EXPECT_EQ(a.DeleteEmails().DeleteWithoutAtt, b.DeleteEmails().DeleteWithoutAtt);
    EXPECT_EQ(a.DeleteEmails().DeleteWithAtt, b.DeleteEmails().DeleteWithAtt);
}

class OptionsStorage : public ::testing::Test {
protected:
    test::TempDir dir;
    TRegistry reg{dir.Path()};
    std::string JobFile() const { return (dir / "job.qef").string(); }
};

TEST_F(OptionsStorage, JobSurvivesRegistryRoundTrip)
{
    TManualOptions job;
    FillJob(job);
    job.SaveToRegistry(reg, kJobKey);
    TManualOptions loaded;
    loaded.LoadFromRegistry(reg, kJobKey);
    ExpectSameJob(job, loaded);
}

TEST_F(OptionsStorage, JobSurvivesJobFileRoundTrip)
{
    TManualOptions job;
    FillJob(job);
    job.SaveToFile(JobFile());
    TManualOptions loaded;
    loaded.LoadFromFile(JobFile());
    ExpectSameJob(job, loaded);
}

TEST_F(OptionsStorage, JobFileKeepsOtherSectionsAndWritesPartsInOrder)
{
    test::WriteFile(JobFile(), "[Mine]\r\nKeep=1\r\n[Filter]\r\nStale=1\r\n");
    TManualOptions job;
    job.SaveToFile(JobFile());
    const std::string text = test::ReadFile(JobFile());
    EXPECT_EQ(text.find("[Mine]\r\nKeep=1\r\n"), 0u);
    EXPECT_EQ(text.find("Stale"), std::string::npos);
    const char* sections[] = {"[Source]",      "[Filter]",          "[CopyEmails1]",       "[ExportEmails]",
                              "[Reimport]",    "[SaveAttachments]", "[DeleteAttachments]", "[ReadUnread]",
                              "[CopyEmails2]", "[MoveEmails]",      "[DeleteEmails]"};
    std::size_t last = 0;
    for (const char* section : sections) {
        const std::size_t at = text.find(section);
        ASSERT_NE(at, std::string::npos) << section;
        EXPECT_GT(at, last) << section;
        last = at;
    }
    EXPECT_NE(text.find("[Filter]\r\nActive=0\r\nDateFrom=\r\nDateTo=\r\nHasAtt=1\r\nHasNoAtt=1\r\n"
                        "SenderInclCount=0\r\n"),
              std::string::npos);
}

TEST_F(OptionsStorage, WindowsJobFileLoads)
{
    // Written as the Windows program writes it: Windows-1252, CR LF.
    test::WriteFile(JobFile(),
                    "[Source]\r\nSource=1\r\nEntry=0000ABCD\r\nStore=4D61696C626F78\r\n"
                    "FullName=Mailbox \\ Inbox \\ B\xFC"
                    "cher\r\nInclSubFolders=1\r\n"
                    "[Filter]\r\nActive=1\r\nDateFrom=20240105\r\nDateTo=\r\nHasAtt=1\r\nHasNoAtt=0\r\n"
                    "SenderInclCount=2\r\nSenderIncl1=*@m\xFCller.de\r\nSenderIncl2=*\x80*\r\n"
                    "[ExportEmails]\r\nActive=1\r\nSaveFormat=2\r\nDestPath=C:\\Export\r\nMask=[Y]\\[B]\r\n"
                    "[ReadUnread]\r\nMode=1\r\n");
    TManualOptions job;
    job.LoadFromFile(JobFile());
    EXPECT_EQ(job.Source().Source, 1);
    EXPECT_EQ(job.Source().FullName, "Mailbox \\ Inbox \\ Bücher");
    EXPECT_TRUE(job.Source().InclSubFolders);
    EXPECT_TRUE(job.Filter().Active);
    EXPECT_EQ(job.Filter().DateFrom, EncodeDate(2024, 1, 5));
    EXPECT_EQ(job.Filter().DateTo, 0);
    EXPECT_FALSE(job.Filter().HasNoAtt);
    EXPECT_EQ(Items(job.Filter().SenderIncl()), (std::vector<std::string>{"*@müller.de", "*€*"}));
    EXPECT_EQ(job.ExportEmails().SaveFormat, 2);
    EXPECT_EQ(job.ExportEmails().Mask, "[Y]\\[B]");
    EXPECT_EQ(job.ReadUnread().Mode, 1);
}

TEST_F(OptionsStorage, MissingKeysGiveFileDefaultsNotClearDefaults)
{
    test::WriteFile(JobFile(), "[Filter]\r\nActive=1\r\nHasNoAtt=yes\r\n");
    TManualOptions job;
    job.Filter().SenderIncl().Add("old");
    job.LoadFromFile(JobFile());
    EXPECT_FALSE(job.Filter().HasAtt);
    EXPECT_FALSE(job.Filter().HasNoAtt);
    EXPECT_EQ(job.Filter().SenderIncl().Count(), 0u);
    EXPECT_EQ(job.ExportEmails().Mask, "");
    EXPECT_EQ(job.ExportEmails().SaveFormat, 3);
    EXPECT_EQ(job.SaveAttachments().Mask, "");
    EXPECT_EQ(job.SaveAttachments().SaveOnlyIfSizeKB, 1);
    EXPECT_FALSE(job.DeleteEmails().DeleteWithoutAtt);

    TManualOptions missing;
    missing.Source().Source = 1;
    EXPECT_NO_THROW(missing.LoadFromFile((dir / "none.qef").string()));
    EXPECT_EQ(missing.Source().Source, 0);
}

TEST_F(OptionsStorage, HugeOrBrokenListCountReadsAsEmptyList)
{
    test::WriteFile(JobFile(),
                    "[Filter]\r\nSenderInclCount=100001\r\nSenderIncl1=a\r\n"
                    "SenderExclCount=x\r\nRecipientInclCount=-3\r\n"
                    "SubjectInclCount=2\r\nSubjectIncl2=two\r\n");
    TManualOptions job;
    job.LoadFromFile(JobFile());
    EXPECT_EQ(job.Filter().SenderIncl().Count(), 0u);
    EXPECT_EQ(job.Filter().SenderExcl().Count(), 0u);
    EXPECT_EQ(job.Filter().RecipientIncl().Count(), 0u);
    EXPECT_EQ(Items(job.Filter().SubjectIncl()), (std::vector<std::string>{"", "two"}));
}

TEST_F(OptionsStorage, JobFileWithoutFolderLiesInTheWindowsFolder)
{
    ::setenv("TROVANTA_HOME", dir.Path().c_str(), 1);
    TManualOptions job;
    job.ReadUnread().Mode = 2;
    job.SaveToFile("bare.qef");
    EXPECT_TRUE(std::filesystem::exists(dir / "bare.qef"));
    TManualOptions loaded;
    loaded.LoadFromFile("bare.qef");
    EXPECT_EQ(loaded.ReadUnread().Mode, 2);
    ::unsetenv("TROVANTA_HOME");
}

TEST_F(OptionsStorage, MissingKeyLeavesClearDefaults)
{
    TManualOptions job;
    job.Filter().HasAtt = false;
    job.ExportEmails().Mask = "x";
    job.LoadFromRegistry(reg, kJobKey);
    EXPECT_TRUE(job.Filter().HasAtt);
    EXPECT_EQ(job.ExportEmails().Mask, "[SE] - [RE] - [B]");
}

TEST_F(OptionsStorage, MissingNumberStopsTheLoadAndNamesTheValue)
{
    ASSERT_TRUE(reg.OpenKey(kJobKey + "\\Source", true));
    reg.WriteInteger("Source", 1);
    reg.WriteString("Entry", "E");
    reg.CloseKey();
    TManualOptions job;
    try {
        job.LoadFromRegistry(reg, kJobKey);
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_NE(e.Message().find("InclSubFolders"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(job.Source().Source, 1);
    EXPECT_EQ(job.Source().Entry, "E");
    EXPECT_FALSE(reg.HasCurrentKey());
}

TEST_F(OptionsStorage, EmptyListIsAnEmptyString)
{
    TMeOptions me;
    me.SaveToRegistry(reg, RegKeyMe);
    ASSERT_TRUE(reg.OpenKeyReadOnly(RegKeyMe));
    EXPECT_EQ(reg.GetDataType("Values"), TRegDataType::rdString);
    EXPECT_EQ(reg.ReadString("Values"), "");
    reg.CloseKey();
    me.Values().Add("stale");
    me.LoadFromRegistry(reg, RegKeyMe);
    EXPECT_EQ(me.Values().Count(), 0u);
}

TEST_F(OptionsStorage, SendAndMeRoundTripAndReplaceTheirKey)
{
    ASSERT_TRUE(reg.OpenKey(RegKeyMe, true));
    reg.WriteString("Stale", "x");
    reg.CloseKey();
    TMeOptions me;
    me.Values().Add("*@me.org");
    me.Values().Add("Me Myself");
    me.SaveToRegistry(reg, RegKeyMe);
    TMeOptions loadedMe;
    loadedMe.LoadFromRegistry(reg, RegKeyMe);
    EXPECT_EQ(Items(loadedMe.Values()), Items(me.Values()));
    ASSERT_TRUE(reg.OpenKeyReadOnly(RegKeyMe));
    EXPECT_FALSE(reg.ValueExists("Stale"));
    reg.CloseKey();

    TSendOptions send;
    send.ReplaceMode = 2;
    send.SaveToRegistry(reg, RegKeySend);
    TSendOptions loadedSend;
    loadedSend.LoadFromRegistry(reg, RegKeySend);
    EXPECT_EQ(loadedSend.ReplaceMode, 2);
}

TEST_F(OptionsStorage, RulesRoundTripAndDeletedRuleLeavesNoKey)
{
    TAutoOptions rules;
    rules.Active = true;
    for (const char* subject : {"one", "two", "three"}) {
        TJobOptions& rule = rules.Jobs().NewJob();
        rule.Subject = subject;
        rule.Sender = "*@a.b;*@c.d";
        rule.ExportEmails().Active = true;
        rule.ExportEmails().DestPath = std::string("/x/") + subject;
        rule.SaveAttachments().AttIncl().Add("*.pdf");
    }
    rules.SaveToRegistry(reg, RegKeyAuto);
    rules.Jobs().Delete(1);
    rules.SaveToRegistry(reg, RegKeyAuto);

    ASSERT_TRUE(reg.OpenKeyReadOnly(RegKeyAuto));
    EXPECT_EQ(reg.ReadInteger("Count"), 2);
    EXPECT_EQ(reg.GetKeyNames(), (std::vector<std::string>{"Job1", "Job2"}));
    reg.CloseKey();

    TAutoOptions loaded;
    loaded.LoadFromRegistry(reg, RegKeyAuto);
    EXPECT_TRUE(loaded.Active);
    ASSERT_EQ(loaded.Jobs().Count(), 2);
    EXPECT_EQ(loaded.Jobs().Jobs(1).Subject, "three");
    EXPECT_EQ(loaded.Jobs().Jobs(1).Sender, "*@a.b;*@c.d");
    EXPECT_EQ(loaded.Jobs().Jobs(1).ExportEmails().DestPath, "/x/three");
    EXPECT_EQ(Items(loaded.Jobs().Jobs(0).SaveAttachments().AttIncl()), (std::vector<std::string>{"*.pdf"}));
}

TEST_F(OptionsStorage, RuleKeyWithoutTextsGivesEmptyMasks)
{
    ASSERT_TRUE(reg.OpenKey(std::string(RegKeyAuto) + "\\Job1", true));
    reg.CloseKey();
    TJobOptions rule;
    rule.LoadFromRegistry(reg, std::string(RegKeyAuto) + "\\Job1");
    EXPECT_EQ(rule.Sender, "");
    EXPECT_EQ(rule.Subject, "");
    EXPECT_EQ(rule.ExportEmails().Mask, "[SE] - [RE] - [B]");
}

TEST_F(OptionsStorage, HugeRuleCountLoadsNoRules)
{
    ASSERT_TRUE(reg.OpenKey(RegKeyAuto, true));
    reg.WriteInteger("Active", 1);
    reg.WriteInteger("Count", 2000000000);
    reg.CloseKey();
    TAutoOptions rules;
    rules.LoadFromRegistry(reg, RegKeyAuto);
    EXPECT_EQ(rules.Jobs().Count(), 0);
    EXPECT_TRUE(rules.Active);
}

// ---- value names and their order, exactly as stored

TEST_F(OptionsStorage, JobFileOfACleanJobIsExactlyTheseKeys)
{
    TManualOptions job;
    job.SaveToFile(JobFile());
    // Sections apart by an empty line, as the profile functions write them.
    const std::string copyMove = "Active=0\r\nEntry=\r\nStore=\r\nFullName=\r\nMask=\r\n";
    EXPECT_EQ(test::ReadFile(JobFile()),
              "[Source]\r\nSource=0\r\nEntry=\r\nStore=\r\nFullName=\r\nInclSubFolders=0\r\n"
              "\r\n[Filter]\r\nActive=0\r\nDateFrom=\r\nDateTo=\r\nHasAtt=1\r\nHasNoAtt=1\r\n"
              "SenderInclCount=0\r\nSenderExclCount=0\r\nRecipientInclCount=0\r\nRecipientExclCount=0\r\n"
              "SubjectInclCount=0\r\nSubjectExclCount=0\r\n"
              "\r\n[CopyEmails1]\r\n" +
                  copyMove +
                  "\r\n[ExportEmails]\r\nActive=0\r\nSaveFormat=3\r\nDestPath=\r\nMask=[SE] - [RE] - [B]\r\n"
                  "DuplicateMode=0\r\nPrefixSubject=\r\nAlsoAttachments=0\r\nLog=0\r\nLogPath=\r\n"
                  "\r\n[Reimport]\r\nActive=0\r\n"
                  "\r\n[SaveAttachments]\r\nActive=0\r\nRecurseMSG=0\r\nDestPath=\r\nMask=[O]\\[SE] - [RE] - "
                  "[FE]\r\n"
                  "DuplicateMode=0\r\nAfterSaveMode=0\r\nSaveOnlyIfSize=0\r\nSaveOnlyIfSizeKB=1\r\n"
                  "AttInclCount=0\r\nAttExclCount=0\r\n"
                  "\r\n[DeleteAttachments]\r\nActive=0\r\nAttInclCount=0\r\nAttExclCount=0\r\n"
                  "\r\n[ReadUnread]\r\nMode=0\r\n"
                  "\r\n[CopyEmails2]\r\n" +
                  copyMove + "\r\n[MoveEmails]\r\n" + copyMove +
                  "\r\n[DeleteEmails]\r\nActive=0\r\nDeleteWithoutAtt=1\r\nDeleteWithAtt=0\r\n");
}

struct KeyValues {
    const char* key;
    std::vector<std::string> names;
};

TEST_F(OptionsStorage, RegistryHoldsEveryValueNameInWritingOrder)
{
    const std::vector<std::string> copyMove = {"Active", "Entry", "Store", "FullName", "Mask"};
    const std::vector<std::string> exportNames = {"Active",        "SaveFormat",    "DestPath",        "Mask",
                                                  "DuplicateMode", "PrefixSubject", "AlsoAttachments", "Log",
                                                  "LogPath"};
    const std::vector<std::string> saveNames = {
        "Active",        "RecurseMSG",     "DestPath",         "Mask",    "DuplicateMode",
        "AfterSaveMode", "SaveOnlyIfSize", "SaveOnlyIfSizeKB", "AttIncl", "AttExcl"};
    const KeyValues expected[] = {
        {"Source", {"Source", "Entry", "Store", "FullName", "InclSubFolders"}},
        {"Filter",
         {"Active", "DateFrom", "DateTo", "HasAtt", "HasNoAtt", "SenderIncl", "SenderExcl", "RecipientIncl",
          "RecipientExcl", "SubjectIncl", "SubjectExcl"}},
        {"CopyEmails1", copyMove},
        {"ExportEmails", exportNames},
        {"Reimport", {"Active"}},
        {"SaveAttachments", saveNames},
        {"DeleteAttachments", {"Active", "AttIncl", "AttExcl"}},
        {"ReadUnread", {"Mode"}},
        {"CopyEmails2", copyMove},
        {"MoveEmails", copyMove},
        {"DeleteEmails", {"Active", "DeleteWithoutAtt", "DeleteWithAtt"}},
    };
    TManualOptions job;
    FillJob(job);
    job.SaveToRegistry(reg, kJobKey);
    ASSERT_TRUE(reg.OpenKeyReadOnly(kJobKey));
    std::vector<std::string> members;
    for (const KeyValues& k : expected) members.push_back(k.key);
    EXPECT_EQ(reg.GetKeyNames(), members);
    reg.CloseKey();
    for (const KeyValues& k : expected) {
        ASSERT_TRUE(reg.OpenKeyReadOnly(kJobKey + "\\" + k.key)) << k.key;
        EXPECT_EQ(reg.GetValueNames(), k.names) << k.key;
        reg.CloseKey();
    }
    ASSERT_TRUE(reg.OpenKeyReadOnly(kJobKey + "\\Filter"));
    EXPECT_EQ(reg.GetDataType("DateFrom"), TRegDataType::rdString);
    EXPECT_EQ(reg.ReadString("DateFrom"), "20230131");
    EXPECT_EQ(reg.GetDataType("HasAtt"), TRegDataType::rdInteger);
    EXPECT_EQ(reg.ReadString("SenderIncl"), "si1 ümlaut\r\n\r\nsi3 ; = [x]\r\n");
    reg.CloseKey();

    TAutoOptions rules;
    rules.Jobs().NewJob();
    rules.SaveToRegistry(reg, RegKeyAuto);
    ASSERT_TRUE(reg.OpenKeyReadOnly(RegKeyAuto));
    EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"Active", "Count"}));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly(std::string(RegKeyAuto) + "\\Job1"));
    EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"Sender", "Recipient", "Subject"}));
    EXPECT_EQ(reg.GetKeyNames(), (std::vector<std::string>{"ExportEmails", "SaveAttachments"}));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly(std::string(RegKeyAuto) + "\\Job1\\ExportEmails"));
    EXPECT_EQ(reg.GetValueNames(), exportNames);
    reg.CloseKey();
}

TEST_F(OptionsStorage, HandWrittenWindowsJobFileWithEveryKeyLoads)
{
    // Every key as the Windows program names it, every value away from both defaults;
    // Windows-1252 text with CR LF line ends, sections in another order than written.
    test::WriteFile(
        JobFile(),
        "[DeleteEmails]\r\nActive=1\r\nDeleteWithoutAtt=0\r\nDeleteWithAtt=1\r\n"
        "[Source]\r\nSource=1\r\nEntry=00AB\r\nStore=4D61696C626F78\r\n"
        "FullName=Mailbox \\ Inbox \\ Gr\xFC\xDF"
        "e\r\nInclSubFolders=1\r\n"
        "[Filter]\r\nActive=1\r\nDateFrom=20230131\r\nDateTo=20241201\r\nHasAtt=0\r\nHasNoAtt=1\r\n"
        "SenderInclCount=1\r\nSenderIncl1=*@b\xE4r.de\r\nSenderExclCount=1\r\nSenderExcl1=se\r\n"
        "RecipientInclCount=1\r\nRecipientIncl1=ri\r\nRecipientExclCount=1\r\nRecipientExcl1=re\r\n"
        "SubjectInclCount=1\r\nSubjectIncl1=*\x80*\r\nSubjectExclCount=1\r\nSubjectExcl1=ue\r\n"
        "[CopyEmails1]\r\nActive=1\r\nEntry=E2\r\nStore=S2\r\nFullName=Mailbox \\ A\r\nMask=[Y]\\[M]\r\n"
        "[ExportEmails]\r\nActive=1\r\nSaveFormat=4\r\nDestPath=C:\\Export\r\nMask=[B]\r\n"
        "DuplicateMode=1\r\nPrefixSubject=Done:\r\nAlsoAttachments=1\r\nLog=1\r\nLogPath=C:\\Logs\r\n"
        "[Reimport]\r\nActive=1\r\n"
        "[SaveAttachments]\r\nActive=1\r\nRecurseMSG=1\r\nDestPath=C:\\Att\r\nMask=[F]-[E]\r\n"
        "DuplicateMode=1\r\nAfterSaveMode=2\r\nSaveOnlyIfSize=1\r\nSaveOnlyIfSizeKB=250\r\n"
        "AttInclCount=1\r\nAttIncl1=*.pdf\r\nAttExclCount=1\r\nAttExcl1=*.exe\r\n"
        "[DeleteAttachments]\r\nActive=1\r\nAttInclCount=1\r\nAttIncl1=*.zip\r\n"
        "AttExclCount=1\r\nAttExcl1=*.doc\r\n"
        "[ReadUnread]\r\nMode=2\r\n"
        "[CopyEmails2]\r\nActive=1\r\nEntry=E3\r\nStore=S3\r\nFullName=Mailbox \\ B\r\nMask=x\r\n"
        "[MoveEmails]\r\nActive=1\r\nEntry=E4\r\nStore=S4\r\nFullName=Mailbox \\ C\r\nMask=y\r\n");
    TManualOptions job;
    job.LoadFromFile(JobFile());

    TManualOptions expected;
    expected.Source() = {1, "00AB", "4D61696C626F78", "Mailbox \\ Inbox \\ Grüße", true};
    TOptions_Filter& f = expected.Filter();
    f.Active = true;
    f.DateFrom = EncodeDate(2023, 1, 31);
    f.DateTo = EncodeDate(2024, 12, 1);
    f.HasAtt = false;
    f.HasNoAtt = true;
    f.SenderIncl().Add("*@bär.de");
    f.SenderExcl().Add("se");
    f.RecipientIncl().Add("ri");
    f.RecipientExcl().Add("re");
    f.SubjectIncl().Add("*€*");
    f.SubjectExcl().Add("ue");
    expected.CopyEmails1() = {true, "E2", "S2", "Mailbox \\ A", "[Y]\\[M]"};
    expected.ExportEmails() = {true, 4, "C:\\Export", "[B]", 1, "Done:", true, true, "C:\\Logs"};
    expected.Reimport().Active = true;
    TOptions_SaveAttachments& s = expected.SaveAttachments();
    s.Active = true;
    s.RecurseMSG = true;
    s.DestPath = "C:\\Att";
    s.Mask = "[F]-[E]";
    s.DuplicateMode = 1;
    s.AfterSaveMode = 2;
    s.SaveOnlyIfSize = true;
    s.SaveOnlyIfSizeKB = 250;
    s.AttIncl().Add("*.pdf");
    s.AttExcl().Add("*.exe");
    expected.DeleteAttachments().Active = true;
    expected.DeleteAttachments().AttIncl().Add("*.zip");
    expected.DeleteAttachments().AttExcl().Add("*.doc");
    expected.ReadUnread().Mode = 2;
    expected.CopyEmails2() = {true, "E3", "S3", "Mailbox \\ B", "x"};
    expected.MoveEmails() = {true, "E4", "S4", "Mailbox \\ C", "y"};
    expected.DeleteEmails() = {true, false, true};
    ExpectSameJob(expected, job);
}

TEST_F(OptionsStorage, UnreadableNumbersInAJobFileGiveTheFileDefaults)
{
    test::WriteFile(JobFile(),
                    "[ExportEmails]\r\nSaveFormat=html\r\nDuplicateMode=\r\n"
                    "[SaveAttachments]\r\nSaveOnlyIfSizeKB=1k\r\nAfterSaveMode=258\r\n"
                    "[Source]\r\nInclSubFolders=-1\r\n");
    TManualOptions job;
    job.ExportEmails().DuplicateMode = 1;
    job.LoadFromFile(JobFile());
    EXPECT_EQ(job.ExportEmails().SaveFormat, 3);
    EXPECT_EQ(job.ExportEmails().DuplicateMode, 0);
    EXPECT_EQ(job.SaveAttachments().SaveOnlyIfSizeKB, 1);
    EXPECT_EQ(job.SaveAttachments().AfterSaveMode, 2);  // the low 8 bits of 258
    EXPECT_TRUE(job.Source().InclSubFolders);
}

TEST_F(OptionsStorage, RegistryNumbersKeepTheLowByteAndAnyNonZeroIsTrue)
{
    ASSERT_TRUE(reg.OpenKey(RegKeySend, true));
    reg.WriteInteger("ReplaceMode", 0x102);
    reg.CloseKey();
    TSendOptions send;
    send.LoadFromRegistry(reg, RegKeySend);
    EXPECT_EQ(send.ReplaceMode, 2);

    ASSERT_TRUE(reg.OpenKey(std::string(RegKeyAdHoc) + "\\Reimport", true));
    reg.WriteInteger("Active", -7);
    reg.CloseKey();
    TOptions_Reimport reimport;
    reimport.LoadFromRegistry(reg, std::string(RegKeyAdHoc) + "\\Reimport");
    EXPECT_TRUE(reimport.Active);
}

TEST_F(OptionsStorage, ExpandStringIsTakenUnexpandedAndWrongTypeNamesTheValue)
{
    const std::string key = std::string(RegKeyAdHoc) + "\\CopyEmails1";
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteInteger("Active", 1);
    reg.WriteExpandString("Entry", "%HOME%\\x");
    reg.WriteString("Store", "S");
    reg.WriteInteger("FullName", 5);
    reg.CloseKey();
    TOptions_CopyMove copy;
    try {
        copy.LoadFromRegistry(reg, key);
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_NE(e.Message().find("FullName"), std::string::npos) << e.Message();
    }
    EXPECT_TRUE(copy.Active);
    EXPECT_EQ(copy.Entry, "%HOME%\\x");
    EXPECT_EQ(copy.Mask, "");
    EXPECT_FALSE(reg.HasCurrentKey());
}

TEST_F(OptionsStorage, FailedLoadLeavesTheLaterMembersAsTheyWere)
{
    TManualOptions saved;
    FillJob(saved);
    saved.SaveToRegistry(reg, kJobKey);
    ASSERT_TRUE(reg.OpenKey(kJobKey + "\\ExportEmails", true));
    reg.DeleteValue("DuplicateMode");
    reg.CloseKey();

    TManualOptions job;
    job.ReadUnread().Mode = 1;
    job.MoveEmails().Mask = "before";
    EXPECT_THROW(job.LoadFromRegistry(reg, kJobKey), ERegistryException);
    EXPECT_EQ(job.CopyEmails1().Entry, "E2");             // loaded before the failure
    EXPECT_EQ(job.ExportEmails().Mask, "  [B] padded ");  // read before the missing value
    EXPECT_EQ(job.ExportEmails().PrefixSubject, "");      // after it: the Clear default
    EXPECT_EQ(job.ExportEmails().SaveFormat, 4);
    EXPECT_EQ(job.ReadUnread().Mode, 1);  // members after it are not loaded
    EXPECT_EQ(job.MoveEmails().Mask, "before");
}

}  // namespace
