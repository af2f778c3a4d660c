// The console protocol of qelbat over a scripted job: line order and bytes, the quiet switch,
// which error is reported, the release order and the exit codes.

#include "batch/BatchRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "platform/runtime/Exception.h"

namespace {

const std::string Stamp = "01/02/24 03:04:05";
const std::string Result = "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n";

/// A job whose steps log their names and raise where the test says.
struct ScriptedJob final : IBatchJob {
    std::vector<std::string>& log;
    std::set<std::string> failing;
    bool folderSource = true;
    TBatchProgress progress;
    TBatchItemError itemError;
    int failingItems = 0;
    std::string executeError = "Execute failed.";

    ScriptedJob(std::vector<std::string>& Log, std::set<std::string> Failing)
        : log(Log), failing(std::move(Failing))
    {
    }

    void Step(const std::string& name)
    {
        log.push_back(name);
        if (failing.count(name)) throw Exception(name == "Execute" ? executeError : name + " failed.");
    }
    void Connect() override { Step("Connect"); }
    void Load(const std::string& file, TBatchProgress Progress, TBatchItemError ItemError) override
    {
        Step("Load " + file);
        progress = std::move(Progress);
        itemError = std::move(ItemError);
    }
    bool IsFolderSource() const override { return folderSource; }
    void Execute() override
    {
        if (progress) {
            progress("Inbox", 120, 3, "Inspecting");
            progress("Inbox", 120, 4, "Exporting e-mail");
        }
        // An e-mail dated 2024-01-15 10:00:00 with a sender's control characters in its texts.
        for (int i = 0; i < failingItems; ++i) {
            itemError("Mailbox \\ In\x1B[2Jbox", i == 0 ? "Re:\r\n Ctl\x07" : "",
                      i == 0 ? 45306.416666666667 : 0,
                      "Export e-mails:\r\n\r\nThe full pathname\nfor \x1B[31m.");
        }
        Step("Execute");
    }
    void ShutdownServer() override { Step("ShutdownServer"); }
    void ReleaseServer() override { Step("ReleaseServer"); }
    void ReleaseApplication() override { Step("ReleaseApplication"); }
    std::string ResultText() override
    {
        Step("ResultText");
        return Result;
    }
    void ReleaseEngine() override { Step("ReleaseEngine"); }
};

struct RunOutcome {
    int exitCode;
    std::string out;
    std::string err;
    std::string stdinLeft;
    std::vector<std::string> log;
};

RunOutcome RunScripted(const std::vector<std::string>& args, std::set<std::string> failing = {},
                       bool folderSource = true, int failingItems = 0, const std::string& executeError = "")
{
    RunOutcome r;
    std::ostringstream out, err;
    std::istringstream in("enter\nleft");
    TBatchRunner runner(
        out, err, in,
        [&](TDMGlobal&) {
            auto job = std::make_unique<ScriptedJob>(r.log, failing);
            job->folderSource = folderSource;
            job->failingItems = failingItems;
            if (!executeError.empty()) job->executeError = executeError;
            if (failing.count("Create")) throw Exception("Create failed.");
            return job;
        },
        [] { return Stamp; });
    r.exitCode = runner.Run(args);
    r.out = out.str();
    r.err = err.str();
    std::getline(in, r.stdinLeft, '\0');
    return r;
}

std::string Start(const std::string& file)
{
    return Stamp + " Start QELbat " + file + "\r\n";
}
std::string End(const std::string& file)
{
    return Stamp + " End QELbat " + file + "\r\n";
}
std::string Error(const std::string& msg)
{
    return "\r\n" + Stamp + " ERROR: " + msg + "\r\n";
}

class UsageTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(UsageTest, WritesOnlyTheErrorAndWaitsForEnter)
{
    const RunOutcome r = RunScripted(GetParam());
    EXPECT_EQ(r.out, Error("Usage: QELBAT.EXE QEL-def-file [/quiet]"));
    EXPECT_EQ(r.exitCode, BatchExitUsage);
    EXPECT_EQ(r.stdinLeft, "left");
    EXPECT_TRUE(r.log.empty());
}

INSTANTIATE_TEST_SUITE_P(CommandLines, UsageTest,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"a.qef", "/q", "x"},
                                           std::vector<std::string>{"a.qef", "/q"},
                                           std::vector<std::string>{"a.qef", "quiet"},
                                           std::vector<std::string>{"a.qef", "/quiet "}));

