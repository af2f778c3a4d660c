#pragma once
// The objects one batch run works with, behind the steps in which the console program drives
// them: connect, load, run, and release innermost first. The console protocol (BatchRunner)
// sees only this interface, so its line order and error handling can be checked without a mail
// store; TEngineBatchJob is the real one over the engine, the mail client and the external
// server.

#include <functional>
#include <memory>
#include <string>

#include "platform/runtime/DateTime.h"

class TDMGlobal;

/// Progress as the engine reports it: folder name, item count, item index, action text.
using TBatchProgress = std::function<void(const std::string& FolderName, int ItemCount, int ItemIndex,
                                          const std::string& Action)>;

/// An e-mail that failed inside the run, which goes on: its folder's path, its subject and date,
/// and the message.
using TBatchItemError = std::function<void(const std::string& FolderPath, const std::string& Subject,
                                           TDateTime ItemDate, const std::string& Msg)>;

/// One run's objects. Every method may raise Exception; the runner decides what is reported.
class IBatchJob {
public:
    virtual ~IBatchJob() = default;

    /// Connects the external server's MAPI utility client.
    virtual void Connect() = 0;
    /// Loads the job definition file into the engine's manual job, the own addresses from the
    /// registry, and sets or clears the progress handler; sets the item error handler.
    virtual void Load(const std::string& DefinitionFile, TBatchProgress Progress,
                      TBatchItemError ItemError) = 0;
    /// True when the loaded job processes one folder (the only source a batch run accepts).
    virtual bool IsFolderSource() const = 0;
    /// Runs the manual job.
    virtual void Execute() = 0;

    /// Release, in the order the runner calls them.
    virtual void ShutdownServer() = 0;      ///< Shutdown and disconnect; only after Connect succeeded
    virtual void ReleaseServer() = 0;       ///< frees the MAPI utility client
    virtual void ReleaseApplication() = 0;  ///< frees the mail client's application object
    virtual std::string ResultText() = 0;   ///< the engine's result text
    virtual void ReleaseEngine() = 0;       ///< frees the engine
};

/// Creates the objects of one run (engine, application wrapper, MAPI utility client, in that
/// order); the data module is lent for the engine's batch flag.
using TBatchJobFactory = std::function<std::unique_ptr<IBatchJob>(TDMGlobal& DataModule)>;

/// The real objects: the engine over the mail client "Outlook.Application" and the external
/// server "QELutils", both created through the object runtime.
std::unique_ptr<IBatchJob> CreateEngineBatchJob(TDMGlobal& DataModule);
