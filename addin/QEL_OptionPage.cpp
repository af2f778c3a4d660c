#include "addin/QEL_OptionPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "addin/AddInEvents.h"
#include "addin/WindowLinks.h"
#include "jobs/FileTools.h"
#include "platform/com/ComError.h"
#include "platform/runtime/Exception.h"
#include "platform/ui/ApplicationObject.h"
#include "platform/ui/UserInterface.h"
#include "themes/ThemeMgr.h"
#include "windows/ControlTools.h"
#include "windows/LinkLabel.h"

namespace {

constexpr int kHelpContextRulesPage = 30;
constexpr char kNoRuleMessage[] =
    "If you want to process incoming e-mails, then you must add at least one job definition to the list.";

/// Runs a handler of the form: its failures are shown as the application shows them, the
/// silent abort is dropped; nothing leaves the Qt slot.
template <class F>
void Handle(F&& body)
{
    try {
        body();
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        ShowAddInError(e.what());
    }
}

QString YesNo(bool value)
{
    return value ? "yes" : "no";
}

TLinkLabel* MakeLink(const QString& text, const char* name, QWidget* parent)
{
    // The design's colour 0x804000 is blue-green-red: red 0x00, green 0x40, blue 0x80.
    auto* link = new TLinkLabel(text, QColor(0x00, 0x40, 0x80), parent);
    link->setObjectName(name);
    link->adjustSize();
    return link;
}

/// A panel that reports its resizing, as the form's top panel does to lay out its bevels and
/// links.
class TResizingPanel final : public QWidget {
public:
    TResizingPanel(QWidget* parent, std::function<void()> onResize)
        : QWidget(parent), onResize_(std::move(onResize))
    {
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        onResize_();
    }

private:
    std::function<void()> onResize_;
};

QFrame* MakeBevel(const char* name, QWidget* parent)
{
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(name);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    return bevel;
}

QLabel* MakeTitle(const QString& text, const char* name, int pixelSize, bool bold, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font("Arial");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, label->palette().color(QPalette::Dark));  // button shadows
    label->setPalette(palette);
    label->adjustSize();
    return label;
}

}  // namespace

TQEL_OptionPage::TQEL_OptionPage(QWidget* parent)
    : QWidget(parent), FOptions(std::make_unique<TAutoOptions>())
{
    setObjectName("QEL_OptionPage");
    setWindowTitle("QEL_OptionPage");
    resize(440, 450);
    BuildForm();
    ConnectHandlers();
    ThemeManager = new themes::TThemeManager(this);
    ThemeManager->setObjectName("ThemeManager");
    ThemeManager->Loaded();
    ActiveFormCreate();
}

TQEL_OptionPage::~TQEL_OptionPage() = default;

QSize TQEL_OptionPage::sizeHint() const
{
    const int titles = std::max(LabelTitel1->geometry().right(), LabelTitel2->geometry().right()) + 16;
    return {std::max(440, titles), 450};
}

void TQEL_OptionPage::BuildForm()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(BuildPanelTop());
    layout->addWidget(BuildPanelClient(), 1);
}

QWidget* TQEL_OptionPage::BuildPanelTop()
{
    PanelTop = new TResizingPanel(this, [this] { PanelTopResize(); });
    PanelTop->setObjectName("PanelTop");
    PanelTop->setFixedHeight(105);
    Image = new QLabel(PanelTop);
    Image->setObjectName("Image");
    Image->setGeometry(8, 10, 32, 32);
    LabelTitel1 = MakeTitle("Trovanta", "LabelTitel1", 27, true, PanelTop);
    LabelTitel1->move(48, 8);
    LabelTitel2 = MakeTitle("automatically save incoming e-mails and extract attachments", "LabelTitel2", 13,
                            false, PanelTop);
    LabelTitel2->move(50, 44);
    Bevel1 = MakeBevel("Bevel1", PanelTop);
    Bevel1->setGeometry(8, 68, 100, 2);
    LabelInfo = MakeLink("Info", "LabelInfo", PanelTop);
    LabelHelp = MakeLink("Help", "LabelHelp", PanelTop);
    LabelInfo->move(0, 76);
    LabelHelp->move(0, 76);
    Bevel2 = MakeBevel("Bevel2", PanelTop);
    Bevel2->setGeometry(8, 101, 100, 2);
    return PanelTop;
}

