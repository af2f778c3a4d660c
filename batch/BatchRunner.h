#pragma once
// The console program's logic: the command line, the start, progress, result, end and error
// lines, the order in which the run's objects are created and released, and the exit code.
// Lines end with CR LF, as the program's users (scripts that parse its output) expect.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "batch/BatchJob.h"

/// Exit codes: the run ended without an ERROR line; an ERROR line followed a run attempt;
/// the command line was refused; the run ended without an ERROR line but some e-mails failed.
inline constexpr int BatchExitOk = 0;
inline constexpr int BatchExitRunFailed = 1;
inline constexpr int BatchExitUsage = 2;
inline constexpr int BatchExitItemsFailed = 3;

inline constexpr const char* BatchUsageText = "Usage: QELBAT.EXE QEL-def-file [/quiet]";
inline constexpr const char* BatchInitialisingText =
    "The following problem occurred while initialising Trovanta:";
inline constexpr const char* BatchSelectionRefusedText =
    "In the definition file you must choose to process an Outlook folder, not the selected items.";

/// The accepted command line.
struct TBatchCommandLine {
    std::string DefinitionFile;  ///< used unchanged: no expansion, no check that it exists
    bool QuietMode = false;
};

/// One or two arguments, the second "/quiet" in any letter case; anything else raises
/// Exception with BatchUsageText. `Args` excludes the program name.
TBatchCommandLine ParseBatchCommandLine(const std::vector<std::string>& Args);

/// "Inbox - 3/120 - Inspecting": the index before the count. Text from the store (folder and
/// attachment names) never carries control characters to the console: they become "?".
std::string FormatProgressLine(const std::string& FolderName, int ItemCount, int ItemIndex,
                               const std::string& Action);

/// The line of standard error for an e-mail that failed:
/// "ERROR: Mailbox \ Inbox | Subject | 01/15/24 10:00:00: message", the date empty when the
/// e-mail has none. One line: line breaks in the message become a blank, other control
/// characters "?".
std::string FormatItemErrorLine(const std::string& FolderPath, const std::string& Subject, TDateTime ItemDate,
                                const std::string& Msg);

/// Standard output as the program writes it: every line ended by CR LF and flushed, so that
/// progress shows while a long run goes on.
class TConsole {
public:
    explicit TConsole(std::ostream& Out) : out_(Out) {}
    void WriteLine(const std::string& Text);

private:
    std::ostream& out_;
};

/// The engine's progress handler in the console.
class TScreenResponse {
public:
    explicit TScreenResponse(TConsole& Console) : console_(Console) {}
    void ShowProgress(const std::string& FolderName, int ItemCount, int ItemIndex, const std::string& Action);

private:
    TConsole& console_;
};

/// Runs one job definition file from the command line.
class TBatchRunner {
public:
    /// `Stamp` gives the time stamp of the start, end and error lines (the local short date
    /// and long time when not given). The lines of e-mails that failed go to `Err`.
    TBatchRunner(std::ostream& Out, std::ostream& Err, std::istream& In,
                 TBatchJobFactory Factory = CreateEngineBatchJob, std::function<std::string()> Stamp = {});

    /// The whole program after the object runtime is initialised; returns the exit code.
    int Run(const std::vector<std::string>& Args);

private:
    class TFirstError;

    void RunJob(const TBatchCommandLine& CommandLine, TDMGlobal& DataModule, TFirstError& Error);
    void RunAndRelease(IBatchJob& Job, const TBatchCommandLine& CommandLine, TScreenResponse& Screen,
                       TFirstError& Error);
    void WaitForEnter();
    void ReportItemError(const std::string& FolderPath, const std::string& Subject, TDateTime ItemDate,
                         const std::string& Msg);

    TConsole console_;
    TConsole errors_;
    int itemErrors_ = 0;
    std::istream& in_;
    TBatchJobFactory factory_;
    std::function<std::string()> stamp_;
};
