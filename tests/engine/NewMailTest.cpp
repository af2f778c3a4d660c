// A new e-mail processed by the rules: the first matching rule only, the masks against
// subject, sender and recipients, and the Inbox as the folder context.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/runtime/Exception.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/EngineProbe.h"
#include "tests/engine/ShortcutTestSupport.h"

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

namespace {

/// Records which rule's parts run, by the address of the part, instead of writing files.
class RuleProbe : public test::EngineProbe {
public:
    using TEmailProcessor::FCurrentFolder;
    using TEmailProcessor::FSourceFolder;
    Texts ran;

protected:
    void ExportEmail(const SafeItemPtr&, const RecipientsPtr&, const TOptions_ExportEmails& part) override
    {
        ran.push_back("export " + std::to_string(RuleOf(&part)));
    }
    void SaveAttachments(const SafeItemPtr&, const TOptions_SaveAttachments& part) override
    {
        ran.push_back("save " + std::to_string(RuleOf(&part)));
    }

private:
    int RuleOf(const void* part)
    {
        const TJobList& jobs = AutoOptions().Jobs();
        for (int i = 0; i < jobs.Count(); ++i) {
            if (part == &jobs.Jobs(i).ExportEmails() || part == &jobs.Jobs(i).SaveAttachments()) return i + 1;
        }
        return 0;
    }
};

struct Progress {
    std::string folder;
    int count, index;
    std::string action;
};

class NewMailTest : public ::testing::Test {
protected:
    NewMailTest()
    {
        engine.SetObjectFactory(test::ServerObjectFactory());
        engine.OnProgress = [this](TEmailProcessor&, const std::string& folder, int count, int index,
                                   const std::string& action) {
            progress.push_back({folder, count, index, action});
        };
    }

    /// A rule with the three masks and both parts active (their writing is recorded only).
    TJobOptions& Rule(const std::string& sender, const std::string& recipient, const std::string& subject)
    {
        TJobOptions& job = engine.AutoOptions().Jobs().NewJob();
        job.Sender = sender;
        job.Recipient = recipient;
        job.Subject = subject;
        job.ExportEmails().Active = true;
        job.ExportEmails().DestPath = "/nonexistent-export";
        job.SaveAttachments().Active = true;
        job.SaveAttachments().DestPath = "/nonexistent-atts";
        return job;
    }

    /// Stores the message in relPath and hands it to the engine as the new e-mail.
    void Arrive(const std::string& text, const std::string& relPath = "Inbox")
    {
        store.Builder().Add(relPath, text);
        store.Open();
        engine.SetApplication(store.Application());
        engine.ProcessNewMail(store.Folder(relPath)->Items()->Item(1));
    }
    void Arrive(const test::TestMessage& m) { Arrive(test::MessageText(m)); }

    /// True when a single rule with these masks matches the message.
    bool Matches(const test::TestMessage& m, const std::string& sender, const std::string& recipient,
                 const std::string& subject)
    {
        Rule(sender, recipient, subject);
        Arrive(m);
        return engine.EmailsProcessed() == 1;
    }

