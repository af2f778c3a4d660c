// qelbat as a process on temporary stores: every console line, the quiet switch, the refusals,
// the validation and server errors, an item error that does not stop the run, the exit codes.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <utility>

#include "platform/shell/ShellLink.h"
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
    "--b1\nContent-Type: text/plain; name=\"notes.txt\"\nContent-Disposition: attachment; "
    "filename=\"notes.txt\"\n\n"
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

const std::string ZeroResult =
    "Folders inspected: 0   \r\nItems inspected: 0   \r\nE-mails processed: 0   \r\n";

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

TEST_F(QelbatTest, JobFileThatIsNoRegularFileIsRefusedAtOnce)
{
    // A named pipe without a writer would keep the program waiting for ever.
    const std::string pipe = (box.Work() / "pipe.qef").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directories(box.Work() / "folder.qef");
    for (const std::string& job : {pipe, (box.Work() / "folder.qef").string()}) {
        const test::ProcessResult r = box.Run({job, "/quiet"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(WithoutStamps(r.out),
                  Lines({"T Start QELbat " + job, ZeroResult, "T End QELbat " + job, "",
                         "T ERROR: The definition file \"" + job + "\" is not a regular file."}));
    }
}

TEST_F(QelbatTest, SelectionJobIsRefusedAndNothingIsWritten)
{
    const std::string job = WriteJob("[Source]\nSource=0\n" + ExportSection((box.Work() / "out").string()));
    const test::ProcessResult r = box.Run({job, "/quiet"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job, ZeroResult + "\r\nE-mails exported: 0   \r\n",
                     "T End QELbat " + job, "",
                     "T ERROR: In the definition file you must choose to process an Outlook folder, not the "
                     "selected items."}));
    EXPECT_FALSE(fs::exists(box.Work() / "out"));
}

TEST_F(QelbatTest, ValidationErrorEndsTheRun)
{
    const std::string job = WriteJob(SourceSection() + "[ExportEmails]\nActive=1\nMask=[B]\n");
    const test::ProcessResult r = box.Run({job, "/quiet"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        WithoutStamps(r.out),
        Lines({"T Start QELbat " + job, ZeroResult + "\r\nE-mails exported: 0   \r\n", "T End QELbat " + job,
               "", "T ERROR: Export e-mails:\r\n\r\nDestination directory not specified."}));
}

TEST_F(QelbatTest, JobNamedWithoutFolderIsTakenFromTheWindowsFolder)
{
    test::WriteFile(box.Home() / "home-job.qef",
                    SourceSection() + ExportSection((box.Work() / "out").string()));
    const test::ProcessResult r = box.Run({"home-job.qef", "/quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(fs::exists(box.Work() / "out" / "Hello.eml"));
}

TEST_F(QelbatTest, ItemErrorDoesNotStopTheRunAndIsReportedOnStandardError)
{
    // The export's folder is a file: every item fails, the run still ends normally.
    test::WriteFile(box.Work() / "blocked", "not a folder");
    const std::string job =
        WriteJob(SourceSection() + ExportSection((box.Work() / "blocked" / "out").string()));
    const test::ProcessResult r = box.Run({job, "/quiet"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(WithoutStamps(r.out),
              Lines({"T Start QELbat " + job,
                     "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n\r\n"
                     "E-mails exported: 0   \r\n",
                     "T End QELbat " + job}));
    // One line per e-mail on standard error: folder path, subject, date and message.
    const std::string line =
        R"(ERROR: Mailbox \\ Inbox \| (Hello|Report) \| )" + StampPattern + ": [^\r\n]+\r\n";
    EXPECT_TRUE(std::regex_match(r.err, std::regex(line + line))) << r.err;
}

/// A mail from a stranger whose attachment is a hand-made shortcut to `target`.
std::string MailWithShortcutTo(const fs::path& target)
{
    shell::ShellLinkData link;
    link.targetPath = target.string();
    link.description = "invoice.pdf";
    const std::string bytes = shell::WriteShellLink(link);
    std::string base64;
    const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 3; ++k)
            v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) base64 += k <= n ? digits[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return "From: Eve <eve@example.net>\nTo: Bob Stone <bob@example.org>\nSubject: Invoice\n"
           "Date: Wed, 17 Jan 2024 09:00:00 +0000\nMIME-Version: 1.0\n"
           "Content-Type: multipart/mixed; boundary=\"b1\"\n\n--b1\nContent-Type: text/plain\n\nPay.\n"
           "--b1\nContent-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n"
           "Content-Disposition: attachment; filename=\"invoice-pdf.qel\"\n\n" +
           base64 + "\n--b1--\n";
}

TEST_F(QelbatTest, ReimportPutsBackShortcutsOfAnEarlierJobFileButNotAStrangers)
{
    const fs::path secret = box.Work() / "home" / "id_key";
    test::WriteFile(secret, "TOP SECRET private key\n");
    box.Store().Add("Inbox", MailWithShortcutTo(secret));
    const std::string save =
        WriteJob(SourceSection() + "[SaveAttachments]\nActive=1\nDestPath=" + (box.Work() / "att").string() +
                     "\nMask=[FE]\nAfterSaveMode=1\n",
                 "save.qef");
    const test::ProcessResult saved = box.Run({save, "/quiet"});
    EXPECT_NE(saved.out.find("Shortcuts created: 1 "), std::string::npos) << saved.out;

    const std::string reimport = WriteJob(SourceSection() + "[Reimport]\nActive=1\n", "reimport.qef");
    const test::ProcessResult r = box.Run({reimport, "/quiet"});
    EXPECT_EQ(r.exitCode, 3) << r.out << r.err;
    const std::string refused = "The shortcut points outside the folders that attachments are saved to: ";
    EXPECT_EQ(r.err.rfind("ERROR: Mailbox \\ Inbox | Invoice | ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(": " + refused + secret.string() + "\r\n"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Attachments skipped: 1   \r\nAttachments reimported: 1   \r\n"), std::string::npos)
        << r.out;
    std::string store;
    for (const auto& entry : fs::recursive_directory_iterator(box.Maildir() / "Inbox"))
        if (entry.is_regular_file()) store += test::ReadFile(entry.path());
    EXPECT_EQ(store.find("notes-txt.qel"), std::string::npos) << "the own file is back";
    EXPECT_NE(store.find("invoice-pdf.qel"), std::string::npos) << "the stranger's shortcut stays";
    EXPECT_EQ(store.find("VE9QIFNFQ1JFVC"), std::string::npos) << "the private file stays out";
    EXPECT_EQ(store.find("TOP SECRET"), std::string::npos);
}

TEST(QelbatDurability, SavedFilesAndTheirFoldersReachTheDiskBeforeTheMessageLosesTheAttachment)
{
    // Attachments replaced by shortcuts or removed: after the message's rewrite, the saved file
    // is the only copy. The system calls show the order: each saved file, its folder and the
    // folders above each folder made for it flushed, then the message put in place. Overwriting,
    // the file is flushed under a name of its own before it takes its final name.
    for (const auto& [mode, overwrite] : {std::pair{1, 0}, {2, 0}, {1, 1}}) {
        test::QelbatSandbox box;
        box.RegisterAll();
        box.Store().Add("Inbox", MailWithAttachment);
        const fs::path work = fs::canonical(box.Work());
        const fs::path att = work / "att" / "deep";
        test::WriteFile(work / "job.qef", SourceSection() +
                                              "[SaveAttachments]\nActive=1\nDestPath=" + att.string() +
                                              "\nMask=[FE]\nAfterSaveMode=" + std::to_string(mode) +
                                              "\nDuplicateMode=" + std::to_string(overwrite) + "\n");
        const fs::path log = work / "calls.log";
        // The leak checker of a sanitizer build stops with an error under a tracer.
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string noLeakCheck = "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":detect_leaks=0";
        const test::ProcessResult r = box.RunProgram(
            "/usr/bin/strace",
            {"-f", "-y", "-o", log.string(), "-e", "trace=fsync,fdatasync,rename,renameat,renameat2", "-E",
             noLeakCheck, (test::BuildDir() / "bin" / "qelbat").string(), (work / "job.qef").string(),
             "/quiet"},
            "\n");
        if (!fs::exists(log) || test::ReadFile(log).find("+++ exited with") == std::string::npos)
            GTEST_SKIP() << "strace cannot trace here: " << r.err;
        ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
        const std::string calls = test::ReadFile(log);
        const auto replaced = calls.find(", \"" + fs::canonical(box.Maildir()).string() + "/Inbox/cur/");
        ASSERT_NE(replaced, std::string::npos) << calls;
        fs::path written = att / "notes.txt";
        if (overwrite) {
            // rename("<the file's own name>", "<att>/notes.txt") = 0
            const auto named = calls.find("\", \"" + written.string() + "\") = 0");
            ASSERT_NE(named, std::string::npos) << calls;
            const auto call = calls.rfind("rename(\"", named);
            ASSERT_NE(call, std::string::npos) << calls;
            written = calls.substr(call + 8, named - call - 8);
            EXPECT_LT(calls.find("<" + written.string() + ">) = 0"), named) << "flushed before it is named\n"
                                                                            << calls;
        }
        for (const fs::path& flushed : {written, att, att.parent_path(), work}) {
            const auto found = calls.find("<" + flushed.string() + ">) = 0");
            EXPECT_LT(found, replaced) << "mode " << mode << ": " << flushed << " not flushed first\n"
                                       << calls;
        }
    }
}

/// Files below `dir` by their modes.
std::map<unsigned, std::set<std::string>> FilesByMode(const fs::path& dir)
{
    std::map<unsigned, std::set<std::string>> modes;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        const auto mode = static_cast<unsigned>(entry.status().permissions()) & 07777;
        modes[mode].insert(fs::relative(entry.path(), dir).string());
    }
    return modes;
}

TEST_F(QelbatTest, WrittenFilesFollowTheUmaskInEveryFormatAndARewrittenMessageKeepsItsMode)
{
    for (const fs::path& message : box.Store().Files("Inbox")) fs::permissions(message, fs::perms(0604));
    const fs::path out = box.Work() / "out";
    std::vector<std::string> jobs;
    for (const int format : {0, 1, 2, 3}) {
        jobs.push_back(WriteJob(
            SourceSection() + "[ExportEmails]\nActive=1\nSaveFormat=" + std::to_string(format) +
                "\nDestPath=" + out.string() + "\nMask=[B]\nLog=1\nLogPath=" + (out / "logs").string() + "\n",
            "export" + std::to_string(format) + ".qef"));
    }
    jobs.push_back(WriteJob(SourceSection() + "[SaveAttachments]\nActive=1\nDestPath=" +
                                (out / "att").string() + "\nMask=[FE]\nAfterSaveMode=1\n",
                            "save.qef"));
    const mode_t saved = ::umask(027);
    std::vector<test::ProcessResult> runs;
    for (const std::string& job : jobs) runs.push_back(box.Run({job, "/quiet"}));
    ::umask(saved);

    for (const test::ProcessResult& r : runs) {
        EXPECT_EQ(r.exitCode, 0) << r.out;
        EXPECT_EQ(r.err, "") << "a good run writes nothing on standard error";
    }
    const auto modes = FilesByMode(out);
    ASSERT_EQ(modes.size(), 1u) << "every written file has one mode";
    EXPECT_EQ(modes.begin()->first, 0640u);
    EXPECT_EQ(modes.begin()->second,
              (std::set<std::string>{"Report.txt", "Hello.txt", "Report.msg", "Hello.msg", "Report.htm",
                                     "Hello.htm", "Report.eml", "Hello.eml", "att/notes.txt", "logs/Eml.log",
                                     "logs/Att.log", "logs/ID.log"}));
    const auto stored = FilesByMode(box.Maildir() / "Inbox");
    ASSERT_EQ(stored.size(), 1u) << "the message that got a shortcut keeps its mode";
    EXPECT_EQ(stored.begin()->first, 0604u);
    const auto files = box.Store().Files("Inbox");
    EXPECT_TRUE(std::any_of(files.begin(), files.end(), [](const fs::path& f) {
        return test::ReadFile(f).find(".qel") != std::string::npos;
    })) << "the attachment was replaced by its shortcut";
}

bool IsMaildirSubdir(const fs::path& dir)
{
    const std::string name = dir.filename().string();
    return name == "cur" || name == "new" || name == "tmp";
}

/// The sample store in its nested layout, with the empty cur/new/tmp that git does not keep.
void CopySampleStore(const fs::path& root)
{
    fs::remove_all(root);
    fs::copy(test::SourceDir() / "examples" / "Maildir", root, fs::copy_options::recursive);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_directory() || IsMaildirSubdir(entry.path())) continue;
        for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(entry.path() / sub);
    }
}

/// The sample store as mbsync writes a Maildir++ store: the Inbox's messages in the root,
/// every other folder a ".A.B" directory beside it (the Inbox's subfolders at the top).
void CopySampleStoreAsMaildirPlusPlus(const fs::path& root)
{
    const fs::path sample = test::SourceDir() / "examples" / "Maildir";
    fs::remove_all(root);
    for (const auto& entry : fs::recursive_directory_iterator(sample)) {
        if (!entry.is_directory() || !IsMaildirSubdir(entry.path())) continue;
        std::string folder;
        for (const auto& part : fs::relative(entry.path().parent_path(), sample)) {
            if (folder.empty() && part == "Inbox") continue;
            folder += "." + part.string();
        }
        const fs::path dir = folder.empty() ? root : root / folder;
        for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(dir / sub);
        fs::copy(entry.path(), dir / entry.path().filename(), fs::copy_options::recursive);
    }
}

/// The file names below `dir`, relative to it, sorted.
std::vector<std::string> FilesBelow(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), dir).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(QelbatSample, SampleJobExportsTheSampleInboxAndSavesItsAttachments)
{
    test::QelbatSandbox box;
    box.RegisterAll();
    CopySampleStore(box.Maildir());
    std::string job = test::ReadFile(test::SourceDir() / "examples" / "export-and-save.qef");
    job = std::regex_replace(job, std::regex("(DestPath|LogPath)=", std::regex::multiline),
                             "$1=" + box.Work().string() + "/");
    test::WriteFile(box.Work() / "sample.qef", job);

    const test::ProcessResult r = box.Run({(box.Work() / "sample.qef").string(), "/quiet"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    // Five folders below the Inbox; the delivery report is inspected but not processed.
    EXPECT_NE(
        r.out.find("Folders inspected: 5   \r\nItems inspected: 20   \r\nE-mails processed: 19   \r\n\r\n"
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

/// A job on one top-level folder of the default store that exports every e-mail in `saveFormat`, logs
/// the export and saves the attachments, both below the subfolders of the source ([OR]).
std::string ExportAndSaveJob(const std::string& folder, const fs::path& work, int saveFormat = 3)
{
    return "[Source]\nSource=1\nEntry=" + test::HexId(folder) + "\nStore=" + test::HexId("Mailbox") +
           "\nFullName=Mailbox \\ " + folder + "\nInclSubFolders=1\n" +
           "[ExportEmails]\nActive=1\nSaveFormat=" + std::to_string(saveFormat) +
           "\nDestPath=" + (work / "out").string() +
           "\nMask=[OR]\\[B]\nLog=1\nAlsoAttachments=1\nLogPath=" + (work / "out").string() +
           "\n[SaveAttachments]\nActive=1\nRecurseMSG=1\nDestPath=" + (work / "att").string() +
           "\nMask=[OR]\\[FE]\n";
}

TEST(QelbatStores, MaildirPlusPlusStoreRunsOnItsInboxAndOnAFolderWithSubfolders)
{
    test::QelbatSandbox box;
    box.RegisterAll();
    CopySampleStoreAsMaildirPlusPlus(box.Maildir());
    const std::vector<std::string> storeBefore = FilesBelow(box.Maildir());

    test::WriteFile(box.Work() / "inbox.qef", ExportAndSaveJob("Inbox", box.Work() / "inbox"));
    const test::ProcessResult inbox = box.Run({(box.Work() / "inbox.qef").string(), "/quiet"});
    EXPECT_EQ(inbox.exitCode, 0) << inbox.out << inbox.err;
    // The root's own messages are the Inbox; its former subfolders now stand beside it.
    EXPECT_NE(
        inbox.out.find("Folders inspected: 1   \r\nItems inspected: 10   \r\nE-mails processed: 9   \r\n\r\n"
                       "E-mails exported: 9   \r\n\r\nAttachments saved: 6   \r\n"),
        std::string::npos)
        << inbox.out;

    const fs::path work = box.Work() / "kunden";
    test::WriteFile(box.Work() / "kunden.qef", ExportAndSaveJob("Kunden Zürich", work));
    const test::ProcessResult kunden = box.Run({(box.Work() / "kunden.qef").string(), "/quiet"});
    EXPECT_EQ(kunden.exitCode, 0) << kunden.out << kunden.err;
    EXPECT_NE(
        kunden.out.find("Folders inspected: 2   \r\nItems inspected: 5   \r\nE-mails processed: 5   \r\n\r\n"
                        "E-mails exported: 5   \r\n\r\nAttachments saved: 4   \r\n"),
        std::string::npos)
        << kunden.out;
    EXPECT_EQ(FilesBelow(work / "att"), (std::vector<std::string>{"Archiv 2022/Jahresabschluss 2022.pdf",
                                                                  "Bestellung Nr. 4711 – Zürich.csv",
                                                                  "lageplan.png", "lieferschein.pdf"}));
    EXPECT_TRUE(fs::exists(work / "out" / "Archiv 2022" / "Jahresabschluss.eml"));
    EXPECT_TRUE(fs::exists(work / "out" / "Rückfrage zur Lieferung.eml"));
    EXPECT_EQ(test::ReadFile(work / "out" / "ID.log"), "5\r\n");

    // Exporting and saving read the store only: no message, flag or folder changed.
    EXPECT_EQ(FilesBelow(box.Maildir()), storeBefore);
    EXPECT_FALSE(fs::exists(box.Maildir() / "Inbox"));
}

TEST(QelbatStores, RealMailFolderExportedAsMessageAndMailFilesWithItsAttachments)
{
    const fs::path corpus = test::CorporaDir() / "mu" / "testdir";
    if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    test::QelbatSandbox box;
    box.RegisterAll();
    fs::remove_all(box.Maildir());
    fs::copy(corpus, box.Maildir(), fs::copy_options::recursive);
    const std::vector<std::string> storeBefore = FilesBelow(box.Maildir());

    for (const auto& [format, extension] :
         {std::pair{1, std::string(".msg")}, std::pair{3, std::string(".eml")}}) {
        SCOPED_TRACE(extension);
        const fs::path work = box.Work() / extension.substr(1);
        test::WriteFile(work / "job.qef", ExportAndSaveJob("Inbox", work, format));
        const test::ProcessResult r = box.Run({(work / "job.qef").string(), "/quiet"});
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        // A lone Maildir is the Inbox; every message is an e-mail.
        EXPECT_NE(
            r.out.find("Folders inspected: 1   \r\nItems inspected: 19   \r\nE-mails processed: 19   \r\n\r\n"
                       "E-mails exported: 19   \r\n\r\nAttachments saved: 2   \r\n"),
            std::string::npos)
            << r.out;
        const std::vector<std::string> written = FilesBelow(work / "out");
        EXPECT_EQ(
            std::count_if(written.begin(), written.end(),
                          [&](const std::string& name) { return fs::path(name).extension() == extension; }),
            19);
        EXPECT_EQ(test::ReadFile(work / "out" / "ID.log"), "19\r\n");
        // The two attachments, once beside their exported e-mail and once saved on their own.
        const std::string attLog = test::ReadFile(work / "out" / "Att.log");
        EXPECT_EQ(std::count(attLog.begin(), attLog.end(), '\n'), 3) << attLog;
        EXPECT_EQ(FilesBelow(work / "att"), (std::vector<std::string>{"mihailim.vcf", "test1.C"}));
        EXPECT_GT(fs::file_size(work / "att" / "test1.C"), 0u);
    }
    EXPECT_EQ(FilesBelow(box.Maildir()), storeBefore);
}

}  // namespace
