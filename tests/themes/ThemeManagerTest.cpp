// The theme manager: which controls it takes over and gives back, the main manager, forms made
// later, recreated list views, options, and following theme changes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <stdexcept>

#include "tests/themes/support/SampleForm.h"
#include "tests/themes/support/ThemeTestSupport.h"
#include "themes/ApplicationWindow.h"
#include "themes/ControlWindowProc.h"
#include "themes/ThemeMgr.h"
#include "themes/ThemeSrv.h"

using namespace themes;
using namespace themes_test;

namespace {

constexpr ControlKind kAllKinds[] = {
    ControlKind::ListView,     ControlKind::TabSheet, ControlKind::GroupBox, ControlKind::ButtonControl,
    ControlKind::SpeedButton,  ControlKind::TrackBar, ControlKind::Animate,  ControlKind::StatusBar,
    ControlKind::CheckListBox, ControlKind::Form,     ControlKind::Frame,    ControlKind::Panel,
    ControlKind::WinControl};

/// The lists a control is in.
std::vector<ControlKind> ListsOf(TThemeManager& manager, QWidget* control)
{
    std::vector<ControlKind> kinds;
    for (const ControlKind kind : kAllKinds) {
        if (manager.List(kind).Contains(control)) kinds.push_back(kind);
    }
    return kinds;
}

std::vector<ControlKind> Only(ControlKind kind)
{
    return {kind};
}

/// Counts the messages of one number that the manager's handlers see.
struct MessageCounter {
    explicit MessageCounter(TThemeManager& manager)
    {
        manager.OnControlMessage = [this](TThemeManager*, QWidget* control, TMessage& message, bool&) {
            Seen.emplace_back(control, message.Msg);
        };
    }
    int Count(QWidget* control, unsigned msg) const
    {
        return static_cast<int>(std::count(Seen.begin(), Seen.end(), std::make_pair(control, msg)));
    }
    std::vector<std::pair<QWidget*, unsigned>> Seen;
};

class ThemeManagerTest : public ::testing::Test {
protected:
    explicit ThemeManagerTest(const std::string& library = RecordingLibraryPath()) : library_(library) {}

    TThemeManager* Attach(QWidget* form)
    {
        auto* manager = new TThemeManager(form);
        manager->setObjectName(QStringLiteral("ThemeManager"));
        return manager;
    }

