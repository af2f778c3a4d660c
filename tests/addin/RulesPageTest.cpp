// The rules page as the options dialog drives it: loading, the list and its buttons, the
// rule editor, the dirty notification and Apply.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "addin/QEL_OptionPageControl.h"
#include "jobs/FileTools.h"
#include "platform/runtime/Registry.h"
#include "platform/ui/ApplicationObject.h"
#include "tests/platform/com/ComSandbox.h"
#include "tests/support/ui/ScriptedUserInterface.h"
#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditAutoOption.h"
#include "windows/FrmEditJob_ExportEmails.h"

namespace {

using Row = std::vector<std::string>;

TJobOptions Rule(const std::string& sender, bool exportEmails, bool saveAttachments)
{
    TJobOptions job;
    job.Sender = sender;
    job.ExportEmails().Active = exportEmails;
    job.ExportEmails().DestPath = "/tmp/exports";
    job.SaveAttachments().Active = saveAttachments;
    job.SaveAttachments().DestPath = "/tmp/attachments";
    return job;
}

void StoreRules(bool active, const std::vector<TJobOptions>& rules)
{
    TAutoOptions options;
    options.Active = active;
    for (const TJobOptions& rule : rules) options.Jobs().NewJob().Assign(rule);
    options.SaveToRegistry(RegKeyAuto);
}

std::vector<std::string> StoredSenders(bool* active = nullptr)
{
    TAutoOptions options;
    options.LoadFromRegistry(RegKeyAuto);
    if (active) *active = options.Active;
    std::vector<std::string> senders;
    for (int i = 0; i < options.Jobs().Count(); ++i) senders.push_back(options.Jobs().Jobs(i).Sender);
    return senders;
}

/// The options dialog's site of the page, counting the page's status changes.
class CountingSite final : public ComObject<ui::IOleClientSite, outlook::IPropertyPageSite> {
public:
    HRESULT OnStatusChange() override
    {
        ++changes;
        return S_OK;
    }
    int changes = 0;
};

class RulesPageTest : public ::testing::Test {
protected:
    /// A window that a faulty script leaves open is closed, so the test fails instead of hanging.
    RulesPageTest()
    {
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            while (QWidget* open = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "window left open: " << open->objectName().toStdString();
                open->close();
            }
        });
        watchdog_.start(30000);
    }

    /// Creates the page as the options dialog does: the control, then its site.
    void OpenPage(bool withSite = true)
    {
        control_ = MakeCom<TQEL_OptionPageControl>();
        if (withSite) {
            site_ = MakeCom<CountingSite>();
            control_->SetClientSite(site_.Get());
        }
        control_->DoVerbShow(&container_);
        page_ = control_->Form();
    }
    template <class T = QWidget>
    T& Control(const char* name) const
    {
        T* child = page_->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return *child;
    }
    QTreeWidget& List() const { return Control<QTreeWidget>("ListView"); }
    Row RowTexts(int index) const
    {
        Row texts;
        for (int column = 0; column < 5; ++column)
            texts.push_back(List().topLevelItem(index)->text(column).toStdString());
        return texts;
    }
    void Select(int index) const { List().setCurrentItem(List().topLevelItem(index)); }
    bool Dirty() const
    {
        std::int16_t dirty = 0;
        EXPECT_EQ(control_->Dirty(&dirty), S_OK);
        return dirty != 0;
    }
    bool Enabled(const char* name) const { return Control<QPushButton>(name).isEnabled(); }

    test::ComSandbox sandbox_;
    ui::ScopedScriptedUi scripted_;
    QWidget container_;
    ComPtr<TQEL_OptionPageControl> control_;
    ComPtr<CountingSite> site_;
    TQEL_OptionPage* page_ = nullptr;
    QTimer watchdog_;
};

