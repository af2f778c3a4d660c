// The export action on real stores: file formats and names, the HTML page, attachments beside
// the export, the subject prefix and the export log files.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/ExportHtml.h"
#include "engine/MAPIUtils.h"
#include "engine/MaskExpansion.h"
#include "engine/OutlookTools.h"
#include "platform/com/ComRuntime.h"
#include "platform/qelutils/MAPIUtilsObject.h"
#include "platform/runtime/Exception.h"
#include "tests/engine/ActionFixture.h"
#include "tests/support/ScopedEnvironment.h"

namespace fs = std::filesystem;

namespace {

using test::FilesBelow;
using test::ReadFile;
using test::TestAttachment;
using test::TestMessage;

class ExportTest : public test::ActionTest {
protected:
    void SetUp() override
    {
        ActionTest::SetUp();
        part.Active = true;
        part.DestPath = Dest();
        part.Mask = "[B]";
        part.SaveFormat = 3;
    }
    /// Exports the Inbox's item n with `part`.
    void Export(int n)
    {
        const auto item = Item(n);
        engine.ExportEmail(item, item->Recipients(), part);
    }
    std::string DestFile(const std::string& name) const { return ReadFile(fs::path(Dest()) / name); }

    TOptions_ExportEmails part;
};

TestMessage Subject(const std::string& subject)
{
    TestMessage m;
    m.subject = subject;
    return m;
}

TestMessage WithAttachments(const std::string& subject, std::vector<TestAttachment> atts)
{
    TestMessage m;
    m.subject = subject;
    m.attachments = std::move(atts);
    return m;
}

TEST_F(ExportTest, EveryFormatItsExtensionAndContent)
{
    AddMessage(TestMessage{});
    for (const int format : {0, 1, 2, 3, 4, 9}) {
        part.SaveFormat = static_cast<std::uint8_t>(format);
        Export(1);
    }
    EXPECT_EQ(FilesBelow(Dest()),
              (std::set<std::string>{"Test message.txt", "Test message - 2.txt", "Test message.msg",
                                     "Test message.htm", "Test message.eml", "Test message.mht"}));
    EXPECT_EQ(DestFile("Test message.txt").rfind("From:\tAnn Sender\r\n", 0), 0u);
    EXPECT_EQ(DestFile("Test message - 2.txt"), DestFile("Test message.txt"))
        << "unknown formats export as text";
    EXPECT_EQ(DestFile("Test message.msg").rfind("\xD0\xCF\x11\xE0", 0), 0u);
    EXPECT_EQ(DestFile("Test message.htm").rfind(std::string(Utf8Bom) + "<html>\r\n", 0), 0u);
    EXPECT_NE(DestFile("Test message.eml").find("Subject: Test message\n"), std::string::npos);
    EXPECT_EQ(DestFile("Test message.mht"), DestFile("Test message.eml"));
    EXPECT_EQ(engine.FEmailsExported, 6);
    EXPECT_EQ(progress.front(), "Exporting e-mail");
}

TEST_F(ExportTest, TheFileCarriesTheItemsDate)
{
    AddMessage(TestMessage{});
    Export(1);
    struct stat st {};
    ASSERT_EQ(::stat((fs::path(Dest()) / "Test message.eml").c_str(), &st), 0);
    EXPECT_EQ(FormatDateTime("yyyymmddhhnnss", DateTimeFromFileTime(st.st_mtim)),
              FormatDateTime("yyyymmddhhnnss", engine.FItemDate));
}

TEST_F(ExportTest, PageFromThePlainBodyIsEscapedWithItsLineLayout)
{
    TestMessage m;
    m.from = "\"Ann & Co\" <ann@example.com>";
    m.to = "Bob <bob@example.org>, carl@example.org";
    m.cc = "\"Dora <dora@example.org>\" <dora@example.org>";
    m.subject = "1 < 2 && 3 > 2";
    m.body = "Line <b>one</b>\n\n<script>alert(1)</script>\nlast & final\n\n";
    AddMessage(m);
    part.SaveFormat = 2;
    part.Mask = "page";
    Export(1);
    const std::string sent = LongDateLongTimeString(StoredItem(1)->SentOn());
    EXPECT_EQ(DestFile("page.htm"), std::string(Utf8Bom) +
                                        "<html>\r\n<head>\r\n</head>\r\n<body>\r\n<p>\r\n"
                                        "<b>From:</b> Ann &amp; Co<br>\r\n"
                                        "<b>Sent:</b> " +
                                        sent +
                                        "<br>\r\n"
                                        "<b>To:</b> Bob; carl@example.org<br>\r\n"
                                        "<b>CC:</b> Dora &lt;dora@example.org&gt;<br>\r\n"
                                        "<b>Subject:</b> 1 &lt; 2 &amp;&amp; 3 &gt; 2\r\n"
                                        "</p>\r\n<p>\r\n"
                                        "Line &lt;b&gt;one&lt;/b&gt;<br>\r\n"
                                        "<br>\r\n"
                                        "&lt;script&gt;alert(1)&lt;/script&gt;<br>\r\n"
                                        "last &amp; final<br>\r\n"
                                        "\r\n"
                                        "</p>\r\n</body>\r\n</html>\r\n");
}

TEST_F(ExportTest, PageWithoutToLineSentLineOrSubjectText)
{
    TestMessage m;
    m.to.clear();
    m.cc = "Carl <carl@example.org>";
    m.subject.clear();
    m.body = "Only line >";
    m.extraHeaders = {"X-Unsent: 1"};
    AddMessage(m);
    part.SaveFormat = 2;
    part.Mask = "page";
    Export(1);
    EXPECT_EQ(DestFile("page.htm"), std::string(Utf8Bom) +
                                        "<html>\r\n<head>\r\n</head>\r\n<body>\r\n<p>\r\n"
                                        "<b>From:</b> Ann Sender<br>\r\n"
                                        "<b>CC:</b> Carl<br>\r\n"
                                        "<b>Subject:</b> \r\n"
                                        "</p>\r\n<p>\r\nOnly line &gt;\r\n</p>\r\n</body>\r\n</html>\r\n");
}

TEST_F(ExportTest, PageAndNamesKeepTheirUtf8Text)
{
    TestMessage m;
    m.from = "=?UTF-8?Q?J=C3=B6rg_M=C3=BCller?= <j@example.com>";
    m.to.clear();
    m.subject = "=?UTF-8?Q?Gr=C3=BC=C3=9Fe?=";
    m.body = "Schöne Grüße – Jörg\n";
    m.extraHeaders = {"X-Unsent: 1"};
    m.attachments = {{"Bericht für Jörg.pdf", "R"}};
    AddMessage(m);
    part.SaveFormat = 2;
    part.AlsoAttachments = true;
    Export(1);
    EXPECT_EQ(FilesBelow(Dest()),
              (std::set<std::string>{"Grüße.htm", "Grüße-Attachments/Bericht für Jörg.pdf"}));
    EXPECT_EQ(DestFile("Grüße.htm"),
              std::string(Utf8Bom) +
                  "<html>\r\n<head>\r\n</head>\r\n<body>\r\n<p>\r\n"
                  "<b>From:</b> Jörg Müller<br>\r\n"
                  "<b>Subject:</b> Grüße\r\n"
                  "</p>\r\n<p>\r\nSchöne Grüße – Jörg\r\n</p>\r\n</body>\r\n</html>\r\n");
}

TEST_F(ExportTest, HtmlBodyIsSavedAsTheItemsOwnPage)
{
    TestMessage m;
    m.html = "<html><body><p>Rich &amp; bold</p></body></html>";
    AddMessage(m);
    part.SaveFormat = 2;
    Export(1);
    const std::string page = DestFile("Test message.htm");
    EXPECT_NE(page.find("<p>Rich &amp; bold</p>"), std::string::npos);
    EXPECT_EQ(page.find("<b>Subject:</b>"), std::string::npos);
}

TEST_F(ExportTest, ThirdNameAndItsAttachmentFolder)
{
    AddMessage(WithAttachments("Plan", {{"a.pdf", "PDF"}}));
    test::WriteFile(fs::path(Dest()) / "Plan.eml", "first");
    test::WriteFile(fs::path(Dest()) / "Plan - 2.eml", "second");
    part.AlsoAttachments = true;
    Export(1);
    EXPECT_EQ(FilesBelow(Dest()), (std::set<std::string>{"Plan.eml", "Plan - 2.eml", "Plan - 3.eml",
                                                         "Plan - 3-Attachments/a.pdf"}));
    EXPECT_EQ(DestFile("Plan - 3-Attachments/a.pdf"), "PDF");
    EXPECT_EQ(DestFile("Plan.eml"), "first");
}

TEST_F(ExportTest, LongNameIsShortenedSoThatItsNumberAndAttachmentFolderFit)
{
    std::string grins;
    for (int i = 0; i < 64; ++i) grins += "\xF0\x9F\x98\x80";  // 256 bytes, 64 characters
    AddMessage(WithAttachments(grins, {{"a.pdf", "PDF"}}));
    part.AlsoAttachments = true;
    Export(1);
    Export(1);
    // "-Attachments" takes 12 bytes of the 255: 60 of the 64 characters stay, 59 beside " - 2".
    const std::string first = grins.substr(0, 240), second = grins.substr(0, 236) + " - 2";
    EXPECT_EQ(FilesBelow(Dest()), (std::set<std::string>{first + ".eml", first + "-Attachments/a.pdf",
                                                         second + ".eml", second + "-Attachments/a.pdf"}));
    part.AlsoAttachments = false;  // without a folder beside it, the name keeps 62 characters
    Export(1);
    EXPECT_TRUE(fs::exists(fs::path(Dest()) / (grins.substr(0, 248) + ".eml")));
}

TEST_F(ExportTest, OverwriteReplacesTheExportButNumbersItsAttachments)
{
    AddMessage(WithAttachments("Plan", {{"a.pdf", "new"}}));
    test::WriteFile(fs::path(Dest()) / "Plan.htm", "old page");
    test::WriteFile(fs::path(Dest()) / "Plan-Attachments/a.pdf", "old");
    part.DuplicateMode = 1;
    part.SaveFormat = 2;
    part.AlsoAttachments = true;
    Export(1);
    EXPECT_EQ(FilesBelow(Dest()),
              (std::set<std::string>{"Plan.htm", "Plan-Attachments/a.pdf", "Plan-Attachments/a - 2.pdf"}));
    EXPECT_EQ(DestFile("Plan.htm").rfind(Utf8Bom, 0), 0u);
    EXPECT_EQ(DestFile("Plan-Attachments/a - 2.pdf"), "new");
}

TEST_F(ExportTest, AttachmentFolderOnlyForAnEmailWithAttachments)
{
    AddMessage(WithAttachments("With", {{"a.pdf", "A"}}));
    AddMessage(Subject("Without"));
    Export(1);
    part.AlsoAttachments = true;
    Export(2);
    EXPECT_EQ(FilesBelow(Dest()), (std::set<std::string>{"With.eml", "Without.eml"}));
    EXPECT_FALSE(fs::exists(fs::path(Dest()) / "Without-Attachments"));
}

TEST_F(ExportTest, AttachmentsInOrderWithCleanNamesAndAttachedEmails)
{
    TestMessage inner;
    inner.subject = "Re: Plan";
    TestMessage m = WithAttachments("Mail", {{"same.txt", "1"}, {"same.txt", "2"}, {"x?y.txt", "3"}});
    m.attachedMessages = {MessageText(inner)};
    AddMessage(m);
    part.AlsoAttachments = true;
    Export(1);
    EXPECT_EQ(FilesBelow(Dest()),
              (std::set<std::string>{"Mail.eml", "Mail-Attachments/same.txt", "Mail-Attachments/same - 2.txt",
                                     "Mail-Attachments/xy.txt", "Mail-Attachments/Re Plan.msg"}));
    EXPECT_EQ(DestFile("Mail-Attachments/same - 2.txt"), "2");
    EXPECT_EQ(std::vector<std::string>(progress.end() - 4, progress.end()),
              (std::vector<std::string>{"Saving attachment same.txt", "Saving attachment same.txt",
                                        "Saving attachment xy.txt", "Saving attachment Re Plan.msg"}));
}

TEST_F(ExportTest, HostileNamesStayInTheDestinationFolder)
{
    AddMessage(WithAttachments("..\\..\\..\\escape", {{"../../evil.txt", "1"},
                                                      {"..", "2"},
                                                      {"sub\\\\..\\\\..\\\\x.txt", "3"},
                                                      {"/etc/passwd", "4"},
                                                      {" . ", "5"}}));
    part.AlsoAttachments = true;
    part.Mask = "[B]";
    Export(1);
    const std::set<std::string> files = FilesBelow(out.Path());
    EXPECT_EQ(files,
              (std::set<std::string>{
                  "dest/NA/NA/NA/escape.eml", "dest/NA/NA/NA/escape-Attachments/evil.txt",
                  "dest/NA/NA/NA/escape-Attachments/NA", "dest/NA/NA/NA/escape-Attachments/x.txt",
                  "dest/NA/NA/NA/escape-Attachments/passwd", "dest/NA/NA/NA/escape-Attachments/NA - 2"}));
}

TEST_F(ExportTest, PathTooLongFromAnAttachmentEndsTheExport)
{
    AddMessage(WithAttachments("Long", {{std::string(250, 'a') + ".pdf", "A"}}));
    part.AlsoAttachments = true;
    part.Log = true;
    part.LogPath = (out.Path() / "logs").string();
    const auto item = Item(1);
    try {
        engine.ExportEmail(item, item->Recipients(), part);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), PathTooLongMessage);
    }
    EXPECT_EQ(engine.FEmailsExported, 0);
    EXPECT_FALSE(fs::exists(out.Path() / "logs"));
}