QWidget* TQEL_OptionPage::BuildPanelClient()
{
    auto* panelClient = new QWidget(this);
    panelClient->setObjectName("PanelClient");
    auto* layout = new QVBoxLayout(panelClient);
    layout->setContentsMargins(8, 8, 8, 4);

    auto* panelActive = new QWidget(panelClient);
    panelActive->setObjectName("PanelActive");
    CheckActive = new QCheckBox("process incoming e-mails", panelActive);
    CheckActive->setObjectName("CheckActive");
    (new QVBoxLayout(panelActive))->addWidget(CheckActive);
    panelActive->layout()->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(panelActive);

    auto* panelListView = new QWidget(panelClient);
    panelListView->setObjectName("PanelListView");
    auto* listLayout = new QVBoxLayout(panelListView);
    listLayout->setContentsMargins(0, 0, 0, 0);
    Label3 = new QLabel("Jobs to do:", panelListView);
    Label3->setObjectName("Label3");
    ListView = new QTreeWidget(panelListView);
    ListView->setObjectName("ListView");
    ListView->setColumnCount(5);
    ListView->setHeaderLabels({"Sender", "Recipient", "Subject", "E-Mail", "Att"});
    for (int column = 0; column < 4; ++column) ListView->header()->resizeSection(column, 75);
    ListView->header()->setSectionsClickable(false);
    ListView->setRootIsDecorated(false);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setFocusPolicy(Qt::ClickFocus);  // no tab stop
    QPalette palette = ListView->palette();    // the selection stays visible without focus
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    ListView->setPalette(palette);
    listLayout->addWidget(Label3);
    listLayout->addWidget(ListView, 1);
    layout->addWidget(panelListView, 1);
    layout->addWidget(BuildPanelBottom(panelClient));
    return panelClient;
}

QWidget* TQEL_OptionPage::BuildPanelBottom(QWidget* parent)
{
    auto* panelBottom = new QWidget(parent);
    panelBottom->setObjectName("PanelBottom");
    auto* layout = new QHBoxLayout(panelBottom);
    layout->setContentsMargins(0, 8, 0, 0);
    const auto button = [&](const char* text, const char* name) {
        auto* b = new QPushButton(text, panelBottom);
        b->setObjectName(name);
        layout->addWidget(b);
        return b;
    };
    ButtonAdd = button("Add...", "ButtonAdd");
    ButtonEdit = button("Edit...", "ButtonEdit");
    ButtonDelete = button("Remove", "ButtonDelete");
    ButtonUp = button("Up", "ButtonUp");
    ButtonDown = button("Down", "ButtonDown");
    layout->addStretch(1);
    return panelBottom;
}

void TQEL_OptionPage::ConnectHandlers()
{
    connect(CheckActive, &QCheckBox::clicked, this, [this] { Handle([this] { CheckActiveClick(); }); });
    connect(ButtonAdd, &QPushButton::clicked, this, [this] { Handle([this] { ButtonAddClick(); }); });
    connect(ButtonEdit, &QPushButton::clicked, this, [this] { Handle([this] { ButtonEditClick(); }); });
    connect(ListView, &QTreeWidget::itemDoubleClicked, this,
            [this] { Handle([this] { ButtonEditClick(); }); });
    connect(ButtonDelete, &QPushButton::clicked, this, [this] { Handle([this] { ButtonDeleteClick(); }); });
    connect(ButtonUp, &QPushButton::clicked, this, [this] { Handle([this] { ButtonUpClick(); }); });
    connect(ButtonDown, &QPushButton::clicked, this, [this] { Handle([this] { ButtonDownClick(); }); });
    connect(ListView, &QTreeWidget::itemSelectionChanged, this,
            [this] { Handle([this] { ListViewSelectItem(); }); });
    connect(LabelInfo, &TLinkLabel::clicked, this, [this] { Handle([this] { LabelInfoClick(); }); });
    connect(LabelHelp, &TLinkLabel::clicked, this, [this] { Handle([this] { LabelHelpClick(); }); });
    controls::ConnectHelpKey(this, [this] { Handle([this] { LabelHelpClick(); }); });
}

