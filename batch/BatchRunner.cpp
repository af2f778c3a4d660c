#include "batch/BatchRunner.h"

#include <fmt/printf.h>

#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "jobs/DM_Global.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

namespace {

std::string LocalTimeStamp()
{
    return ShortDateLongTimeString(Now());
}

std::string MessageOf(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
    return e.what();
}

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

/// Text for one console line: each run of line breaks becomes one blank, and every other
/// control character "?".
std::string OneLine(std::string_view Text)
{
    std::string joined;
    joined.reserve(Text.size());
    for (std::size_t pos = 0; pos < Text.size(); ++pos) {
        if (!IsLineBreak(Text[pos])) {
            joined += Text[pos];
        } else if (pos == 0 || !IsLineBreak(Text[pos - 1])) {
            joined += ' ';
        }
    }
    return ReplaceControlChars(joined);
}

/// A message for the ERROR line: the system's own line breaks (CR LF) stay, as its messages
/// are made of paragraphs; every other control character becomes "?".
std::string ErrorLineText(std::string_view Message)
{
    std::string text;
    std::size_t start = 0;
    for (std::size_t end; (end = Message.find("\r\n", start)) != std::string_view::npos; start = end + 2) {
        text += ReplaceControlChars(Message.substr(start, end - start)) + "\r\n";
    }
    return text + ReplaceControlChars(Message.substr(start));
}

}  // namespace

/// The error the run reports: the first one raised. A later one (typically from releasing
/// objects after a failure) is dropped, so it cannot hide the cause; a release error alone is
/// still reported.
class TBatchRunner::TFirstError {
public:
    /// Runs `Step`; an exception it raises is kept when no error was kept before.
    template <class F>
    void Guard(F&& Step) noexcept
    {
        try {
            Step();
        } catch (const std::exception& e) {
            Keep(MessageOf(e));
        } catch (...) {
            Keep("Unknown exception.");
        }
    }
    explicit operator bool() const { return message_.has_value(); }
    const std::string& Message() const { return *message_; }

private:
    void Keep(std::string Message) noexcept
    {
        if (!message_) message_ = std::move(Message);
    }
    std::optional<std::string> message_;
};

TBatchCommandLine ParseBatchCommandLine(const std::vector<std::string>& Args)
{
    if (Args.empty() || Args.size() > 2) throw Exception(BatchUsageText);
    TBatchCommandLine Result;
    Result.DefinitionFile = Args[0];
    if (Args.size() == 2) {
        if (!SameTextAscii(Args[1], "/Quiet")) throw Exception(BatchUsageText);
        Result.QuietMode = true;
    }
    return Result;
}

std::string FormatProgressLine(const std::string& FolderName, int ItemCount, int ItemIndex,
                               const std::string& Action)
{
    return fmt::sprintf("%s - %d/%d - %s", ReplaceControlChars(FolderName), ItemIndex, ItemCount,
                        ReplaceControlChars(Action));
}

std::string FormatItemErrorLine(const std::string& FolderPath, const std::string& Subject, TDateTime ItemDate,
                                const std::string& Msg)
{
    const std::string date = ItemDate != 0 ? ShortDateLongTimeString(ItemDate) : std::string();
    return "ERROR: " + OneLine(FolderPath) + " | " + OneLine(Subject) + " | " + date + ": " + OneLine(Msg);
}

void TConsole::WriteLine(const std::string& Text)
{
    out_ << Text << "\r\n";
    out_.flush();
}

void TScreenResponse::ShowProgress(const std::string& FolderName, int ItemCount, int ItemIndex,
                                   const std::string& Action)
{
    console_.WriteLine(FormatProgressLine(FolderName, ItemCount, ItemIndex, Action));
}

TBatchRunner::TBatchRunner(std::ostream& Out, std::ostream& Err, std::istream& In, TBatchJobFactory Factory,
                           std::function<std::string()> Stamp)
    : console_(Out),
      errors_(Err),
      in_(In),
      factory_(std::move(Factory)),
      stamp_(Stamp ? std::move(Stamp) : LocalTimeStamp)
{
}

int TBatchRunner::Run(const std::vector<std::string>& Args)
{
    TDMGlobal DataModule;
    DataModule.BatchMode = true;
    TFirstError Error;
    bool Started = false;
    Error.Guard([&] {
        const TBatchCommandLine CommandLine = ParseBatchCommandLine(Args);
        console_.WriteLine(stamp_() + " Start QELbat " + CommandLine.DefinitionFile);
        Started = true;
        RunJob(CommandLine, DataModule, Error);
    });
    if (!Error) return itemErrors_ > 0 ? BatchExitItemsFailed : BatchExitOk;
    console_.WriteLine("");
    console_.WriteLine(stamp_() + " ERROR: " + ErrorLineText(Error.Message()));
    WaitForEnter();
    return Started ? BatchExitRunFailed : BatchExitUsage;
}

void TBatchRunner::RunJob(const TBatchCommandLine& CommandLine, TDMGlobal& DataModule, TFirstError& Error)
{
    {
        TScreenResponse Screen(console_);
        Error.Guard([&] {
            const std::unique_ptr<IBatchJob> Job = factory_(DataModule);
            RunAndRelease(*Job, CommandLine, Screen, Error);
        });
    }
    console_.WriteLine(stamp_() + " End QELbat " + CommandLine.DefinitionFile);
}

void TBatchRunner::RunAndRelease(IBatchJob& Job, const TBatchCommandLine& CommandLine,
                                 TScreenResponse& Screen, TFirstError& Error)
{
    bool Connected = false;
    Error.Guard([&] {
        try {
            Job.Connect();
        } catch (const std::exception& e) {
            throw Exception(std::string(BatchInitialisingText) + "\r\n\r\n" + MessageOf(e));
        }
        Connected = true;
        TBatchProgress Progress;
        if (!CommandLine.QuietMode) Progress = [&Screen](auto&&... a) { Screen.ShowProgress(a...); };
        Job.Load(CommandLine.DefinitionFile, std::move(Progress),
                 [this](auto&&... a) { ReportItemError(a...); });
        if (!Job.IsFolderSource()) throw Exception(BatchSelectionRefusedText);
        Job.Execute();
    });
    // Every object is released on every path, innermost first, before the error is written.
    if (Connected) Error.Guard([&] { Job.ShutdownServer(); });
    Error.Guard([&] { Job.ReleaseServer(); });
    Error.Guard([&] { Job.ReleaseApplication(); });
    Error.Guard([&] {
        if (!CommandLine.QuietMode) console_.WriteLine("");
        console_.WriteLine(Job.ResultText());
    });
    Error.Guard([&] { Job.ReleaseEngine(); });
}

void TBatchRunner::ReportItemError(const std::string& FolderPath, const std::string& Subject,
                                   TDateTime ItemDate, const std::string& Msg)
{
    ++itemErrors_;
    errors_.WriteLine(FormatItemErrorLine(FolderPath, Subject, ItemDate, Msg));
}

void TBatchRunner::WaitForEnter()
{
    std::string Line;
    std::getline(in_, Line);
}
