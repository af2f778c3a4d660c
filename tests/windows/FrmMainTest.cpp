// The main job window while the job is edited: the remembered job, the source and action
// boxes and their editors, reset, job definition files and the links.

#include <QFileDialog>
#include <QRadioButton>

#include "platform/runtime/Registry.h"
#include "platform/ui/QtUserInterface.h"
#include "tests/support/ui/Screenshot.h"
#include "tests/windows/MainWindowTestSupport.h"
#include "windows/FrmAbout.h"
#include "windows/FrmEditFilter.h"
#include "windows/FrmEditJob_CopyMove.h"
#include "windows/FrmEditJob_ExportEmails.h"
#include "windows/FrmEditSendOptions.h"

namespace {

using namespace main_window_test;
using outlook::IMAPIFolder;

constexpr const char* kActionBoxes[] = {"CheckUseFilter",  "CheckCopyEmails1", "CheckExportEmails",
                                        "CheckReimport",   "CheckSaveAtts",    "CheckDeleteAtts",
                                        "CheckSetRead",    "CheckSetUnRead",   "CheckCopyEmails2",
                                        "CheckMoveEmails", "CheckDeleteEmails"};
constexpr const char* kEditButtons[] = {"ButtonFilter",     "ButtonCopyEmails1", "ButtonExportEmails",
                                        "ButtonSaveAtts",   "ButtonDeleteAtts",  "ButtonCopyEmails2",
                                        "ButtonMoveEmails", "ButtonDeleteEmails"};

class MainWindowEditing : public MainWindowTest {
protected:
    /// A job with a part of every kind: the Inbox with subfolders, the filter, the export, the
    /// reimport, marking unread and the move to "Archive".
    TManualOptions FullJob() const
    {
        TManualOptions job = InboxJob();
        job.Source().InclSubFolders = true;
        job.Filter().Active = true;
        job.Filter().HasAtt = true;
        job.Filter().SenderIncl().Add("*@example.com");
        job.ExportEmails().Active = true;
        job.ExportEmails().DestPath = home_.Path().string();
        job.ExportEmails().Mask = "[B]";
        job.Reimport().Active = true;
        job.ReadUnread().Mode = 2;
        const ComPtr<IMAPIFolder> archive = Folder("Archive");
        job.MoveEmails() = {true, archive->EntryID(), archive->StoreID(), GetFolderPath(archive), ""};
        return job;
    }