void TQEL_OptionPage::ActiveFormCreate()
{
    Image->setPixmap(ui::Application().Icon.pixmap(32, 32));
    try {
        FOptions->LoadFromRegistry(RegKeyAuto);
    } catch (const std::exception&) {
        FOptions->Clear();  // unreadable rules: processing off, no rules
    }
    CheckActive->setChecked(FOptions->Active);
    const TJobList& jobs = FOptions->Jobs();
    for (int i = 0; i < jobs.Count(); ++i) FillListItem(*new QTreeWidgetItem(ListView), jobs.Jobs(i));
    UpdateButtons();
}

void TQEL_OptionPage::PanelTopResize()
{
    const int offset = Bevel1->x();
    Bevel1->resize(PanelTop->width() - 2 * offset, Bevel1->height());
    Bevel2->resize(Bevel1->width(), Bevel2->height());
    LabelHelp->move(PanelTop->width() - offset - LabelHelp->width(), LabelHelp->y());
    LabelInfo->move(LabelHelp->x() - 16 - LabelInfo->width(), LabelInfo->y());
}

void TQEL_OptionPage::GetPageSite()
{
    if (PageSite || !ControlClientSite) return;
    PageSite = ControlClientSite.As<outlook::IPropertyPageSite>();
}

void TQEL_OptionPage::MarkDirty()
{
    if (!PageSite || DirtyFlag != outlook::VARIANT_FALSE) return;
    DirtyFlag = outlook::VARIANT_TRUE;
    OleCheck(PageSite->OnStatusChange());
}

void TQEL_OptionPage::FillListItem(QTreeWidgetItem& Item, const TJobOptions& Job) const
{
    Item.setText(0, QString::fromStdString(Job.Sender));
    for (int column = 1; column < 5; ++column) Item.setText(column, QString());
    Item.setText(1, QString::fromStdString(Job.Recipient));
    Item.setText(2, QString::fromStdString(Job.Subject));
    Item.setText(3, YesNo(Job.ExportEmails().Active));
    Item.setText(4, YesNo(Job.SaveAttachments().Active));
}

int TQEL_OptionPage::SelectedIndex() const
{
    const QList<QTreeWidgetItem*> selected = ListView->selectedItems();
    return selected.size() == 1 ? ListView->indexOfTopLevelItem(selected.front()) : -1;
}

void TQEL_OptionPage::UpdateButtons()
{
    const int index = SelectedIndex();
    const bool one = index >= 0;
    ButtonAdd->setEnabled(true);
    ButtonEdit->setEnabled(one);
    ButtonDelete->setEnabled(one);
    ButtonUp->setEnabled(one && index > 0);
    ButtonDown->setEnabled(one && index < ListView->topLevelItemCount() - 1);
}

void TQEL_OptionPage::ListViewSelectItem()
{
    UpdateButtons();
}

void TQEL_OptionPage::ShowRow(int Index)
{
    QTreeWidgetItem* row = ListView->topLevelItem(Index);
    ListView->scrollToItem(row, QAbstractItemView::EnsureVisible);
    ListView->setCurrentItem(row);
    row->setSelected(true);
}

void TQEL_OptionPage::CheckActiveClick()
{
    GetPageSite();
    FOptions->Active = CheckActive->isChecked();
    MarkDirty();
}

