#include "batch/BatchJob.h"

#include "batch/OutlookApplication.h"
#include "engine/EmailProcessor.h"
#include "engine/MAPIUtils.h"
#include "jobs/DM_Global.h"
#include "jobs/Options.h"

namespace {

/// The engine with the mail client and the external server it borrows. The objects are
/// created in the order engine, application object, MAPI utility client, and each Release
/// step frees one of them; whatever a failed run left is freed by the destructor.
class TEngineBatchJob final : public IBatchJob {
public:
    explicit TEngineBatchJob(const TDMGlobal& DataModule)
        : engine_(std::make_unique<TEmailProcessor>()),
          application_(MakeCom<TOutlookApplication>()),
          mapiUtils_(std::make_unique<TMAPIUtils>(TMAPIUtils::TNewMailEvents::Ignore))
    {
        engine_->SetDMGlobal(&DataModule);
        engine_->SetApplication(application_);
        engine_->SetMAPIUtils(mapiUtils_.get());
    }

    void Connect() override { mapiUtils_->Connect(); }

    void Load(const std::string& DefinitionFile, TBatchProgress Progress, TBatchItemError ItemError) override
    {
        engine_->ManualOptions().LoadFromFile(DefinitionFile);
        engine_->MeOptions().LoadFromRegistry(RegKeyMe);
        if (Progress) {
            engine_->OnProgress = [Progress = std::move(Progress)](
                                      TEmailProcessor&, const std::string& FolderName, std::int32_t ItemCount,
                                      std::int32_t ItemIndex, const std::string& Action) {
                Progress(FolderName, ItemCount, ItemIndex, Action);
            };
        } else {
            engine_->OnProgress = nullptr;
        }
        // A failed item is reported; the run goes on with the next one.
        engine_->OnItemError = [ItemError = std::move(ItemError)](
                                   TEmailProcessor&, const std::string& FolderPath,
                                   const std::string& Subject, TDateTime ItemDate, const std::string& Msg) {
            if (ItemError) ItemError(FolderPath, Subject, ItemDate, Msg);
        };
    }

    bool IsFolderSource() const override { return engine_->ManualOptions().Source().Source == 1; }

    void Execute() override { engine_->Execute(); }

    void ShutdownServer() override
    {
        // Disconnect also when Shutdown fails, so the server is never left connected.
        try {
            mapiUtils_->Shutdown();
        } catch (...) {
            mapiUtils_->Disconnect();
            throw;
        }
        mapiUtils_->Disconnect();
    }

    void ReleaseServer() override
    {
        engine_->SetMAPIUtils(nullptr);
        mapiUtils_.reset();
    }

    void ReleaseApplication() override
    {
        engine_->SetApplication(nullptr);
        application_.Reset();
    }

    std::string ResultText() override { return engine_->GetResultText(); }

    void ReleaseEngine() override { engine_.reset(); }

private:
    std::unique_ptr<TEmailProcessor> engine_;
    ComPtr<TOutlookApplication> application_;
    std::unique_ptr<TMAPIUtils> mapiUtils_;
};

}  // namespace

std::unique_ptr<IBatchJob> CreateEngineBatchJob(TDMGlobal& DataModule)
{
    return std::make_unique<TEngineBatchJob>(DataModule);
}
