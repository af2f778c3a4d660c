// The copy/move editor on a real Maildir store: the stored target folder checked against the
// store when the window opens, picking a folder, and the copy and move validation.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include <filesystem>

#include "engine/OutlookTools.h"
#include "platform/com/ComError.h"
#include "platform/outlook/Application.h"
#include "tests/support/Maildir.h"
#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditJob_CopyMove.h"
#include "windows/OutlookFolderPicker.h"

namespace {

using namespace editor_test;
using outlook::IMAPIFolder;
namespace fs = std::filesystem;

/// "Mailbox" with Inbox, Inbox/Projects and Archive; the record targets Projects, its path
/// stored in other letter case.
class CopyMoveEditor : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        test::MaildirBuilder builder(mailRoot);
        builder.Folder("Inbox/Projects");
        builder.Folder("Archive");
        outlook::ApplicationConfig config;
        config.stores.push_back({"Mailbox", mailRoot.string(), outlook::StoreLayout::Nested});
        app = outlook::CreateApplication(config);
        const ComPtr<IMAPIFolder> inbox = app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
        projects = ForceFolderPath(inbox, "Projects");
        archive = ForceFolderPath(inbox->Parent().As<IMAPIFolder>(), "Archive");
        record = {true, projects->EntryID(), projects->StoreID(), "mailbox \\ INBOX \\ projects", "[Y]"};
    }
    bool Edit(bool moveMode, std::function<void(TFormEditJob_CopyMove&)> script)
    {
        TFormEditJob_CopyMove form(nullptr);
        form.OptionsCopy.Assign(record);
        form.OutlookApp = app.Get();
        form.MoveMode = moveMode;
        WhenModal<TFormEditJob_CopyMove>(std::move(script));
        const bool ok = form.Execute();
        if (ok) record.Assign(form.OptionsCopy);
        return ok;
    }

    fs::path mailRoot = home_.Path() / "Mail";
    ComPtr<outlook::IOutlookApplication> app;
    ComPtr<IMAPIFolder> projects;
    ComPtr<IMAPIFolder> archive;
    TOptions_CopyMove record;
};