TEST(BatchCommandLine, QuietSwitchInAnyCase)
{
    for (const char* sw : {"/quiet", "/QUIET", "/Quiet", "/qUiEt"}) {
        const TBatchCommandLine c = ParseBatchCommandLine({"job.qef", sw});
        EXPECT_TRUE(c.QuietMode) << sw;
        EXPECT_EQ(c.DefinitionFile, "job.qef");
    }
    EXPECT_FALSE(ParseBatchCommandLine({"~/jobs/$X.qef"}).QuietMode);
    EXPECT_EQ(ParseBatchCommandLine({"~/jobs/$X.qef"}).DefinitionFile, "~/jobs/$X.qef");
}

TEST(BatchProgress, IndexBeforeCount)
{
    EXPECT_EQ(FormatProgressLine("Inbox", 120, 3, "Inspecting"), "Inbox - 3/120 - Inspecting");
    EXPECT_EQ(FormatProgressLine("", 0, 0, ""), " - 0/0 - ");
    EXPECT_EQ(FormatProgressLine("Kunden Zürich", 7, 7, "Saving attachment 100%.pdf"),
              "Kunden Zürich - 7/7 - Saving attachment 100%.pdf");
    // A sender's name of an attachment cannot move the cursor, clear the screen or break the line.
    EXPECT_EQ(FormatProgressLine("In\x1B[2Jbox\xC2\x9B", 1, 1, "Saving attachment ctl\x01\n\r\x1B[2Jx.txt"),
              "In?[2Jbox? - 1/1 - Saving attachment ctl????[2Jx.txt");
}

TEST(BatchRunner, SuccessfulRunWritesEveryLineAndReleasesInnermostFirst)
{
    const RunOutcome r = RunScripted({"job.qef"});
    EXPECT_EQ(r.out, Start("job.qef") +
                         "Inbox - 3/120 - Inspecting\r\nInbox - 4/120 - Exporting e-mail\r\n\r\n" + Result +
                         "\r\n" + End("job.qef"));
    EXPECT_EQ(r.exitCode, BatchExitOk);
    EXPECT_EQ(r.stdinLeft, "enter\nleft");
    EXPECT_EQ(r.log, (std::vector<std::string>{"Connect", "Load job.qef", "Execute", "ShutdownServer",
                                               "ReleaseServer", "ReleaseApplication", "ResultText",
                                               "ReleaseEngine"}));
}

TEST(BatchRunner, FailedEmailsAreOneLineEachOnStandardErrorAndExitCodeThree)
{
    const RunOutcome r = RunScripted({"job.qef"}, {}, true, 2);
    EXPECT_EQ(r.out, RunScripted({"job.qef"}).out) << "standard output stays as it is";
    EXPECT_EQ(
        r.err,
        "ERROR: Mailbox \\ In?[2Jbox | Re:  Ctl? | 01/15/24 10:00:00: Export e-mails: The full pathname for "
        "?[31m.\r\n"
        "ERROR: Mailbox \\ In?[2Jbox |  | : Export e-mails: The full pathname for ?[31m.\r\n");
    EXPECT_EQ(r.exitCode, BatchExitItemsFailed);

    // An ERROR line still ends with exit code 1; its text keeps the system's own line breaks.
    const RunOutcome failed =
        RunScripted({"job.qef", "/quiet"}, {"Execute"}, true, 1, "Stopped:\r\n\r\nIn\x1B[2Jbox\n.");
    EXPECT_EQ(failed.exitCode, BatchExitRunFailed);
    EXPECT_EQ(failed.out,
              Start("job.qef") + Result + "\r\n" + End("job.qef") + Error("Stopped:\r\n\r\nIn?[2Jbox?."));
    EXPECT_NE(failed.err, "");
}