TEST_F(ExportTest, PathTooLongForTheExportWritesNothing)
{
    AddMessage(Subject(std::string(300, 's')));
    part.Mask = "[B]\\[B]\\[B]\\[B]\\[B]";
    const auto item = Item(1);
    EXPECT_THROW(engine.ExportEmail(item, item->Recipients(), part), Exception);
    EXPECT_FALSE(fs::exists(Dest()));
}

TEST_F(ExportTest, InARunAFailedExportIsAnItemErrorAndTheRunGoesOn)
{
    AddMessage(WithAttachments("Long", {{std::string(250, 'a') + ".pdf", "A"}}));
    AddMessage(WithAttachments("Short", {{"a.pdf", "A"}}));
    store.Open();
    engine.SetApplication(store.Application());
    const auto inbox = store.Folder("Inbox");
    TOptions_Source& source = engine.ManualOptions().Source();
    source.Source = 1;
    source.Entry = inbox->EntryID();
    source.Store = inbox->StoreID();
    source.FullName = GetFolderPath(inbox);
    part.AlsoAttachments = true;
    engine.ManualOptions().ExportEmails() = part;
    std::vector<std::string> errors;
    engine.OnItemError = [&](TEmailProcessor&, const std::string&, const std::string& subject, TDateTime,
                             const std::string& msg) { errors.push_back(subject + ": " + msg); };
    engine.Execute();
    EXPECT_EQ(errors, std::vector<std::string>{"Long: " + std::string(PathTooLongMessage)});
    EXPECT_EQ(engine.FEmailsExported, 1);
    EXPECT_EQ(FilesBelow(Dest()),
              (std::set<std::string>{"Long.eml", "Short.eml", "Short-Attachments/a.pdf"}));
    EXPECT_NE(engine.GetResultText().find("E-mails exported: 1   \r\n"), std::string::npos);
}