TEST_F(RulesPageTest, AFreshInstallationShowsProcessingOffAndNoRules)
{
    OpenPage();
    EXPECT_FALSE(Control<QCheckBox>("CheckActive").isChecked());
    EXPECT_EQ(List().topLevelItemCount(), 0);
    EXPECT_TRUE(Enabled("ButtonAdd"));
    for (const char* name : {"ButtonEdit", "ButtonDelete", "ButtonUp", "ButtonDown"})
        EXPECT_FALSE(Enabled(name));
    EXPECT_FALSE(Dirty());
    EXPECT_EQ(page_->parentWidget(), &container_);
    EXPECT_NE(page_->findChild<QObject*>("ThemeManager"), nullptr) << "the visual styles' one way in";

    std::string helpFile = "x";
    std::int32_t context = 7;
    EXPECT_EQ(control_->GetPageInfo(&helpFile, &context), S_OK);
    EXPECT_EQ(helpFile, "");
    EXPECT_EQ(context, 0);
}

TEST_F(RulesPageTest, RowsShowTheMasksAndWhichActionsAreOn)
{
    TJobOptions rule = Rule("*@example.com", true, false);
    rule.Recipient = "me@example.com";
    rule.Subject = "*Invoice*";
    StoreRules(true, {rule, Rule("boss@example.com", false, true)});
    OpenPage();
    EXPECT_TRUE(Control<QCheckBox>("CheckActive").isChecked());
    ASSERT_EQ(List().topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(0), (Row{"*@example.com", "me@example.com", "*Invoice*", "yes", "no"}));
    EXPECT_EQ(RowTexts(1), (Row{"boss@example.com", "*", "*", "no", "yes"}));
    EXPECT_FALSE(Dirty()) << "filling the page is no change";
}

TEST_F(RulesPageTest, UnreadableRulesGiveAnEmptyPage)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(RegKeyAuto, true));
    reg.WriteString("Active", "not a number");
    reg.CloseKey();
    OpenPage();
    EXPECT_FALSE(Control<QCheckBox>("CheckActive").isChecked());
    EXPECT_EQ(List().topLevelItemCount(), 0);
    EXPECT_TRUE(scripted_->Messages.empty());
}

TEST_F(RulesPageTest, UpAndDownAreOffAtTheEndsAndReorderTheRulesThatApplySaves)
{
    StoreRules(false, {Rule("first", true, false), Rule("second", false, true), Rule("third", true, true)});
    OpenPage();
    Select(0);
    EXPECT_FALSE(Enabled("ButtonUp"));
    EXPECT_TRUE(Enabled("ButtonDown"));
    Control<QPushButton>("ButtonUp").click();  // disabled: nothing happens
    Select(2);
    EXPECT_TRUE(Enabled("ButtonUp"));
    EXPECT_FALSE(Enabled("ButtonDown"));

    Select(0);
    Control<QPushButton>("ButtonDown").click();
    EXPECT_EQ(RowTexts(0)[0], "second");
    EXPECT_EQ(RowTexts(1), (Row{"first", "*", "*", "yes", "no"}));
    EXPECT_EQ(List().currentItem(), List().topLevelItem(1)) << "the moved row stays selected";
    EXPECT_TRUE(Enabled("ButtonUp"));
    EXPECT_TRUE(Dirty());
    EXPECT_EQ(StoredSenders(), (std::vector<std::string>{"first", "second", "third"})) << "not before Apply";

    Control<QPushButton>("ButtonUp").click();
    Select(2);
    Control<QPushButton>("ButtonUp").click();
    EXPECT_EQ(control_->Apply(), S_OK);
    EXPECT_FALSE(Dirty());
    EXPECT_EQ(StoredSenders(), (std::vector<std::string>{"first", "third", "second"}));
}

TEST_F(RulesPageTest, RemoveTakesTheSelectedRuleWithoutAskingAndLeavesNoKeyBehind)
{
    StoreRules(true, {Rule("first", true, false), Rule("second", false, true)});
    OpenPage();
    Control<QPushButton>("ButtonDelete").click();  // no selection: nothing
    EXPECT_EQ(List().topLevelItemCount(), 2);
    Select(0);
    Control<QPushButton>("ButtonDelete").click();
    ASSERT_EQ(List().topLevelItemCount(), 1);
    EXPECT_EQ(RowTexts(0)[0], "second");
    EXPECT_TRUE(scripted_->Messages.empty());
    EXPECT_EQ(control_->Apply(), S_OK);
    EXPECT_EQ(StoredSenders(), std::vector<std::string>{"second"});
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists(std::string(RegKeyAuto) + "\\Job2"));
}