TEST_F(CopyMoveEditor, StoredFolderShowsAsTheStoreNowWritesIt)
{
    ASSERT_TRUE(Edit(false, [&](TFormEditJob_CopyMove& w) {
        auto* name = Child<QLineEdit>(w, "EditFoldername");
        EXPECT_EQ(name->text(), "Mailbox \\ Inbox \\ Projects");
        EXPECT_EQ(name->toolTip(), "Mailbox \\ Inbox \\ Projects");
        EXPECT_TRUE(name->isReadOnly());
        EXPECT_EQ(Child<QGroupBox>(w, "GroupFolder")->title(), " Copy e-mails to folder ");
        EXPECT_EQ(Child<QLabel>(w, "Label1")->text(), "Copy e-mails into the Outlook-folder:");
        EXPECT_EQ(GetText(w, "EditMask"), "[Y]");
        SetText(w, "EditMask", " [Y]\\[M] ");
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(record.FullName, "Mailbox \\ Inbox \\ Projects");
    EXPECT_EQ(record.Entry, projects->EntryID());
    EXPECT_EQ(record.Mask, "[Y]\\[M]");
    EXPECT_TRUE(record.Active);
}

TEST_F(CopyMoveEditor, RenamedFolderShowsAsNotChosenAndOKFailsUntilOneIsPicked)
{
    fs::rename(mailRoot / "Inbox" / "Projects", mailRoot / "Inbox" / "Plans");
    const ScopedChooser chooser([&](QWidget*, outlook::INameSpace&) { return archive; });
    ASSERT_TRUE(Edit(true, [&](TFormEditJob_CopyMove& w) {
        EXPECT_EQ(GetText(w, "EditFoldername"), "");
        EXPECT_EQ(Child<QGroupBox>(w, "GroupFolder")->title(), " Move e-mails to folder ");
        EXPECT_EQ(Child<QLabel>(w, "Label1")->text(), "Move e-mails into the Outlook-folder:");
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        Click(w, "ButtonPickFolder");
        EXPECT_EQ(GetText(w, "EditFoldername"), "Mailbox \\ Archive");
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "Trovanta|Move e-mails to folder:\r\n\r\nYou must specify an Outlook folder."});
    EXPECT_EQ(record.Entry, archive->EntryID());
    EXPECT_EQ(record.Store, archive->StoreID());
    EXPECT_EQ(record.FullName, "Mailbox \\ Archive");
}

TEST_F(CopyMoveEditor, DeletedFolderOrNoMailClientEmptiesTheStoredFolder)
{
    fs::remove_all(mailRoot / "Inbox" / "Projects");
    EXPECT_FALSE(Edit(false, [&](TFormEditJob_CopyMove& w) {
        auto& form = static_cast<TFormEditJob_CopyMove&>(w);
        EXPECT_EQ(form.OptionsCopy.Entry, "");
        EXPECT_EQ(form.OptionsCopy.Store, "");
        EXPECT_EQ(form.OptionsCopy.FullName, "");
        Click(w, "ButtonOK");
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "Trovanta|Copy e-mails to folder:\r\n\r\nYou must specify an Outlook folder."});
    EXPECT_EQ(record.Entry, projects->EntryID());  // the caller's record is untouched
}

TEST_F(CopyMoveEditor, CancelledOrFailingPickChangesNothing)
{
    bool fail = false;
    const ScopedChooser chooser([&](QWidget*, outlook::INameSpace&) -> ComPtr<IMAPIFolder> {
        if (fail) throw ComError(E_FAIL, "The folder list cannot be read.");
        return nullptr;
    });
    ASSERT_TRUE(Edit(false, [&](TFormEditJob_CopyMove& w) {
        Click(w, "ButtonPickFolder");
        EXPECT_EQ(GetText(w, "EditFoldername"), "Mailbox \\ Inbox \\ Projects");
        fail = true;
        Click(w, "ButtonPickFolder");
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(GetText(w, "EditFoldername"), "Mailbox \\ Inbox \\ Projects");
        Click(w, "ButtonOK");
    }));
    EXPECT_EQ(Shown(), std::vector<std::string>{"Trovanta|The folder list cannot be read."});
    EXPECT_EQ(record.Entry, projects->EntryID());
}

TEST_F(CopyMoveEditor, MaskWithUnknownOrAttachmentPlaceholdersIsRefused)
{
    EXPECT_FALSE(Edit(false, [&](TFormEditJob_CopyMove& w) {
        SetText(w, "EditMask", "[F]");
        Click(w, "ButtonOK");
        EXPECT_TRUE(w.isVisible());
        Click(w, "ButtonCancel");
    }));
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "Trovanta|Copy e-mails to folder:\r\n\r\nInvalid subfolder/file mask: [F]."});
}

TEST_F(CopyMoveEditor, FolderDialogListsTheStoresFoldersAndReturnsTheChosenOne)
{
    const auto choose = [&](const char* name, const char* button) {
        WhenModal<QDialog>([=](QDialog& d) {
            EXPECT_EQ(d.objectName(), "OutlookFolderPicker");
            auto* tree = Child<QTreeWidget>(d, "TreeFolders");
            const QList<QTreeWidgetItem*> found =
                tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
            ASSERT_EQ(found.size(), 1);
            tree->setCurrentItem(found[0]);
            Click(d, button);
        });
        return PickOutlookFolder(nullptr, *app);
    };
    const ComPtr<IMAPIFolder> chosen = choose("Projects", "ButtonOK");
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(IsSameFolder(chosen, projects));
    EXPECT_FALSE(choose("Archive", "ButtonCancel"));
}

}  // namespace