    std::string HiveText() const
    {
        const fs::path hive = home_.Path() / "home" / "HKEY_CURRENT_USER.reg";
        return fs::exists(hive) ? test::ReadFile(hive) : std::string();
    }
};

void ExpectDefaults(TFormMain& w)
{
    EXPECT_TRUE(IsChecked(w, "RadioSelected"));
    EXPECT_TRUE(IsEmphasised(w, "RadioSelected"));
    EXPECT_FALSE(IsEmphasised(w, "RadioFolder"));
    EXPECT_FALSE(IsEnabled(w, "ButtonPickFolder"));
    EXPECT_FALSE(IsEnabled(w, "CheckInclSubfolders"));
    EXPECT_EQ(GetText(w, "EditFoldername"), "");
    for (const char* box : kActionBoxes) {
        EXPECT_FALSE(IsChecked(w, box)) << box;
        EXPECT_FALSE(IsEmphasised(w, box)) << box;
    }
    for (const char* button : kEditButtons) EXPECT_FALSE(IsEnabled(w, button)) << button;
}

TEST_F(MainWindowEditing, OpensWithTheDefaultsAndAlwaysTicksRemember)
{
    EXPECT_EQ(Open([&](TFormMain& w) {
                  EXPECT_EQ(w.windowTitle(), "Trovanta");
                  EXPECT_EQ(Child<QCheckBox>(w, "CheckUseFilter")->text(), "Use filter");
                  EXPECT_EQ(Child<QCheckBox>(w, "CheckCopyEmails1")->text(), "1. Copy e-mails to folder");
                  EXPECT_EQ(Child<QCheckBox>(w, "CheckReimport")->text(), "3. Reimport .QEL-shortcuts");
                  EXPECT_EQ(Child<QCheckBox>(w, "CheckSetUnRead")->text(), "7. Mark e-mails as unread");
                  EXPECT_EQ(Child<QCheckBox>(w, "CheckDeleteEmails")->text(), "10. Delete e-mails");
                  ExpectDefaults(w);
                  EXPECT_TRUE(IsChecked(w, "CheckRememberSettings"));
                  SetChecked(w, "CheckRememberSettings", false);
                  SetChecked(w, "CheckReimport", true);
                  // Escape is "Cancel": the window closes and saves nothing.
                  QTest::keyClick(&w, Qt::Key_Escape);
              }),
              TFormMain::mrCancel);
    EXPECT_FALSE(KeyExists(RegKeyAdHoc));
    EXPECT_EQ(Open([&](TFormMain& w) {
                  EXPECT_TRUE(IsChecked(w, "CheckRememberSettings"));
                  EXPECT_FALSE(IsChecked(w, "CheckReimport"));
                  Click(w, "ButtonCancel");
              }),
              TFormMain::mrCancel);
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(MainWindowEditing, RememberedJobFillsTheControlsWithoutOpeningAnEditor)
{
    FullJob().SaveToRegistry(RegKeyAdHoc);
    Open([&](TFormMain& w) {
        EXPECT_EQ(QApplication::activeModalWidget(), &w);
        EXPECT_TRUE(IsChecked(w, "RadioFolder"));
        EXPECT_TRUE(IsEmphasised(w, "RadioFolder"));
        EXPECT_FALSE(IsEmphasised(w, "RadioSelected"));
        EXPECT_TRUE(IsEnabled(w, "ButtonPickFolder"));
        EXPECT_EQ(GetText(w, "EditFoldername"), "Mailbox \\ Inbox");
        EXPECT_EQ(Child<QLineEdit>(w, "EditFoldername")->toolTip(), "Mailbox \\ Inbox");
        EXPECT_TRUE(IsChecked(w, "CheckInclSubfolders"));
        EXPECT_TRUE(IsEnabled(w, "CheckInclSubfolders"));
        for (const char* box :
             {"CheckUseFilter", "CheckExportEmails", "CheckReimport", "CheckSetUnRead", "CheckMoveEmails"}) {
            EXPECT_TRUE(IsChecked(w, box)) << box;
            EXPECT_TRUE(IsEmphasised(w, box)) << box;
        }
        for (const char* box : {"CheckCopyEmails1", "CheckSaveAtts", "CheckSetRead", "CheckDeleteEmails"})
            EXPECT_FALSE(IsChecked(w, box)) << box;
        for (const char* button : {"ButtonFilter", "ButtonExportEmails", "ButtonMoveEmails"})
            EXPECT_TRUE(IsEnabled(w, button)) << button;
        for (const char* button : {"ButtonCopyEmails1", "ButtonSaveAtts", "ButtonCopyEmails2"})
            EXPECT_FALSE(IsEnabled(w, button)) << button;
        Click(w, "ButtonCancel");
    });
    EXPECT_EQ(shownJob.MoveEmails().FullName, "Mailbox \\ Archive");
    EXPECT_EQ(shownJob.Filter().SenderIncl().Text(), "*@example.com\r\n");
}

TEST_F(MainWindowEditing, UnreadableRememberedJobOpensWithTheDefaultsSilently)
{
    FullJob().SaveToRegistry(RegKeyAdHoc);
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(std::string(RegKeyAdHoc) + "\\Source", false));
        registry.WriteString("Source", "not a number");
    }
    Open([&](TFormMain& w) {
        ExpectDefaults(w);
        Click(w, "ButtonCancel");
    });
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(MainWindowEditing, ResetShowsTheDefaultsAndWritesNothing)
{
    FullJob().SaveToRegistry(RegKeyAdHoc);
    const std::string before = HiveText();
    Open([&](TFormMain& w) {
        Click(w, "ButtonReset");
        ExpectDefaults(w);
        Click(w, "ButtonCancel");
    });
    EXPECT_EQ(shownJob.Source().Entry, "");
    EXPECT_FALSE(shownJob.ExportEmails().Active);
    EXPECT_EQ(shownJob.ExportEmails().DestPath, "");
    EXPECT_EQ(HiveText(), before);
}

TEST_F(MainWindowEditing, ReadAndUnreadExcludeEachOtherAndNeitherIsModeZero)
{
    TManualOptions job = InboxJob();
    job.Reimport().Active = true;
    job.SaveToRegistry(RegKeyAdHoc);
    const fs::path file = home_.Path() / "modes.qef";
    std::vector<int> modes;
    const auto saveAndReadMode = [&](TFormMain& w) {
        user_->FileNames.push_back(file.string());
        Click(w, "ButtonSave");
        TManualOptions saved;
        saved.LoadFromFile(file.string());
        modes.push_back(saved.ReadUnread().Mode);
    };
    Open([&](TFormMain& w) {
        SetChecked(w, "CheckSetRead", true);
        saveAndReadMode(w);
        SetChecked(w, "CheckSetUnRead", true);
        EXPECT_FALSE(IsChecked(w, "CheckSetRead"));
        EXPECT_FALSE(IsEmphasised(w, "CheckSetRead"));
        EXPECT_TRUE(IsEmphasised(w, "CheckSetUnRead"));
        saveAndReadMode(w);
        SetChecked(w, "CheckSetRead", true);
        EXPECT_FALSE(IsChecked(w, "CheckSetUnRead"));
        SetChecked(w, "CheckSetRead", false);
        saveAndReadMode(w);
        Click(w, "ButtonCancel");
    });
    EXPECT_EQ(modes, (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(MainWindowEditing, LoadDefTakesANameWithoutItsExtensionInTheRealOpenDialog)
{
    const fs::path folder = home_.Path() / "defs";
    fs::create_directories(folder);
    FullJob().SaveToFile((folder / "full.qef").string());
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    auto scripted = ui::SetUserInterface(std::make_unique<ui::QtUserInterface>());
    Open([&](TFormMain& w) {
        WhenModal<QFileDialog>([&](QFileDialog& dialog) {
            dialog.findChild<QLineEdit*>("fileNameEdit")
                ->setText(QString::fromStdString((folder / "full").string()));
            test::ScreenshotIfAsked(dialog, "load-def-open-dialog");
            QMetaObject::invokeMethod(&dialog, "accept");  // as the Open button does
        });
        Click(w, "ButtonLoad");
        EXPECT_TRUE(IsChecked(w, "CheckMoveEmails")) << "full.qef was loaded";
        Click(w, "ButtonCancel");
    });
    ui::SetUserInterface(std::move(scripted));
}

TEST_F(MainWindowEditing, JobRoundTripsThroughADefinitionFile)
{
    const TManualOptions job = FullJob();
    job.SaveToRegistry(RegKeyAdHoc);
    const fs::path folder = home_.Path() / "defs";
    fs::create_directories(folder);
    Open([&](TFormMain& w) {
        // A name without extension is saved with ".qef".
        user_->FileNames.push_back((folder / "full").string());
        Click(w, "ButtonSave");
        Click(w, "ButtonReset");
        ExpectDefaults(w);
        user_->FileNames.push_back((folder / "full.qef").string());
        Click(w, "ButtonLoad");
        EXPECT_EQ(QApplication::activeModalWidget(), &w);  // filling the controls opens no editor
        EXPECT_TRUE(IsChecked(w, "RadioFolder"));
        EXPECT_EQ(GetText(w, "EditFoldername"), "Mailbox \\ Inbox");
        EXPECT_TRUE(IsChecked(w, "CheckSetUnRead"));
        EXPECT_TRUE(IsChecked(w, "CheckMoveEmails"));
        EXPECT_TRUE(IsEnabled(w, "ButtonMoveEmails"));
        // The next save starts in the loaded file's folder, with its name.
        user_->FileNames.push_back(std::nullopt);
        Click(w, "ButtonSave");
        Click(w, "ButtonCancel");
    });
    ASSERT_TRUE(fs::exists(folder / "full.qef"));
    EXPECT_FALSE(fs::exists(folder / "full"));
    TManualOptions saved;
    saved.LoadFromFile((folder / "full.qef").string());
    for (const TManualOptions* part : {&saved, &shownJob}) {
        EXPECT_EQ(part->Source().Entry, job.Source().Entry);
        EXPECT_EQ(part->Source().FullName, "Mailbox \\ Inbox");
        EXPECT_TRUE(part->Source().InclSubFolders);
        EXPECT_TRUE(part->Filter().Active);
        EXPECT_EQ(part->Filter().SenderIncl().Text(), "*@example.com\r\n");
        EXPECT_TRUE(part->ExportEmails().Active);
        EXPECT_EQ(part->ExportEmails().DestPath, job.ExportEmails().DestPath);
        EXPECT_TRUE(part->Reimport().Active);
        EXPECT_EQ(part->ReadUnread().Mode, 2);
        EXPECT_TRUE(part->MoveEmails().Active);
        EXPECT_EQ(part->MoveEmails().Entry, job.MoveEmails().Entry);
        EXPECT_FALSE(part->CopyEmails1().Active);
        EXPECT_FALSE(part->DeleteEmails().Active);
    }
    ASSERT_EQ(user_->FileDialogs.size(), 3u);
    EXPECT_EQ(user_->FileDialogs[0].Title, "Save settings to a file");
    EXPECT_EQ(user_->FileDialogs[0].Filter, "Definition files (*.qef)|*.qef|All files (*.*)|*.*");
    EXPECT_TRUE(user_->FileDialogs[0].OverwritePrompt);
    EXPECT_EQ(user_->FileDialogs[1].Title, "Load settings from a file");
    EXPECT_EQ(user_->FileDialogs[1].InitialDir, folder.string());
    EXPECT_EQ(user_->FileDialogs[1].FileName, "full.qef");
    EXPECT_EQ(user_->FileDialogs[2].InitialDir, folder.string());
    EXPECT_EQ(user_->FileDialogs[2].FileName, "full.qef");
}

TEST_F(MainWindowEditing, LoadPutsOnTheExtensionOnlyWhereNoBareFileExists)
{
    const fs::path folder = home_.Path() / "defs";
    TManualOptions job;
    job.Reimport().Active = true;
    fs::create_directories(folder);
    job.SaveToFile((folder / "alpha.qef").string());
    job.Reimport().Active = false;
    job.ReadUnread().Mode = 1;
    job.SaveToFile((folder / "beta").string());
    job.ReadUnread().Mode = 2;
    job.SaveToFile((folder / "beta.qef").string());
    Open([&](TFormMain& w) {
        user_->FileNames.push_back((folder / "alpha").string());
        Click(w, "ButtonLoad");
        EXPECT_TRUE(IsChecked(w, "CheckReimport"));
        user_->FileNames.push_back((folder / "beta").string());
        Click(w, "ButtonLoad");
        EXPECT_FALSE(IsChecked(w, "CheckReimport"));
        EXPECT_TRUE(IsChecked(w, "CheckSetRead"));
        // A cancelled dialog changes nothing.
        SetChecked(w, "CheckReimport", true);
        user_->FileNames.push_back(std::nullopt);
        Click(w, "ButtonLoad");
        EXPECT_TRUE(IsChecked(w, "CheckReimport"));
        Click(w, "ButtonCancel");
    });
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(MainWindowEditing, InvalidJobIsNeitherSavedNorAskedForAFileName)
{
    InboxJob().SaveToRegistry(RegKeyAdHoc);
    Open([&](TFormMain& w) {
        Click(w, "ButtonSave");
        SetChecked(w, "CheckReimport", true);
        Click(w, "RadioSelected");
        Click(w, "ButtonSave");  // the selected items: no explorer shows any
        Click(w, "ButtonCancel");
    });
    EXPECT_TRUE(user_->FileDialogs.empty());
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"Trovanta|No actions defined for processing the e-mails.",
                                        "Trovanta|Source items:\r\n\r\nNo active Explorer available."}));
}

TEST_F(MainWindowEditing, TickingAnActionOpensItsEditorWithTheBoxCaption)
{
    const fs::path dest = home_.Path() / "out";
    fs::create_directories(dest);
    TOptions_ExportEmails seen;
    Open([&](TFormMain& w) {
        // Cancelled: the box stays ticked, the part unchanged.
        WhenModal<TFormEditJob_ExportEmails>([&](TFormEditJob_ExportEmails& editor) {
            EXPECT_EQ(editor.windowTitle(), "2. Export e-mails");
            EXPECT_EQ(editor.parentWidget(), &w);
            Click(editor, "ButtonCancel");
        });
        Click(w, "CheckExportEmails");
        EXPECT_TRUE(IsChecked(w, "CheckExportEmails"));
        EXPECT_TRUE(IsEnabled(w, "ButtonExportEmails"));
        // OK copies the editor's record back into the job.
        WhenModal<TFormEditJob_ExportEmails>([&](TFormEditJob_ExportEmails& editor) {
            SetText(editor, "EditDestPath", dest.string());
            SetText(editor, "EditMask", "[B]");
            Click(editor, "ButtonOK");
        });
        Click(w, "ButtonExportEmails");
        // Unticking opens nothing; ticking again shows the part as it is now.
        Click(w, "CheckExportEmails");
        EXPECT_FALSE(IsEnabled(w, "ButtonExportEmails"));
        WhenModal<TFormEditJob_ExportEmails>([&](TFormEditJob_ExportEmails& editor) {
            seen = editor.OptionsCopy;
            Click(editor, "ButtonCancel");
        });
        Click(w, "CheckExportEmails");
        EXPECT_TRUE(IsChecked(w, "CheckExportEmails"));
        Click(w, "ButtonCancel");
    });
    EXPECT_EQ(seen.DestPath, dest.string());
    EXPECT_EQ(shownJob.ExportEmails().DestPath, dest.string());
    EXPECT_EQ(shownJob.ExportEmails().Mask, "[B]");
}

TEST_F(MainWindowEditing, CopyMoveAndFilterEditorsGetTheirModeAndCaption)
{
    std::vector<std::string> captions;
    std::vector<bool> moveModes;
    const auto copyMove = [&](TFormEditJob_CopyMove& editor) {
        captions.push_back(editor.windowTitle().toStdString());
        moveModes.push_back(editor.MoveMode);
        EXPECT_EQ(editor.OutlookApp, app.Get());
        Click(editor, "ButtonCancel");
    };
    Open([&](TFormMain& w) {
        WhenModal<TFormEditFilter>([&](TFormEditFilter& editor) {
            captions.push_back(editor.windowTitle().toStdString());
            Click(editor, "ButtonCancel");
        });
        Click(w, "CheckUseFilter");
        for (const char* box : {"CheckCopyEmails1", "CheckCopyEmails2", "CheckMoveEmails"}) {
            WhenModal<TFormEditJob_CopyMove>(copyMove);
            Click(w, box);
        }
        Click(w, "ButtonCancel");
    });
    EXPECT_EQ(captions, (std::vector<std::string>{"Use filter", "1. Copy e-mails to folder",
                                                  "8. Copy e-mails to folder", "9. Move e-mails to folder"}));
    EXPECT_EQ(moveModes, (std::vector<bool>{false, false, true}));
}

TEST_F(MainWindowEditing, OutlookFolderWithoutAStoredFolderOpensThePicker)
{
    int picks = 0;
    ComPtr<IMAPIFolder> answer;
    const ScopedChooser chooser([&](QWidget*, outlook::INameSpace&) {
        ++picks;
        return answer;
    });
    Open([&](TFormMain& w) {
        Click(w, "RadioFolder");
        EXPECT_EQ(picks, 1);
        EXPECT_EQ(GetText(w, "EditFoldername"), "");
        EXPECT_TRUE(IsEnabled(w, "ButtonPickFolder"));
        EXPECT_TRUE(IsEnabled(w, "CheckInclSubfolders"));
        SetChecked(w, "CheckReimport", true);
        Click(w, "ButtonStart");  // no folder: validation fails, nothing is asked
        answer = Folder("Archive");
        Click(w, "ButtonPickFolder");
        EXPECT_EQ(GetText(w, "EditFoldername"), "Mailbox \\ Archive");
        EXPECT_EQ(Child<QLineEdit>(w, "EditFoldername")->toolTip(), "Mailbox \\ Archive");
        Click(w, "RadioSelected");
        Click(w, "RadioFolder");  // a folder is stored now: no picker
        EXPECT_EQ(picks, 2);
        Click(w, "ButtonCancel");
    });
    EXPECT_EQ(Shown(),
              std::vector<std::string>{"Trovanta|Source items:\r\n\r\nYou must specify an Outlook folder."});
    EXPECT_EQ(shownJob.Source().Entry, Folder("Archive")->EntryID());
    EXPECT_EQ(shownJob.Source().Store, Folder("Archive")->StoreID());
}

TEST_F(MainWindowEditing, RenamedSourceFolderIsShownEmpty)
{
    TManualOptions job;
    const ComPtr<IMAPIFolder> archive = Folder("Archive");
    job.Source() = {1, archive->EntryID(), archive->StoreID(), "Mailbox \\ Archive", false};
    job.SaveToRegistry(RegKeyAdHoc);
    fs::rename(mailRoot / "Archive", mailRoot / "Old");
    Open([&](TFormMain& w) {
        EXPECT_TRUE(IsChecked(w, "RadioFolder"));
        EXPECT_EQ(GetText(w, "EditFoldername"), "");
        Click(w, "ButtonCancel");
    });
    EXPECT_EQ(shownJob.Source().Entry, "");
    EXPECT_EQ(shownJob.Source().Store, "");
    EXPECT_EQ(shownJob.Source().FullName, "");
}

TEST_F(MainWindowEditing, LinksOpenSendOptionsAboutAndHelp)
{
    TSendOptions send;
    send.ReplaceMode = 1;
    send.SaveToRegistry(RegKeySend);
    Open([&](TFormMain& w) {
        WhenModal<TFormEditSendOptions>([&](TFormEditSendOptions& editor) {
            EXPECT_TRUE(IsChecked(editor, "RadioAlways"));
            SetChecked(editor, "RadioNever", true);
            Click(editor, "ButtonCancel");
        });
        ClickLink(w, "LabelSendOptions");
        WhenModal<TFormEditSendOptions>([&](TFormEditSendOptions& editor) {
            EXPECT_TRUE(IsChecked(editor, "RadioAlways"));
            SetChecked(editor, "RadioNever", true);
            Click(editor, "ButtonOK");
        });
        ClickLink(w, "LabelSendOptions");
        WhenModal<TFormAbout>([&](TFormAbout& about) {
            EXPECT_EQ(about.parentWidget(), &w);
            QTest::keyClick(&about, Qt::Key_Escape);
        });
        ClickLink(w, "LabelInfo");
        ClickLink(w, "LabelHelp");
        Click(w, "ButtonCancel");
    });
    TSendOptions stored;
    stored.LoadFromRegistry(RegKeySend);
    EXPECT_EQ(stored.ReplaceMode, 2);
    EXPECT_EQ(user_->HelpTopics, std::vector<int>{10});
}

}  // namespace