TEST_F(RulesPageTest, ProcessingOnWithoutRulesIsRefusedWithTheMessageAndNothingIsSaved)
{
    OpenPage();
    Control<QCheckBox>("CheckActive").click();
    EXPECT_TRUE(Dirty());
    EXPECT_EQ(control_->Apply(), E_UNEXPECTED);
    ASSERT_EQ(scripted_->Messages.size(), 1u);
    const ui::AskedMessage& box = scripted_->Messages[0];
    EXPECT_EQ(box.Text,
              "If you want to process incoming e-mails, then you must add at least one job definition to the "
              "list.");
    EXPECT_EQ(box.Caption, "Trovanta");
    EXPECT_EQ(box.Icon, ui::MsgIcon::Error);
    EXPECT_EQ(box.Owner, page_) << "the page owns the box while Apply runs";
    EXPECT_EQ(ui::Application().Handle(), nullptr) << "and lets go afterwards";
    EXPECT_TRUE(Dirty());
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists(RegKeyAuto));

    Control<QCheckBox>("CheckActive").click();  // off again: an empty list is fine
    EXPECT_EQ(control_->Apply(), S_OK);
    bool active = true;
    EXPECT_TRUE(StoredSenders(&active).empty());
    EXPECT_FALSE(active);
    EXPECT_TRUE(reg.KeyExists(RegKeyAuto));
}

TEST_F(RulesPageTest, TheDialogHearsOfTheFirstChangeAfterEachApplyOnly)
{
    StoreRules(false, {Rule("first", true, false), Rule("second", false, true)});
    OpenPage();
    EXPECT_EQ(site_->changes, 0);
    Control<QCheckBox>("CheckActive").click();
    Select(0);
    Control<QPushButton>("ButtonDown").click();
    EXPECT_EQ(site_->changes, 1);
    EXPECT_EQ(control_->Apply(), S_OK);
    Control<QPushButton>("ButtonUp").click();
    EXPECT_EQ(site_->changes, 2);
}

TEST_F(RulesPageTest, WithoutASiteThePageNeverTurnsDirtyButApplyStillSaves)
{
    OpenPage(false);
    StoreRules(false, {});
    Control<QCheckBox>("CheckActive").click();
    EXPECT_FALSE(Dirty());
    EXPECT_EQ(control_->Apply(), E_UNEXPECTED) << "processing on without rules is refused all the same";
    Control<QCheckBox>("CheckActive").click();
    EXPECT_EQ(control_->Apply(), S_OK);
}

TEST_F(RulesPageTest, AddAndEditGoThroughTheRuleEditorOwnedByThePage)
{
    StoreRules(false, {Rule("first", true, false)});
    OpenPage();
    QWidget* owner = nullptr;
    const test::TempDir exports;
    editor_test::WhenModal<TFormEditAutoOption>([&](TFormEditAutoOption& editor) {
        owner = editor.parentWidget();
        EXPECT_EQ(editor_test::GetText(editor, "EditSender"), "*") << "a new rule starts cleared";
        editor_test::SetText(editor, "EditSender", "new@example.com");
        editor_test::WhenModal<TFormEditJob_ExportEmails>([&](TFormEditJob_ExportEmails& part) {
            editor_test::SetText(part, "EditDestPath", exports.Path().string());
            editor_test::Click(part, "ButtonOK");
        });
        editor_test::SetChecked(editor, "CheckExportEmails", true);
        editor_test::Click(editor, "ButtonOK");
    });
    Control<QPushButton>("ButtonAdd").click();
    EXPECT_EQ(owner, page_);
    ASSERT_EQ(List().topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(1), (Row{"new@example.com", "*", "*", "yes", "no"}));
    EXPECT_EQ(List().currentItem(), List().topLevelItem(1));
    EXPECT_EQ(site_->changes, 1);

    editor_test::WhenModal<TFormEditAutoOption>([](TFormEditAutoOption& editor) {
        EXPECT_EQ(editor_test::GetText(editor, "EditSender"), "new@example.com");
        editor_test::SetText(editor, "EditSubject", "*Report*");
        editor_test::Click(editor, "ButtonOK");
    });
    Q_EMIT List().itemDoubleClicked(List().topLevelItem(1), 0);
    EXPECT_EQ(RowTexts(1), (Row{"new@example.com", "*", "*Report*", "yes", "no"}));

    editor_test::WhenModal<TFormEditAutoOption>([](TFormEditAutoOption& editor) {
        editor_test::SetText(editor, "EditSender", "discarded");
        editor_test::Click(editor, "ButtonCancel");
    });
    Select(0);
    Control<QPushButton>("ButtonEdit").click();
    EXPECT_EQ(RowTexts(0)[0], "first") << "a cancelled editor changes nothing";

    EXPECT_EQ(control_->Apply(), S_OK);
    EXPECT_EQ(StoredSenders(), (std::vector<std::string>{"first", "new@example.com"}));
}