/// A date as the log writes it: two quoted fields, the day and the time of day.
std::string DateFields(TDateTime dt)
{
    return "\"" + FormatDateTime("yyyymmdd", dt) + "\"\t\"" + FormatDateTime("hhnnss", dt) + "\"";
}

/// The export log: the three files compared byte for byte.
class ExportLogFilesTest : public ExportTest {
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        part.Log = true;
        part.LogPath = (out.Path() / "logs").string();
    }
    std::string Log(const char* name) const { return ReadFile(out.Path() / "logs" / name); }
    /// The expected Eml.log line of the item just exported; the export time is taken from
    /// the written line after checking that it lies within the export.
    std::string EmlLine(int id, const std::string& subject, const std::string& file, int attCount,
                        int attSaved, const std::string& written, TDateTime before, TDateTime after) const
    {
        const auto tab = written.rfind("\t\"", written.rfind("\t\"") - 1);
        const std::string exported = written.substr(tab);
        EXPECT_GE(exported, "\t" + DateFields(before));
        EXPECT_LE(exported, "\t" + DateFields(after) + "\r\n");
        return "\"" + std::to_string(id) + "\"\t\"Ann Sender\"\t\"ann@example.com\"\t\"Bob Receiver\"\t" +
               "\"bob@example.com\"\t" + DateFields(engine.FItemDate) + "\t\"" + subject + "\"\t\"" +
               engine.FMessageID + "\"\t\"Mailbox \\ Inbox\"\t\"" + Dest() + "/" + file + "\"\t\"3\"\t\"" +
               std::to_string(attCount) + "\"\t\"" + std::to_string(attSaved) + "\"" + exported;
    }
};