    ScopedThemeLibrary library_;
};

TEST_F(ThemeManagerTest, TakesTheControlsOfAFormOverClassByClass)
{
    SampleForm sample;
    TThemeManager* manager = Attach(sample.Form.get());
    EXPECT_EQ(TThemeManager::MainManager(), manager);
    manager->Loaded();

    EXPECT_EQ(ListsOf(*manager, sample.Form.get()), Only(ControlKind::Form));
    EXPECT_EQ(ListsOf(*manager, sample.Box), Only(ControlKind::GroupBox));
    EXPECT_EQ(ListsOf(*manager, sample.Button), Only(ControlKind::ButtonControl));
    EXPECT_EQ(ListsOf(*manager, sample.Check), Only(ControlKind::ButtonControl));
    EXPECT_EQ(ListsOf(*manager, sample.BitButton), Only(ControlKind::ButtonControl));
    EXPECT_EQ(ListsOf(*manager, sample.Speed), Only(ControlKind::SpeedButton));
    EXPECT_EQ(ListsOf(*manager, sample.Panel), Only(ControlKind::Panel));
    EXPECT_EQ(ListsOf(*manager, sample.Edit), Only(ControlKind::WinControl));
    EXPECT_EQ(ListsOf(*manager, sample.Frame), Only(ControlKind::Frame));
    EXPECT_EQ(ListsOf(*manager, sample.Tabs), Only(ControlKind::WinControl));
    EXPECT_EQ(ListsOf(*manager, sample.Sheet), Only(ControlKind::TabSheet));
    EXPECT_EQ(ListsOf(*manager, sample.List), Only(ControlKind::ListView));
    EXPECT_EQ(ListsOf(*manager, sample.Track), Only(ControlKind::TrackBar));
    EXPECT_EQ(ListsOf(*manager, sample.CheckList), Only(ControlKind::CheckListBox));
    EXPECT_EQ(ListsOf(*manager, sample.Status), Only(ControlKind::StatusBar));
    // Animations are not taken over by default, and not as any other control either.
    EXPECT_TRUE(ListsOf(*manager, sample.Animation).empty());
    // Qt's own parts of its composite widgets are no controls of the form.
    EXPECT_TRUE(ListsOf(*manager, sample.Tabs->tabBar()).empty());
    EXPECT_TRUE(ListsOf(*manager, sample.List->viewport()).empty());
}

TEST_F(ThemeManagerTest, AListBoxThatGetsOrLosesItsCheckBoxesChangesListsAndIsInOneOnly)
{
    SampleForm sample;
    auto* listBox = new QListWidget(sample.Form.get());
    listBox->ensurePolished();  // as a shown window's controls are
    TThemeManager* manager = Attach(sample.Form.get());
    manager->Loaded();
    EXPECT_EQ(ListsOf(*manager, listBox), Only(ControlKind::WinControl)) << "no check boxes yet";

    auto* row = new QListWidgetItem(QStringLiteral("Export e-mails"), listBox);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(Qt::Checked);
    listBox->setParent(sample.Frame);  // taken over again where it lands
    EXPECT_EQ(ListsOf(*manager, listBox), Only(ControlKind::CheckListBox));
    manager->UpdateControlSubclass(listBox, true);
    EXPECT_EQ(ListsOf(*manager, listBox), Only(ControlKind::CheckListBox));

    listBox->clear();
    manager->UpdateControlSubclass(listBox, true);
    EXPECT_EQ(ListsOf(*manager, listBox), Only(ControlKind::WinControl));
    row = new QListWidgetItem(QStringLiteral("Save attachments"), listBox);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    manager->UpdateControlSubclass(listBox, false);
    EXPECT_TRUE(ListsOf(*manager, listBox).empty()) << "given back by the list it was in";
}

TEST_F(ThemeManagerTest, TheOptionsChooseTheClassesTakenOver)
{
    SampleForm sample;
    auto* inside = new QLineEdit(sample.Box);
    TThemeManager* manager = Attach(sample.Form.get());
    manager->SetOptions((DefaultThemeOptions & ~TThemeOptions(toSubclassGroupBox | toSubclassButtons)) |
                        toSubclassAnimate);
    manager->Loaded();
    // A class whose option is off is left alone, not taken as a windowed control instead.
    EXPECT_TRUE(ListsOf(*manager, sample.Box).empty());
    EXPECT_TRUE(ListsOf(*manager, sample.Button).empty());
    EXPECT_EQ(ListsOf(*manager, inside), Only(ControlKind::WinControl))
        << "the box's controls are still walked";
    EXPECT_EQ(ListsOf(*manager, sample.Animation), Only(ControlKind::Animate));
    EXPECT_EQ(ListsOf(*manager, sample.Panel), Only(ControlKind::Panel));

    std::vector<int> counts;
    for (const ControlKind kind : kAllKinds) counts.push_back(manager->List(kind).Count());
    manager->SetOptions(manager->Options() ^ toSubclassDBLookup);
    manager->SubclassAllForms();
    std::vector<int> again;
    for (const ControlKind kind : kAllKinds) again.push_back(manager->List(kind).Count());
    EXPECT_EQ(again, counts) << "the lookup option changes nothing";
}

class RefusingButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != MessageEventType(CM_REFUSETHEMING)) return QPushButton::event(event);
        auto* message = static_cast<MessageEvent*>(event);
        message->Message.Result = 1;
        message->Answered = true;
        return true;
    }
};