TEST(BatchRunner, QuietRunHasNoProgressAndNoBlankLine)
{
    const RunOutcome r = RunScripted({"job.qef", "/QUIET"});
    EXPECT_EQ(r.out, Start("job.qef") + Result + "\r\n" + End("job.qef"));
    EXPECT_EQ(r.exitCode, BatchExitOk);
}

TEST(BatchRunner, FailedConnectionIsReportedAsInitialisingProblemWithoutShutdown)
{
    const RunOutcome r = RunScripted({"job.qef"}, {"Connect"});
    EXPECT_EQ(
        r.out,
        Start("job.qef") + "\r\n" + Result + "\r\n" + End("job.qef") +
            Error("The following problem occurred while initialising Trovanta:\r\n\r\nConnect failed."));
    EXPECT_EQ(r.exitCode, BatchExitRunFailed);
    EXPECT_EQ(r.stdinLeft, "left");
    EXPECT_EQ(r.log, (std::vector<std::string>{"Connect", "ReleaseServer", "ReleaseApplication", "ResultText",
                                               "ReleaseEngine"}));
}

TEST(BatchRunner, SelectionSourceIsRefusedBeforeTheRun)
{
    const RunOutcome r = RunScripted({"missing.qef", "/quiet"}, {}, false);
    EXPECT_EQ(r.out, Start("missing.qef") + Result + "\r\n" + End("missing.qef") +
                         Error("In the definition file you must choose to process an Outlook folder, not the "
                               "selected items."));
    EXPECT_EQ(r.exitCode, BatchExitRunFailed);
    EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "Execute"), 0);
    EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "ShutdownServer"), 1);
}

TEST(BatchRunner, ReleaseErrorDoesNotHideTheFirstError)
{
    const RunOutcome r =
        RunScripted({"job.qef", "/quiet"}, {"Execute", "ShutdownServer", "ReleaseApplication"});
    EXPECT_EQ(r.out, Start("job.qef") + Result + "\r\n" + End("job.qef") + Error("Execute failed."));
    EXPECT_EQ(r.exitCode, BatchExitRunFailed);
    // Every release still ran.
    EXPECT_EQ(r.log, (std::vector<std::string>{"Connect", "Load job.qef", "Execute", "ShutdownServer",
                                               "ReleaseServer", "ReleaseApplication", "ResultText",
                                               "ReleaseEngine"}));
}

TEST(BatchRunner, ReleaseErrorAloneIsTheError)
{
    const RunOutcome r = RunScripted({"job.qef", "/quiet"}, {"ReleaseEngine"});
    EXPECT_EQ(r.out, Start("job.qef") + Result + "\r\n" + End("job.qef") + Error("ReleaseEngine failed."));
    EXPECT_EQ(r.exitCode, BatchExitRunFailed);
}

TEST(BatchRunner, FailedResultTextStillFreesTheEngineAndEndsTheRun)
{
    const RunOutcome r = RunScripted({"job.qef", "/quiet"}, {"ResultText"});
    EXPECT_EQ(r.out, Start("job.qef") + End("job.qef") + Error("ResultText failed."));
    EXPECT_EQ(r.log.back(), "ReleaseEngine");
}

TEST(BatchRunner, NoResultTextWhenTheObjectsCannotBeCreated)
{
    const RunOutcome r = RunScripted({"job.qef"}, {"Create"});
    EXPECT_EQ(r.out, Start("job.qef") + End("job.qef") + Error("Create failed."));
    EXPECT_EQ(r.exitCode, BatchExitRunFailed);
}

}  // namespace