const std::string kEmlHeader =
    "\"ID\"\t\"SenderName\"\t\"SenderEmail\"\t\"RecipientName\"\t\"RecipientEmail\"\t\"DateSent\"\t"
    "\"TimeSent\"\t\"Subject\"\t\"MessageID\"\t\"OutlookFolder\"\t\"Filename\"\t\"FileType\"\t\"AttCount\"\t"
    "\"AttSaved\"\t\"DateExported\"\t\"TimeExported\"\r\n";
const std::string kAttHeader = "\"ID\"\t\"Filename\"\t\"MessageID\"\r\n";

TEST_F(ExportLogFilesTest, TwoEmailsOneWithSavedAttachmentsOneWithout)
{
    AddMessage(WithAttachments("Say \"hi\"", {{"a.pdf", "A"}, {"b.txt", "B"}}));
    AddMessage(WithAttachments("Second", {{"c.pdf", "C"}, {"d.txt", "D"}}));
    part.AlsoAttachments = true;
    TDateTime before = Now();
    Export(1);
    TDateTime after = Now();
    const std::string id1 = engine.FMessageID;
    const std::string eml1 = Log("Eml.log").substr(kEmlHeader.size());
    EXPECT_EQ(Log("Eml.log"),
              kEmlHeader + EmlLine(1, "Say \"\"hi\"\"", "Say hi.eml", 2, 2, eml1, before, after));
    const std::string att1 = "\"1\"\t\"" + Dest() + "/Say hi-Attachments/a.pdf\"\t\"" + id1 + "\"\r\n" +
                             "\"1\"\t\"" + Dest() + "/Say hi-Attachments/b.txt\"\t\"" + id1 + "\"\r\n";
    EXPECT_EQ(Log("Att.log"), kAttHeader + att1);
    EXPECT_EQ(Log("ID.log"), "1\r\n");

    part.AlsoAttachments = false;
    before = Now();
    Export(2);
    after = Now();
    const std::string eml2 = Log("Eml.log").substr(kEmlHeader.size() + eml1.size());
    EXPECT_EQ(Log("Eml.log"),
              kEmlHeader + eml1 + EmlLine(2, "Second", "Second.eml", 2, 0, eml2, before, after));
    EXPECT_EQ(Log("Att.log"), kAttHeader + att1) << "no attachment written, no line";
    EXPECT_EQ(Log("ID.log"), "2\r\n");
}