TEST_F(ThemeManagerTest, ARefusedControlIsLeftAloneButItsChildrenAreStillTakenOver)
{
    SampleForm sample;
    auto* refusing = new RefusingButton(QStringLiteral("Help"), sample.Form.get());
    TThemeManager* manager = Attach(sample.Form.get());
    manager->OnAllowSubclassing = [&sample](TThemeManager*, QWidget* control, bool& allow) {
        if (control == sample.Panel) allow = false;
    };
    manager->Loaded();
    EXPECT_TRUE(ListsOf(*manager, sample.Panel).empty());
    EXPECT_EQ(ListsOf(*manager, sample.Edit), Only(ControlKind::WinControl));
    EXPECT_TRUE(ListsOf(*manager, refusing).empty());
}

TEST_F(ThemeManagerTest, GivingControlsBackRestoresExactlyWhatTheyHad)
{
    SampleForm sample;
    QAbstractItemDelegate* ownDelegate = sample.CheckList->itemDelegate();
    TThemeManager* manager = Attach(sample.Form.get());
    MessageCounter counter(*manager);
    manager->Loaded();
    EXPECT_NE(sample.CheckList->itemDelegate(), ownDelegate);

    // A windowed control goes back with its windowed descendants.
    manager->List(ControlKind::Panel).RemoveControl(sample.Panel);
    EXPECT_TRUE(ListsOf(*manager, sample.Edit).empty());
    SendControlMessage(sample.Edit, WM_THEMECHANGED);
    EXPECT_EQ(counter.Count(sample.Edit, WM_THEMECHANGED), 0);
    SendControlMessage(sample.Button, WM_THEMECHANGED);
    EXPECT_EQ(counter.Count(sample.Button, WM_THEMECHANGED), 1);

    delete manager;
    EXPECT_EQ(sample.CheckList->itemDelegate(), ownDelegate);
    EXPECT_EQ(TThemeManager::MainManager(), nullptr);
}

TEST_F(ThemeManagerTest, AddingTwiceOrAControlOfAnotherClassIsRefused)
{
    SampleForm sample;
    TThemeManager* manager = Attach(sample.Form.get());
    TWindowProcList& buttons = manager->List(ControlKind::ButtonControl);
    EXPECT_EQ(buttons.AddControl(sample.Button), 0);
    EXPECT_EQ(buttons.AddControl(sample.Button), -1);
    EXPECT_EQ(buttons.AddControl(sample.Box), -1);
    EXPECT_EQ(buttons.Count(), 1);
}

TEST_F(ThemeManagerTest, ListsFindTheirControlsAfterSortingAgain)
{
    SampleForm sample;
    TThemeManager* manager = Attach(sample.Form.get());
    MessageCounter counter(*manager);
    std::vector<QWidget*> buttons{new QPushButton(sample.Form.get()), new QPushButton(sample.Form.get()),
                                  new QPushButton(sample.Form.get())};
    std::sort(buttons.begin(), buttons.end(), std::less<QWidget*>());
    QWidget* low = buttons[0];
    QWidget* middle = buttons[1];
    QWidget* high = buttons[2];
    TWindowProcList& list = manager->List(ControlKind::ButtonControl);
    list.AddControl(high);
    EXPECT_TRUE(list.Contains(high));  // the last hit is cached
    list.AddControl(low);
    EXPECT_FALSE(list.Contains(middle));  // sorts: high moves behind low
    list.RemoveControl(high);
    EXPECT_FALSE(list.Contains(high));
    EXPECT_TRUE(list.Contains(low));
    SendControlMessage(low, WM_THEMECHANGED);
    SendControlMessage(high, WM_THEMECHANGED);
    EXPECT_EQ(counter.Count(low, WM_THEMECHANGED), 1);
    EXPECT_EQ(counter.Count(high, WM_THEMECHANGED), 0);
}

