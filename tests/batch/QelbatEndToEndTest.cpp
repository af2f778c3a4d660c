// qelbat as a process on temporary stores: every console line, the quiet switch, the refusals,
// the validation and server errors, an item error that does not stop the run, the exit codes.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "tests/batch/QelbatProcess.h"

namespace fs = std::filesystem;

namespace {

// The C locale's short date and long time.
const std::string StampPattern = R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)";

const std::string MailWithAttachment =
    "From: Ann Lee <ann@example.org>\n"
    "To: Bob Stone <bob@example.org>\n"
    "Subject: Report\n"
    "Date: Mon, 15 Jan 2024 10:00:00 +0000\n"
    "Message-ID: <report@example.org>\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"b1\"\n\n"
    "--b1\nContent-Type: text/plain\n\nSee attached.\n"
    "--b1\nContent-Type: text/plain; name=\"notes.txt\"\nContent-Disposition: attachment; filename=\"notes.txt\"\n\n"
    "first line\n--b1--\n";

const std::string PlainMail =
    "From: Carl May <carl@example.org>\n"
    "To: Bob Stone <bob@example.org>\n"
    "Subject: Hello\n"
    "Date: Tue, 16 Jan 2024 11:00:00 +0000\n"
    "Message-ID: <hello@example.org>\n\n"
    "Hi Bob.\n";

std::string SourceSection(bool inclSubFolders = false)
{
    return "[Source]\nSource=1\nEntry=" + test::HexId("Inbox") + "\nStore=" + test::HexId("Mailbox") +
           "\nFullName=Mailbox \\ Inbox\nInclSubFolders=" + (inclSubFolders ? "1" : "0") + "\n";
}

std::string ExportSection(const std::string& destPath)
{
    return "[ExportEmails]\nActive=1\nSaveFormat=3\nDestPath=" + destPath + "\nMask=[B]\n";
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

/// Replaces every time stamp by "T" so that whole outputs compare byte for byte.
std::string WithoutStamps(const std::string& out)
{
    return std::regex_replace(out, std::regex(StampPattern), "T");
}

const std::string ZeroResult = "Folders inspected: 0   \r\nItems inspected: 0   \r\nE-mails processed: 0   \r\n";

class QelbatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box.RegisterAll();
        box.Store().Add("Inbox", MailWithAttachment);
        box.Store().Add("Inbox", PlainMail);
    }
    std::string WriteJob(const std::string& text, const std::string& name = "job.qef")
    {
        const fs::path path = box.Work() / name;
        test::WriteFile(path, text);
        return path.string();
    }
    test::QelbatSandbox box;
};

TEST_F(QelbatTest, RunWritesStartProgressResultAndEndLines)
{
    const std::string job = WriteJob(SourceSection() + ExportSection((box.Work() / "out").string()));
    const test::ProcessResult r = box.Run({job});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job, "Inbox - 1/2 - Inspecting", "Inbox - 1/2 - Exporting e-mail",
                     "Inbox - 2/2 - Inspecting", "Inbox - 2/2 - Exporting e-mail", "",
                     "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n\r\n"
                     "E-mails exported: 2   \r\n",
                     "T End QELbat " + job}));
    EXPECT_TRUE(std::regex_search(r.out, std::regex("^" + StampPattern + " Start QELbat ")));
    EXPECT_TRUE(fs::exists(box.Work() / "out" / "Report.eml"));
    EXPECT_TRUE(fs::exists(box.Work() / "out" / "Hello.eml"));
}

TEST_F(QelbatTest, QuietRunWritesNoProgressAndNoBlankLine)
{
    const std::string job = WriteJob(SourceSection() + ExportSection((box.Work() / "out").string()));
    const test::ProcessResult r = box.Run({job, "/QUIET"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job,
                     "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n\r\n"
                     "E-mails exported: 2   \r\n",
                     "T End QELbat " + job}));
}

TEST_F(QelbatTest, UsageErrorsWriteOnlyTheErrorLine)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"a.qef", "/quiet", "x"}, {"a.qef", "-quiet"}}) {
        const test::ProcessResult r = box.Run(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(WithoutStamps(r.out), Lines({"", "T ERROR: Usage: QELBAT.EXE QEL-def-file [/quiet]"}));
    }
}

TEST_F(QelbatTest, MissingJobFileIsRefusedAsSelectionJob)
{
    const std::string job = (box.Work() / "no-such.qef").string();
    const test::ProcessResult r = box.Run({job});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job, "", ZeroResult, "T End QELbat " + job, "",
                     "T ERROR: In the definition file you must choose to process an Outlook folder, not the "
                     "selected items."}));
}