TEST_F(RulesPageTest, InfoAndHelpLinksOpenTheAboutWindowAndTopicThirty)
{
    OpenPage();
    editor_test::WhenModal<QDialog>([&](QDialog& about) {
        // The window the page sits in owns it: the page's theme manager leaves it alone.
        EXPECT_EQ(about.parentWidget(), page_->window());
        about.accept();
    });
    const auto click = [this](const char* link) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&Control<QLabel>(link), &press);
        QApplication::sendEvent(&Control<QLabel>(link), &release);
    };
    click("LabelInfo");

    SetHelpHandler([](const std::string& file, int context) { return ui::Ui().ShowHelp(file, context); });
    click("LabelHelp");
    SetHelpHandler(nullptr);
    EXPECT_EQ(scripted_->HelpTopics, std::vector<int>{30});
}

}  // namespace

namespace {

TEST(OptionPageControl, AnswersTheFormsStandardPropertiesLateBound)
{
    const test::ComSandbox sandbox;
    const ui::ScopedScriptedUi scripted;
    const auto control = MakeCom<TQEL_OptionPageControl>();
    const auto dispatch = control.As<IDispatch>();
    ASSERT_TRUE(dispatch);
    EXPECT_TRUE(control.As<typelib::IQEL_OptionPage>());
    EXPECT_TRUE(control.As<outlook::IPropertyPage>());

    DISPID caption = DISPID_UNKNOWN;
    const std::string name = "caption";
    ASSERT_EQ(dispatch->GetIDsOfNames(IID{}, &name, 1, 0, &caption), S_OK);
    Variant value;
    ASSERT_EQ(InvokeMethod(*dispatch, caption, {}, &value), S_OK);
    EXPECT_EQ(value.ToString(), "QEL_OptionPage");

    DispArgs put({Variant(std::string("Rules"))});
    EXPECT_EQ(
        dispatch->Invoke(caption, IID{}, 0, DISPATCH_PROPERTYPUT, put.Params(), nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(control->Form()->windowTitle(), "Rules");

    DISPID active = DISPID_UNKNOWN;
    const std::string activeName = "Active";
    ASSERT_EQ(dispatch->GetIDsOfNames(IID{}, &activeName, 1, 0, &active), S_OK);
    DispArgs on({Variant(true)});
    EXPECT_EQ(
        dispatch->Invoke(active, IID{}, 0, DISPATCH_PROPERTYPUT, on.Params(), nullptr, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND)
        << "read-only";
    const std::string unknown = "Nothing";
    DISPID none = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID{}, &unknown, 1, 0, &none), DISP_E_UNKNOWNNAME);

    control->Close();
    EXPECT_EQ(control->Form(), nullptr);
    std::int16_t dirty = 0;
    EXPECT_EQ(control->Dirty(&dirty), E_UNEXPECTED) << "a closed page answers no more";
    EXPECT_EQ(InvokeMethod(*dispatch, caption, {}, &value), E_UNEXPECTED);
}

}  // namespace