TEST_F(ThemeManagerTest, ASecondManagerSharesTheOptionsAndTakesOverWhenTheFirstGoes)
{
    SampleForm first;
    SampleForm second;
    TThemeManager* main = Attach(first.Form.get());
    main->Loaded();
    TThemeManager* other = Attach(second.Form.get());
    other->Loaded();
    EXPECT_TRUE(other->Inactive());
    EXPECT_EQ(other->Options(), main->Options());

    const TThemeOptions options = DefaultThemeOptions | toAlternateTabSheetDraw;
    other->SetOptions(options);
    EXPECT_EQ(main->Options(), options);
    EXPECT_EQ(other->Options(), DefaultThemeOptions);

    // Only the main manager takes controls over; the second form waits for the hand-over.
    EXPECT_TRUE(ListsOf(*main, second.Button).empty());
    EXPECT_TRUE(ListsOf(*other, second.Button).empty());
    delete main;
    EXPECT_EQ(TThemeManager::MainManager(), other);
    EXPECT_FALSE(other->Inactive());
    EXPECT_EQ(ListsOf(*other, second.Button), Only(ControlKind::ButtonControl));
    EXPECT_TRUE(ListsOf(*other, first.Button).empty()) << "the first form went with its manager";
}

TEST_F(ThemeManagerTest, AFormMadeLaterIsTakenOverAtTheApplicationWindowsNextMessage)
{
    SampleForm sample;
    TThemeManager* manager = Attach(sample.Form.get());
    manager->Loaded();
    sample.Form->show();
    auto* dialog = new QDialog(sample.Form.get());
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    dialog->show();
    EXPECT_EQ(manager->PendingForms(), std::vector<QWidget*>{dialog});
    EXPECT_TRUE(ListsOf(*manager, ok).empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager->List(ControlKind::Form).Contains(dialog); }));
    EXPECT_EQ(ListsOf(*manager, ok), Only(ControlKind::ButtonControl));
    EXPECT_TRUE(manager->PendingForms().empty());
}

TEST_F(ThemeManagerTest, AListViewWithAWindowIsRecreatedOnceAndItsImagelessColumnsLoseTheirImage)
{
    SampleForm sample;
    sample.List->headerItem()->setData(0, Qt::DecorationRole, -1);
    sample.List->headerItem()->setData(1, Qt::DecorationRole, 2);
    sample.Form->show();
    TThemeManager* manager = Attach(sample.Form.get());
    MessageCounter counter(*manager);
    manager->Loaded();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.Count(sample.List, LVM_INSERTCOLUMNA) == 3; }));
    EXPECT_EQ(counter.Count(sample.List, WM_DESTROY), 1);
    EXPECT_EQ(manager->List(ControlKind::ListView).Count(), 1);
    EXPECT_FALSE(manager->IsBeingRecreated(sample.List));
    QAbstractItemModel* model = sample.List->model();
    EXPECT_FALSE(model->headerData(0, Qt::Horizontal, Qt::DecorationRole).isValid());
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DecorationRole), QVariant(2));

    sample.List->headerItem()->setData(1, Qt::DecorationRole, -1);
    EXPECT_EQ(counter.Count(sample.List, LVM_SETCOLUMNA), 1);
    EXPECT_FALSE(model->headerData(1, Qt::Horizontal, Qt::DecorationRole).isValid());
    EXPECT_EQ(counter.Count(sample.List, WM_DESTROY), 1) << "taken over once";
}

TEST_F(ThemeManagerTest, SettingTheOptionsTellsTheSystemAndFollowsOnlyAfterLoading)
{
    SampleForm sample;
    TThemeManager* manager = Attach(sample.Form.get());
    int themeChanges = 0;
    manager->OnThemeChange = [&themeChanges](TThemeManager*) { ++themeChanges; };
    GlobalThemeServices();
    recording::State& state = Recording();

    manager->SetOptions(DefaultThemeOptions);
    EXPECT_TRUE(state.CallsOf("SetThemeAppProperties").empty()) << "the same options change nothing";
    manager->SetOptions(DefaultThemeOptions & ~TThemeOptions(toAllowWebContent));
    ASSERT_EQ(state.CallsOf("SetThemeAppProperties").size(), 1u);
    EXPECT_EQ(state.CallsOf("SetThemeAppProperties").back().Flags, 3u);
    EXPECT_EQ(themeChanges, 0) << "while loading the options are only stored";

    manager->Loaded();
    manager->SetOptions(DefaultThemeOptions);
    EXPECT_EQ(state.CallsOf("SetThemeAppProperties").back().Flags, 7u);
    EXPECT_EQ(themeChanges, 1);
    EXPECT_EQ(manager->Options(), DefaultThemeOptions);

    // The system's properties come back into the options at a theme change.
    state.AppProperties = uxtheme::STAP_ALLOW_CONTROLS;
    SendApplicationMessage(WM_THEMECHANGED);
    EXPECT_EQ(themeChanges, 2);
    EXPECT_EQ(manager->Options() & (toAllowNonClientArea | toAllowControls | toAllowWebContent),
              TThemeOptions(toAllowControls));
}