TEST_F(QelbatTest, SelectionJobIsRefusedAndNothingIsWritten)
{
    const std::string job = WriteJob("[Source]\nSource=0\n" + ExportSection((box.Work() / "out").string()));
    const test::ProcessResult r = box.Run({job, "/quiet"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job,
                     ZeroResult + "\r\nE-mails exported: 0   \r\n", "T End QELbat " + job, "",
                     "T ERROR: In the definition file you must choose to process an Outlook folder, not the "
                     "selected items."}));
    EXPECT_FALSE(fs::exists(box.Work() / "out"));
}

TEST_F(QelbatTest, ValidationErrorEndsTheRun)
{
    const std::string job = WriteJob(SourceSection() + "[ExportEmails]\nActive=1\nMask=[B]\n");
    const test::ProcessResult r = box.Run({job, "/quiet"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job, ZeroResult + "\r\nE-mails exported: 0   \r\n", "T End QELbat " + job,
                     "", "T ERROR: Export e-mails:\r\n\r\nDestination directory not specified."}));
}

TEST_F(QelbatTest, JobNamedWithoutFolderIsTakenFromTheWindowsFolder)
{
    test::WriteFile(box.Home() / "home-job.qef", SourceSection() + ExportSection((box.Work() / "out").string()));
    const test::ProcessResult r = box.Run({"home-job.qef", "/quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(fs::exists(box.Work() / "out" / "Hello.eml"));
}

TEST_F(QelbatTest, ItemErrorDoesNotStopTheRun)
{
    // The export's folder is a file: every item fails, the run still ends normally.
    test::WriteFile(box.Work() / "blocked", "not a folder");
    const std::string job = WriteJob(SourceSection() + ExportSection((box.Work() / "blocked" / "out").string()));
    const test::ProcessResult r = box.Run({job, "/quiet"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job,
                     "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n\r\n"
                     "E-mails exported: 0   \r\n",
                     "T End QELbat " + job}));
}

TEST(QelbatSample, SampleJobExportsTheSampleInboxAndSavesItsAttachments)
{
    test::QelbatSandbox box;
    box.RegisterAll();
    fs::remove_all(box.Maildir());
    fs::copy(test::SourceDir() / "examples" / "Maildir", box.Maildir(), fs::copy_options::recursive);
    for (const auto& entry : fs::recursive_directory_iterator(box.Maildir())) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name == "cur" || name == "new" || name == "tmp") continue;
        for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(entry.path() / sub);
    }
    std::string job = test::ReadFile(test::SourceDir() / "examples" / "export-and-save.qef");
    job = std::regex_replace(job, std::regex("(DestPath|LogPath)=", std::regex::multiline), "$1=" + box.Work().string() + "/");
    test::WriteFile(box.Work() / "sample.qef", job);

    const test::ProcessResult r = box.Run({(box.Work() / "sample.qef").string(), "/quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    // Five folders below the Inbox; the delivery report is inspected but not processed.
    EXPECT_NE(r.out.find("Folders inspected: 5   \r\nItems inspected: 20   \r\nE-mails processed: 19   \r\n\r\n"
                         "E-mails exported: 19   \r\n\r\nAttachments saved: 10   \r\n"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(fs::exists(box.Work() / "Export" / "Eml.log"));
    EXPECT_TRUE(fs::exists(box.Work() / "Attachments" / "Kunden Zürich" /
                           "beat.mueller@zuerich-handel.example - Bestellung Nr. 4711 – Zürich.csv"));
    EXPECT_TRUE(fs::exists(box.Work() / "Attachments" /
                           "elodie.martin@exemple-conseil.example - Präsentation Q3 – Übersicht.pdf"));
}

TEST(QelbatServers, ExternalServerNotRegisteredIsAnInitialisingProblem)
{
    test::QelbatSandbox box;
    box.Register("libtrovanta_outlook.so");
    const std::string job = (box.Work() / "job.qef").string();
    test::WriteFile(job, SourceSection() + ExportSection((box.Work() / "out").string()));
    const test::ProcessResult r = box.Run({job}, "\nnot read\n");
    EXPECT_EQ(r.exitCode, 1);
    // The job file is read only after the connection, so the result has no export group.
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job, "", ZeroResult, "T End QELbat " + job, "",
                     "T ERROR: The following problem occurred while initialising Trovanta:\r\n\r\n"
                     "Class not registered"}));
}

}  // namespace