    test::StoreFixture store;
    RuleProbe engine;
    std::vector<Progress> progress;
};

TEST_F(NewMailTest, OnlyTheFirstMatchingRuleRuns)
{
    Rule("nobody@*", "", "");
    Rule("*", "*", "*");
    Rule("*", "*", "*");
    Arrive(test::TestMessage{});
    EXPECT_EQ(engine.ran, (Texts{"export 2", "save 2"}));
    EXPECT_EQ(engine.EmailsProcessed(), 1);
    EXPECT_EQ(engine.ItemsInspected(), 1);
    EXPECT_EQ(engine.FoldersInspected(), 1);
}

TEST_F(NewMailTest, FirstMatchWithNothingActiveStillEndsTheSearch)
{
    TJobOptions& first = Rule("*", "*", "*");
    first.ExportEmails().Active = false;
    first.SaveAttachments().Active = false;
    Rule("*", "*", "*");
    Arrive(test::TestMessage{});
    EXPECT_TRUE(engine.ran.empty());
    EXPECT_EQ(engine.EmailsProcessed(), 1);
}

TEST_F(NewMailTest, SenderMasksOfTwoDomainsIgnoreBlanksAndCase)
{
    test::TestMessage m;
    m.from = "Carla <carla@Second.Example.ORG>";
    EXPECT_TRUE(Matches(m, " *@first.example.com ;  *@second.example.org ", "", ""));
}

TEST_F(NewMailTest, SenderMaskAgainstTheName)
{
    test::TestMessage m;
    m.from = "Ann Sender <x1@example.com>";
    EXPECT_TRUE(Matches(m, "ann s*", "", ""));
}

TEST_F(NewMailTest, SenderMaskMissingBothNameAndAddress)
{
    test::TestMessage m;
    EXPECT_FALSE(Matches(m, "*@other.com;bob*", "", ""));
}

TEST_F(NewMailTest, BlankSenderListMatchesNothing)
{
    EXPECT_FALSE(Matches(test::TestMessage{}, "   ", "", ""));
}

TEST_F(NewMailTest, EmptyElementBetweenSeparatorsIsAnEmptyMask)
{
    // "*@x.com;;" : the empty element matches neither a name nor an address.
    EXPECT_FALSE(Matches(test::TestMessage{}, "*@x.com; ;", "", ""));
}

TEST_F(NewMailTest, EmptyElementMatchesASenderWithoutNameOrAddress)
{
    test::TestMessage m;
    m.from.clear();
    EXPECT_TRUE(Matches(m, "*@x.com;;*@y.com", "", ""));
}

TEST_F(NewMailTest, MasksIgnoreTheCaseOfAccentedLetters)
{
    test::TestMessage m;
    m.from = "Jürgen Ölmann <jo@example.com>";
    m.subject = "Änderung";
    EXPECT_TRUE(Matches(m, "jürgen ö*", "", "änder*"));
}

TEST_F(NewMailTest, AnyOfSeveralRecipientsMatches)
{
    test::TestMessage m;
    m.to = "Bob <bob@example.com>, Dora Dean <dora@example.net>";
    m.cc = "Eve <eve@example.org>";
    EXPECT_TRUE(Matches(m, "", "*@EXAMPLE.ORG", ""));
}

TEST_F(NewMailTest, RecipientMaskAgainstTheSecondRecipientsName)
{
    test::TestMessage m;
    m.to = "Bob <bob@example.com>, Dora Dean <dora@example.net>";
    EXPECT_TRUE(Matches(m, "", "nobody;dora d*", ""));
}

TEST_F(NewMailTest, NoRecipientsMatchesNoRecipientMask)
{
    for (const char* mask : {"", "*"}) {
        test::StoreFixture fresh;
        RuleProbe e;
        e.SetObjectFactory(test::ServerObjectFactory());
        TJobOptions& job = e.AutoOptions().Jobs().NewJob();
        job.Recipient = mask;
        fresh.Builder().Add("Inbox", "From: Ann <ann@example.com>\nSubject: Alone\n\nHi.\n");
        fresh.Open();
        e.SetApplication(fresh.Application());
        e.ProcessNewMail(fresh.Folder("Inbox")->Items()->Item(1));
        EXPECT_EQ(e.EmailsProcessed(), 0) << "mask \"" << mask << "\"";
    }
}

TEST_F(NewMailTest, SubjectMaskSeesTheReplyPrefix)
{
    test::TestMessage m;
    m.subject = "RE: Quarterly report";
    EXPECT_FALSE(Matches(m, "", "", "quarterly*"));
}

TEST_F(NewMailTest, SubjectMaskWithThePrefixAndEmptySubjectMask)
{
    test::TestMessage m;
    m.subject = "RE: Quarterly report";
    Rule("", "", "re: q*report");
    Rule("", "", "");
    Arrive(m);
    EXPECT_EQ(engine.ran, (Texts{"export 1", "save 1"}));
}

TEST_F(NewMailTest, ItemOutsideTheInboxStillNamesTheInbox)
{
    Rule("", "", "");
    Arrive(test::SimpleMessage("Filed"), "Projects");
    ASSERT_EQ(progress.size(), 1u);
    EXPECT_EQ(progress[0].folder, "Inbox");
    EXPECT_EQ(progress[0].count, 1);
    EXPECT_EQ(progress[0].index, 1);
    EXPECT_EQ(progress[0].action, "Inspecting");
    EXPECT_EQ(engine.FFolderPath, "Mailbox \\ Inbox");
    EXPECT_EQ(engine.FFolderPathRel, "");
    EXPECT_EQ(engine.FRootPath, "Mailbox \\ Inbox");
    EXPECT_FALSE(engine.FSourceFolder);
    EXPECT_FALSE(engine.FCurrentFolder);
}

TEST_F(NewMailTest, MeetingRequestsAndReportsAreOnlyInspected)
{
    Rule("", "", "");
    Arrive(test::MeetingRequest("Meeting"));
    EXPECT_EQ(engine.ItemsInspected(), 1);
    EXPECT_EQ(engine.EmailsProcessed(), 0);

    test::StoreFixture other;
    RuleProbe e;
    e.SetObjectFactory(test::ServerObjectFactory());
    e.AutoOptions().Jobs().NewJob();
    other.Builder().Add("Inbox", test::DeliveryReport("Undeliverable"));
    other.Open();
    e.SetApplication(other.Application());
    e.ProcessNewMail(other.Folder("Inbox")->Items()->Item(1));
    EXPECT_EQ(e.EmailsProcessed(), 0);
    EXPECT_TRUE(e.ran.empty());
}

TEST_F(NewMailTest, InvalidRuleEndsBeforeAnythingRuns)
{
    Rule("*", "*", "*").ExportEmails().DestPath.clear();
    store.Builder().Add("Inbox", test::SimpleMessage("A"));
    store.Open();
    engine.SetApplication(store.Application());
    try {
        engine.ProcessNewMail(store.Folder("Inbox")->Items()->Item(1));
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Job 1\r\n\r\n", 0), 0u) << e.what();
    }
    EXPECT_TRUE(engine.ran.empty());
    EXPECT_TRUE(progress.empty());
}

TEST_F(NewMailTest, ActionErrorLeavesWithTheFoldersCleared)
{
    class Failing : public RuleProbe {
    protected:
        void ExportEmail(const SafeItemPtr&, const RecipientsPtr&, const TOptions_ExportEmails&) override
        {
            throw Exception("Disk full");
        }
    } failing;
    failing.SetObjectFactory(test::ServerObjectFactory());
    failing.AutoOptions().Jobs().NewJob().ExportEmails().Active = true;
    failing.AutoOptions().Jobs().Jobs(0).ExportEmails().DestPath = "/x";
    failing.AutoOptions().Jobs().NewJob().SaveAttachments().Active = true;
    failing.AutoOptions().Jobs().Jobs(1).SaveAttachments().DestPath = "/y";
    store.Builder().Add("Inbox", test::SimpleMessage("A"));
    store.Open();
    failing.SetApplication(store.Application());
    EXPECT_THROW(failing.ProcessNewMail(store.Folder("Inbox")->Items()->Item(1)), Exception);
    EXPECT_FALSE(failing.FSourceFolder);
    EXPECT_FALSE(failing.FCurrentFolder);
    EXPECT_TRUE(failing.ran.empty()) << "the remaining rules are not tried";
}

TEST_F(NewMailTest, RealExportWritesOnlyForTheFirstRule)
{
    test::HomeSandbox sandbox;
    TEmailProcessor real;
    real.SetObjectFactory(test::ServerObjectFactory());
    for (const char* dir : {"first", "second"}) {
        TJobOptions& job = real.AutoOptions().Jobs().NewJob();
        job.ExportEmails().Active = true;
        job.ExportEmails().DestPath = (sandbox.Files() / dir).string();
        job.ExportEmails().Mask = "[B]";
    }
    store.Builder().Add("Inbox", test::SimpleMessage("Hello"));
    store.Open();
    real.SetApplication(store.Application());
    real.ProcessNewMail(store.Folder("Inbox")->Items()->Item(1));
    EXPECT_EQ(real.EmailsProcessed(), 1);
    EXPECT_FALSE(fs::exists(sandbox.Files() / "second"));
    ASSERT_TRUE(fs::exists(sandbox.Files() / "first"));
    EXPECT_FALSE(fs::is_empty(sandbox.Files() / "first"));
}

}  // namespace