void TQEL_OptionPage::ButtonAddClick()
{
    GetPageSite();
    const ui::ApplicationHandleGuard handle(this);
    TJobOptions rule;
    rule.Clear();
    if (!EditRule(this, rule)) return;
    TJobList& jobs = FOptions->Jobs();
    TJobOptions& job = jobs.NewJob();
    try {
        job.Assign(rule);
    } catch (...) {
        jobs.Delete(jobs.Count() - 1);
        throw;
    }
    FillListItem(*new QTreeWidgetItem(ListView), job);
    ShowRow(jobs.Count() - 1);
    MarkDirty();
    update();
}

void TQEL_OptionPage::ButtonEditClick()
{
    GetPageSite();
    const ui::ApplicationHandleGuard handle(this);
    const int index = SelectedIndex();
    if (index < 0) return;
    TJobOptions rule = FOptions->Jobs().Jobs(index);
    if (!EditRule(this, rule)) return;
    TJobOptions& job = FOptions->Jobs().Jobs(index);
    job.Assign(rule);
    FillListItem(*ListView->topLevelItem(index), job);
    ShowRow(index);
    MarkDirty();
    update();
}

void TQEL_OptionPage::ButtonDeleteClick()
{
    GetPageSite();
    const int index = SelectedIndex();
    if (index < 0) return;
    FOptions->Jobs().Delete(index);
    delete ListView->takeTopLevelItem(index);
    UpdateButtons();
    MarkDirty();
}

void TQEL_OptionPage::MoveSelected(int Delta)
{
    GetPageSite();
    const int index = SelectedIndex();
    const int target = index + Delta;
    if (index < 0 || target < 0 || target >= FOptions->Jobs().Count()) return;
    FOptions->Jobs().Move(index, target);
    FillListItem(*ListView->topLevelItem(index), FOptions->Jobs().Jobs(index));
    FillListItem(*ListView->topLevelItem(target), FOptions->Jobs().Jobs(target));
    ShowRow(target);
    MarkDirty();
}

void TQEL_OptionPage::ButtonUpClick()
{
    MoveSelected(-1);
}

void TQEL_OptionPage::ButtonDownClick()
{
    MoveSelected(+1);
}

void TQEL_OptionPage::LabelInfoClick()
{
    const ui::ApplicationHandleGuard handle(this);
    // Owned by the dialog the page sits in: the page's theme manager takes over the windows
    // the page makes, and the about window paints its transparent labels itself.
    ShowAbout(window());
}

void TQEL_OptionPage::LabelHelpClick()
{
    const ui::ApplicationHandleGuard handle(this);
    ShowHelp(kHelpContextRulesPage);
}

void TQEL_OptionPage::SetControlClientSite(ComPtr<ui::IOleClientSite> Site)
{
    ControlClientSite = std::move(Site);
    if (!ControlClientSite) PageSite.Reset();
}

HRESULT TQEL_OptionPage::GetPageInfo(std::string* HelpFile, std::int32_t* HelpContext) noexcept
{
    if (HelpFile) HelpFile->clear();
    if (HelpContext) *HelpContext = 0;
    return S_OK;
}

HRESULT TQEL_OptionPage::Dirty(std::int16_t* Value) const noexcept
{
    if (!Value) return E_POINTER;
    *Value = DirtyFlag;
    return S_OK;
}

HRESULT TQEL_OptionPage::Apply() noexcept
{
    try {
        const ui::ApplicationHandleGuard handle(this);
        if (FOptions->Active && FOptions->Jobs().Count() == 0) {
            ui::ShowMessage(nullptr, kNoRuleMessage, kAddInTitle, ui::MsgIcon::Error);
            return E_UNEXPECTED;
        }
        try {
            FOptions->SaveToRegistry(RegKeyAuto);
        } catch (const std::exception& e) {
            ui::ShowMessage(nullptr, e.what(), kAddInTitle, ui::MsgIcon::Error);
            return E_UNEXPECTED;
        }
        DirtyFlag = outlook::VARIANT_FALSE;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