TEST_F(ThemeManagerTest, AHandledMessageGoesNoFurtherAndAFailingHandlerEndsNothing)
{
    SampleForm sample;
    TThemeManager* manager = Attach(sample.Form.get());
    manager->OnControlMessage = [&sample](TThemeManager*, QWidget* control, TMessage& message,
                                          bool& handled) {
        if (control == sample.Box && message.Msg == WM_PAINT) handled = true;
        if (control == sample.Button && message.Msg == WM_PAINT) throw std::runtime_error("handler failed");
    };
    manager->Loaded();
    Picture(sample.Form.get());
    for (const recording::Call& call : Recording().CallsOf("DrawThemeBackground"))
        EXPECT_FALSE(call.Class == u"button" && call.Part == 4) << "the group box was not painted";
    EXPECT_TRUE(manager->List(ControlKind::ButtonControl).Contains(sample.Button));
}

TEST_F(ThemeManagerTest, AFailingThemeChangeEventEndsAtTheApplicationWindow)
{
    SampleForm sample;
    TThemeManager* manager = Attach(sample.Form.get());
    manager->OnThemeChange = [](TThemeManager*) { throw std::runtime_error("event failed"); };
    manager->Loaded();
    EXPECT_NO_THROW(SendApplicationMessage(WM_THEMECHANGED));
    EXPECT_EQ(ListsOf(*manager, sample.Box), Only(ControlKind::GroupBox));
}

class ThemeManagerWithoutLibrary : public ThemeManagerTest {
protected:
    ThemeManagerWithoutLibrary() : ThemeManagerTest(MissingLibraryPath()) {}
};

TEST_F(ThemeManagerWithoutLibrary, TakesOnlyListViewsOver)
{
    SampleForm sample;
    TThemeManager* manager = Attach(sample.Form.get());
    manager->Loaded();
    EXPECT_EQ(ListsOf(*manager, sample.List), Only(ControlKind::ListView));
    EXPECT_TRUE(ListsOf(*manager, sample.Button).empty());
    EXPECT_TRUE(ListsOf(*manager, sample.Box).empty());
    Picture(sample.Form.get());
}

class ThemeManagerFollowingTheStyle : public ThemeManagerTest {
protected:
    ThemeManagerFollowingTheStyle() : ThemeManagerTest(RealLibraryPath()) { PaintOnceBeforeComparing(); }
};

TEST_F(ThemeManagerFollowingTheStyle, PaintsWithTheStylesAndFollowsTheirSwitchingOffAndOn)
{
    SampleForm plain;
    SampleForm themed;
    TThemeManager* manager = Attach(themed.Form.get());
    int themeChanges = 0;
    manager->OnThemeChange = [&themeChanges](TThemeManager*) { ++themeChanges; };
    manager->Loaded();
    const QImage styledPicture = Picture(themed.Form.get());
    EXPECT_GT(DifferingPixels(styledPicture, Picture(plain.Form.get())), 0);

    QApplication::setStyle(QStringLiteral("windows"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return themeChanges == 1; }));
    EXPECT_FALSE(StylesEnabled());
    EXPECT_EQ(DifferingPixels(Picture(themed.Form.get()), Picture(plain.Form.get())), 0)
        << "without visual styles Qt paints every control";

    QApplication::setStyle(QStringLiteral("fusion"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return themeChanges == 2; }));
    EXPECT_TRUE(StylesEnabled());
    EXPECT_EQ(DifferingPixels(Picture(themed.Form.get()), styledPicture), 0);
}

}  // namespace