TEST_F(ExportLogFilesTest, AttLogIsCreatedWithItsHeaderAndNoLogWithoutFolder)
{
    AddMessage(TestMessage{});
    Export(1);
    EXPECT_EQ(Log("Att.log"), kAttHeader);
    EXPECT_EQ(Log("ID.log"), "1\r\n");

    part.LogPath.clear();
    Export(1);
    EXPECT_EQ(Log("ID.log"), "1\r\n");
    EXPECT_EQ(FilesBelow(out.Path()),
              (std::set<std::string>{"dest/Test message.eml", "dest/Test message - 2.eml", "logs/Eml.log",
                                     "logs/Att.log", "logs/ID.log"}));
}

TEST_F(ExportLogFilesTest, FoldersStartingWithTildeLieInTheHomeFolder)
{
    test::ScopedEnvironment env;
    env.Set("HOME", out.Path().string());
    AddMessage(TestMessage{});
    part.DestPath = "~/dest";
    part.LogPath = "~/logs";
    Export(1);
    EXPECT_EQ(FilesBelow(out.Path()), (std::set<std::string>{"dest/Test message.eml", "logs/Eml.log",
                                                             "logs/Att.log", "logs/ID.log"}));
}

/// The subject prefix goes through the external server's MAPI utilities.
class PrefixSubjectTest : public ExportTest {
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        const char* home = ::getenv("TROVANTA_HOME");
        if (home) oldHome_ = home;
        ::setenv("TROVANTA_HOME", (out.Path() / "home").c_str(), 1);
        server_ = MakeCom<qelutils::MAPIUtilsObject>();
        ASSERT_EQ(RegisterActiveObject(static_cast<qelutils::IMAPIUtils*>(server_.Get()),
                                       qelutils::CLSID_MAPIUtils, ACTIVEOBJECT_STRONG, &cookie_),
                  S_OK);
        engine.SetMAPIUtils(&mapiUtils_);
    }
    void TearDown() override
    {
        mapiUtils_.Disconnect();
        RevokeActiveObject(cookie_);
        oldHome_.empty() ? ::unsetenv("TROVANTA_HOME") : ::setenv("TROVANTA_HOME", oldHome_.c_str(), 1);
    }

    ComPtr<qelutils::MAPIUtilsObject> server_;
    std::uint32_t cookie_ = 0;
    TMAPIUtils mapiUtils_;
    std::string oldHome_;
};

TEST_F(PrefixSubjectTest, PrefixIsStoredAndAddedOnEveryExport)
{
    AddMessage(Subject("Plan"));
    part.PrefixSubject = "[done] ";
    Export(1);
    EXPECT_EQ(StoredItem(1)->Subject(), "[done] Plan");
    Export(1);
    EXPECT_EQ(StoredItem(1)->Subject(), "[done] [done] Plan");
    EXPECT_EQ(FilesBelow(Dest()), (std::set<std::string>{"Plan.eml", "[done] Plan.eml"}));
    EXPECT_EQ(engine.FEmailsExported, 2);
}

TEST_F(ExportTest, PrefixWithoutTheServerIsAnErrorOfTheItem)
{
    AddMessage(Subject("Plan"));
    part.PrefixSubject = "[done] ";
    const auto item = Item(1);
    EXPECT_ANY_THROW(engine.ExportEmail(item, item->Recipients(), part));
    EXPECT_EQ(engine.FEmailsExported, 0);
    EXPECT_EQ(StoredItem(1)->Subject(), "Plan");
}

}  // namespace
