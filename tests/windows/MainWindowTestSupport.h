#pragma once
// The main job window on a real Maildir store: the store "Mailbox" (the default store, so the
// external server watches its Inbox), the application object over it, the external server
// registered in the test's own registry and a connected MAPI utility client, as the add-in
// lends them. Open() shows the window and runs a script step in it.

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/MAPIUtils.h"
#include "engine/OutlookTools.h"
#include "jobs/Options.h"
#include "platform/com/ComRuntime.h"
#include "platform/outlook/Application.h"
#include "platform/runtime/Registry.h"
#include "tests/platform/com/ComSandbox.h"
#include "tests/support/Maildir.h"
#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmMain.h"
#include "windows/LinkLabel.h"
#include "windows/OutlookFolderPicker.h"

namespace main_window_test {

using namespace editor_test;
namespace fs = std::filesystem;

/// A left click on a link label.
inline void ClickLink(QWidget& window, const char* name)
{
    if (auto* link = Child<TLinkLabel>(window, name)) QTest::mouseClick(link, Qt::LeftButton);
}

inline std::string StatusPanel(QWidget& window, int number)
{
    const std::string name = "StatusBarPanel" + std::to_string(number);
    auto* panel = Child<QLabel>(window, name.c_str());
    return panel ? panel->text().toStdString() : std::string();
}

inline bool IsEmphasised(QWidget& window, const char* name)
{
    auto* box = Child<QAbstractButton>(window, name);
    return box && box->font().bold() && box->font().underline();
}

inline bool IsEnabled(QWidget& window, const char* name)
{
    auto* control = Child<QWidget>(window, name);
    return control && control->isEnabled();
}

class MainWindowTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        if (const char* old = std::getenv("MAILDIR")) previousMaildir_ = old;
        ::setenv("MAILDIR", mailRoot.c_str(), 1);
        store.Folder("Inbox");
        store.Folder("Archive");
        for (const char* server : {OUTLOOK_SERVER_PATH, QELUTILS_SERVER_PATH}) {
            const test::ProgramResult registered = test::RunProgram(std::string(REGSVR_PATH) + " " + server);
            ASSERT_EQ(registered.exitCode, 0) << registered.output;
        }
        outlook::ApplicationConfig config;
        config.stores.push_back({"Mailbox", mailRoot.string(), outlook::StoreLayout::Nested});
        app = outlook::CreateApplication(config);
        mapiUtils = std::make_unique<TMAPIUtils>();
        mapiUtils->Connect();
    }
    void TearDown() override
    {
        if (mapiUtils) mapiUtils->Disconnect();
        mapiUtils.reset();
        app.Reset();
        CoFreeUnusedLibraries();
        if (previousMaildir_)
            ::setenv("MAILDIR", previousMaildir_->c_str(), 1);
        else
            ::unsetenv("MAILDIR");
        EditorTest::TearDown();
    }

    /// Shows the main window as the add-in does and runs `script` in it; the modal result.
    int Open(std::function<void(TFormMain&)> script)
    {
        TFormMain form;
        form.OutlookApp = app;
        form.MapiUtils = mapiUtils.get();
        WhenModal<TFormMain>(std::move(script));
        form.Execute();
        shownJob.Assign(form.Options());
        return form.result();
    }

    /// The folder at a "/"-separated path below the store's top-level folder.
    ComPtr<outlook::IMAPIFolder> Folder(const std::string& relPath) const
    {
        ComPtr<outlook::IMAPIFolder> folder = app->GetNamespace("MAPI")->Folders()->Item(1);
        return relPath.empty() ? folder : ForceFolderPath(folder, relPath);
    }

    /// A job that processes the Inbox (by its identifiers and display path).
    TManualOptions InboxJob() const
    {
        TManualOptions job;
        const ComPtr<outlook::IMAPIFolder> inbox = Folder("Inbox");
        job.Source().Source = 1;
        job.Source().Entry = inbox->EntryID();
        job.Source().Store = inbox->StoreID();
        job.Source().FullName = GetFolderPath(inbox);
        return job;
    }

    /// The job remembered in the registry, as the window would load it.
    static TManualOptions RememberedJob()
    {
        TManualOptions job;
        job.LoadFromRegistry(RegKeyAdHoc);
        return job;
    }

    /// True when the key exists below HKEY_CURRENT_USER.
    static bool KeyExists(const std::string& key)
    {
        TRegistry registry;
        return registry.KeyExists(key);
    }

    fs::path mailRoot = home_.Path() / "Mail";
    test::MaildirBuilder store{mailRoot};
    ComPtr<outlook::IOutlookApplication> app;
    std::unique_ptr<TMAPIUtils> mapiUtils;
    /// The window's job when it closed.
    TManualOptions shownJob;

private:
    std::optional<std::string> previousMaildir_;
};

}  // namespace main_window_test
