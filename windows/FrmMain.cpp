// The controls of the main job window and their places. The window has a fixed size, so the
// controls stand at fixed positions, as the window was designed.

#include "windows/FrmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>

#include "windows/ControlTools.h"
#include "windows/LinkLabel.h"
#include "windows/SlotGuard.h"

namespace {

constexpr int kClientWidth = 665;
constexpr int kClientHeight = 532;
constexpr int kBottomPanelHeight = 41;

/// The links of the window: a dark blue (the colour value 0x804000 is blue-green-red).
const QColor kLinkColour(0x00, 0x40, 0x80);
/// The captions of the group boxes: teal and bold.
const QColor kGroupCaptionColour(0x00, 0x80, 0x80);

// The action check boxes stand in two columns of five rows, 32 pixels apart, each with its
// "Edit..." button to the right.
constexpr int kActionLeft[2] = {8, 332};
constexpr int kEditLeft[2] = {224, 548};
constexpr int kActionTop = 8;
constexpr int kActionRowHeight = 32;
constexpr int kCheckWidth = 212;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

template <class W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

QFrame* NewBevel(QWidget* parent, const char* name, QFrame::Shape shape, const QRect& place)
{
    auto* bevel = Named(new QFrame(parent), name);
    bevel->setFrameShape(shape);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(place);
    return bevel;
}

QPushButton* NewButton(QWidget* parent, const char* caption, const char* name, const QRect& place)
{
    auto* button = Named(new QPushButton(QString::fromUtf8(caption), parent), name);
    button->setGeometry(place);
    return button;
}

/// A group box whose caption is teal and bold while its contents keep the normal font and
/// colours; the contents go on the returned panel.
QWidget* NewGroupPanel(QWidget* parent, const char* caption, const char* groupName, const char* panelName,
                       const QRect& place)
{
    auto* group = Named(new QGroupBox(QString::fromUtf8(caption), parent), groupName);
    group->setGeometry(place);
    const QFont normalFont = group->font();
    const QPalette normalColours = group->palette();
    QFont bold = normalFont;
    bold.setBold(true);
    group->setFont(bold);
    QPalette teal = normalColours;
    teal.setColor(QPalette::WindowText, kGroupCaptionColour);
    group->setPalette(teal);

    auto* panel = Named(new QWidget(group), panelName);
    QFont plain = normalFont;
    plain.setBold(false);
    panel->setFont(plain);
    QPalette plainColours = normalColours;
    plainColours.setColor(QPalette::WindowText, normalColours.color(QPalette::WindowText));
    panel->setPalette(plainColours);
    panel->setGeometry(8, 20, place.width() - 16, place.height() - 26);
    return panel;
}

}  // namespace

TFormMain::TFormMain(QWidget* Owner)
    : QDialog(Owner),
      OptionsCopy(std::make_unique<TManualOptions>()),
      ErrorLines(std::make_unique<TStringList>())
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);

    OpenDialog.Title = "Load settings from a file";
    OpenDialog.Filter = "Definition files (*.qef)|*.qef|All files (*.*)|*.*";
    OpenDialog.FileMustExist = false;  // a bare name gets ".qef" after the dialog
    SaveDialog.Title = "Save settings to a file";
    SaveDialog.Filter = OpenDialog.Filter;
    SaveDialog.OverwritePrompt = true;
    // A name typed without an extension gets ".qef" before the overwrite question, so the
    // question is asked about the file that is then written.
    SaveDialog.DefaultExt = "qef";

    CreateControls();
    ConnectControls();
    // The source controls start in the state that matches the selected radio button.
    Updating = true;
    RadioSelectedOrFolderClick();
    Updating = false;
}

TFormMain::~TFormMain() = default;

void TFormMain::CreateControls()
{
    CreateTopPanel();
    CreateLinks();
    CreateSourceGroup();
    CreateActionGroup();
    CreateStatusBar();
    CreateBottomPanel();
}

void TFormMain::CreateTopPanel()
{
    PanelTop = Named(new QFrame(this), "PanelTop");
    PanelTop->setGeometry(0, 0, kClientWidth, 89);
    PanelTop->setAutoFillBackground(true);
    QPalette windowColour = PanelTop->palette();
    windowColour.setColor(QPalette::Window, windowColour.color(QPalette::Base));
    PanelTop->setPalette(windowColour);

    Image1 = Named(new QLabel(PanelTop), "Image1");
    Image1->setGeometry(8, 16, 32, 32);

    LabelTitle = Named(new QLabel(QStringLiteral("Trovanta "), PanelTop), "LabelTitle");
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(27);
    titleFont.setBold(true);
    LabelTitle->setFont(titleFont);
    QPalette shadow = LabelTitle->palette();
    shadow.setColor(QPalette::WindowText, shadow.color(QPalette::Dark));
    LabelTitle->setPalette(shadow);
    LabelTitle->move(56, 29);
    LabelTitle->adjustSize();

    BevelTitle =
        NewBevel(PanelTop, "BevelTitle", QFrame::HLine, QRect(56, 29 + LabelTitle->height() + 2, 601, 2));
    Bevel4 = NewBevel(this, "Bevel4", QFrame::HLine, QRect(0, 87, kClientWidth, 2));
}

void TFormMain::CreateLinks()
{
    // The links stand in one row ending at the right margin, each at its designed place
    // unless the font makes the text wider than that place allows.
    int right = kClientWidth - 8;
    const auto link = [this, &right](const char* caption, const char* name, int left) {
        auto* label = Named(new TLinkLabel(QString::fromUtf8(caption), kLinkColour, this), name);
        label->adjustSize();
        label->move(std::min(left, right - label->width()), 94);
        right = label->x() - 12;
        return label;
    };
    LabelHelp = link("Help", "LabelHelp", 632);
    LabelInfo = link("Info", "LabelInfo", 592);
    LabelSendOptions = link("Send options", "LabelSendOptions", 512);
}

void TFormMain::CreateSourceGroup()
{
    Panel1 = NewGroupPanel(this, " E-mails to process ", "GroupBox1", "Panel1", QRect(8, 112, 649, 145));
    RadioSelected = Named(new QRadioButton(QStringLiteral("Selected"), Panel1), "RadioSelected");
    RadioSelected->setGeometry(8, 4, 200, 22);
    RadioFolder = Named(new QRadioButton(QStringLiteral("Outlook folder"), Panel1), "RadioFolder");
    RadioFolder->setGeometry(8, 32, 116, 22);

    EditFoldername = Named(new QLineEdit(Panel1), "EditFoldername");
    EditFoldername->setGeometry(128, 31, 458, 24);
    EditFoldername->setReadOnly(true);
    EditFoldername->setFocusPolicy(Qt::NoFocus);
    QPalette parentColour = EditFoldername->palette();
    parentColour.setColor(QPalette::Base, parentColour.color(QPalette::Window));
    EditFoldername->setPalette(parentColour);
    ButtonPickFolder = NewButton(Panel1, "...", "ButtonPickFolder", QRect(588, 30, 17, 25));

    CheckInclSubfolders =
        Named(new QCheckBox(QStringLiteral("include subfolders"), Panel1), "CheckInclSubfolders");
    CheckInclSubfolders->setGeometry(128, 58, 200, 22);

    NewBevel(Panel1, "Bevel1", QFrame::HLine, QRect(8, 86, Panel1->width() - 16, 2));
    CheckUseFilter = Named(new QCheckBox(Panel1), "CheckUseFilter");
    CheckUseFilter->setGeometry(8, 94, kCheckWidth, 22);
    ButtonFilter =
        NewButton(Panel1, "Edit...", "ButtonFilter", QRect(kEditLeft[0], 92, kButtonWidth, kButtonHeight));
}

QCheckBox* TFormMain::NewActionCheck(QWidget* parent, const char* name, int column, int row)
{
    auto* box = Named(new QCheckBox(parent), name);
    box->setGeometry(kActionLeft[column], kActionTop + row * kActionRowHeight, kCheckWidth, 22);
    return box;
}

QPushButton* TFormMain::NewEditButton(QWidget* parent, const char* name, int column, int row)
{
    return NewButton(
        parent, "Edit...", name,
        QRect(kEditLeft[column], kActionTop - 2 + row * kActionRowHeight, kButtonWidth, kButtonHeight));
}

void TFormMain::CreateActionGroup()
{
    Panel2 = NewGroupPanel(this, " What to do with these e-mails  ", "GroupBox2", "Panel2",
                           QRect(8, 264, 649, 201));
    CheckCopyEmails1 = NewActionCheck(Panel2, "CheckCopyEmails1", 0, 0);
    CheckExportEmails = NewActionCheck(Panel2, "CheckExportEmails", 0, 1);
    CheckReimport = NewActionCheck(Panel2, "CheckReimport", 0, 2);
    CheckSaveAtts = NewActionCheck(Panel2, "CheckSaveAtts", 0, 3);
    CheckDeleteAtts = NewActionCheck(Panel2, "CheckDeleteAtts", 0, 4);
    CheckSetRead = NewActionCheck(Panel2, "CheckSetRead", 1, 0);
    CheckSetUnRead = NewActionCheck(Panel2, "CheckSetUnRead", 1, 1);
    CheckCopyEmails2 = NewActionCheck(Panel2, "CheckCopyEmails2", 1, 2);
    CheckMoveEmails = NewActionCheck(Panel2, "CheckMoveEmails", 1, 3);
    CheckDeleteEmails = NewActionCheck(Panel2, "CheckDeleteEmails", 1, 4);

    ButtonCopyEmails1 = NewEditButton(Panel2, "ButtonCopyEmails1", 0, 0);
    ButtonExportEmails = NewEditButton(Panel2, "ButtonExportEmails", 0, 1);
    ButtonSaveAtts = NewEditButton(Panel2, "ButtonSaveAtts", 0, 3);
    ButtonDeleteAtts = NewEditButton(Panel2, "ButtonDeleteAtts", 0, 4);
    ButtonCopyEmails2 = NewEditButton(Panel2, "ButtonCopyEmails2", 1, 2);
    ButtonMoveEmails = NewEditButton(Panel2, "ButtonMoveEmails", 1, 3);
    ButtonDeleteEmails = NewEditButton(Panel2, "ButtonDeleteEmails", 1, 4);

    const int columnsGap = (kEditLeft[0] + kButtonWidth + kActionLeft[1]) / 2;
    NewBevel(Panel2, "Bevel2", QFrame::VLine, QRect(columnsGap - 1, 4, 2, Panel2->height() - 8));
}

void TFormMain::CreateStatusBar()
{
    StatusBar = Named(new QStatusBar(this), "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    constexpr int widths[3] = {150, 150, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(StatusBar);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusBarPanel%1").arg(i + 1));
        StatusPanels[i]->setFrameShape(QFrame::Panel);
        StatusPanels[i]->setFrameShadow(QFrame::Sunken);
        StatusPanels[i]->setMinimumWidth(widths[i]);
        // The last panel takes what is left of the bar, as wide as the action texts need.
        if (i < 2) StatusPanels[i]->setMaximumWidth(widths[i]);
        StatusBar->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }
    const int height = std::max(StatusBar->sizeHint().height(), 24);
    StatusBar->setGeometry(0, kClientHeight - height, kClientWidth, height);
}

void TFormMain::CreateBottomPanel()
{
    PanelBottom = Named(new QWidget(this), "PanelBottom");
    PanelBottom->setGeometry(0, StatusBar->y() - kBottomPanelHeight, kClientWidth, kBottomPanelHeight);
    const auto button = [this](const char* caption, const char* name, int left) {
        return NewButton(PanelBottom, caption, name,
                         QRect(left, 8, left < 300 ? 80 : kButtonWidth, kButtonHeight));
    };
    ButtonReset = button("Reset", "ButtonReset", 8);
    ButtonLoad = button("Load def...", "ButtonLoad", 92);
    ButtonSave = button("Save def...", "ButtonSave", 176);

    // The text stands left of the box: laid out right to left, the box is at the right end.
    CheckRememberSettings = Named(new QCheckBox(QStringLiteral("remember these settings:"), PanelBottom),
                                  "CheckRememberSettings");
    CheckRememberSettings->setLayoutDirection(Qt::RightToLeft);
    CheckRememberSettings->setGeometry(276, 9, 216, 22);

    ButtonStart = button("Start", "ButtonStart", 500);
    ButtonStart->setDefault(true);
    ButtonCancel = button("Cancel", "ButtonCancel", 582);
}

void TFormMain::Handle(void (TFormMain::*Handler)())
{
    Guarded(this, [this, Handler] { (this->*Handler)(); });
}

void TFormMain::ConnectControls()
{
    const auto onClick = [this](QAbstractButton* control, void (TFormMain::*Handler)()) {
        connect(control, &QAbstractButton::clicked, this, [this, Handler] { Handle(Handler); });
    };
    const auto onLink = [this](TLinkLabel* link, void (TFormMain::*Handler)()) {
        connect(link, &TLinkLabel::clicked, this, [this, Handler] { Handle(Handler); });
    };
    onClick(ButtonReset, &TFormMain::ButtonResetClick);
    onClick(ButtonLoad, &TFormMain::ButtonLoadClick);
    onClick(ButtonSave, &TFormMain::ButtonSaveClick);
    onClick(ButtonStart, &TFormMain::ButtonStartClick);
    onClick(ButtonCancel, &TFormMain::ButtonCancelClick);
    onClick(ButtonPickFolder, &TFormMain::ButtonPickFolderClick);
    onLink(LabelSendOptions, &TFormMain::LabelSendOptionsClick);
    onLink(LabelInfo, &TFormMain::LabelInfoClick);
    onLink(LabelHelp, &TFormMain::LabelHelpClick);
    controls::ConnectHelpKey(this, [this] { Handle(&TFormMain::LabelHelpClick); });
    // Both radio buttons share one handler; it runs for the one that becomes selected.
    for (QRadioButton* radio : {RadioSelected, RadioFolder}) {
        connect(radio, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked) Handle(&TFormMain::RadioSelectedOrFolderClick);
        });
    }
    ConnectActionChecks();
    ConnectEditButtons();
}

void TFormMain::ConnectActionChecks()
{
    // A check box's handler runs whenever its state changes, by the user or by the program.
    const auto onToggle = [this](QCheckBox* box, void (TFormMain::*Handler)()) {
        connect(box, &QCheckBox::toggled, this, [this, Handler] { Handle(Handler); });
    };
    onToggle(CheckUseFilter, &TFormMain::CheckUseFilterClick);
    onToggle(CheckCopyEmails1, &TFormMain::CheckCopyEmails1Click);
    onToggle(CheckExportEmails, &TFormMain::CheckExportEmailsClick);
    onToggle(CheckReimport, &TFormMain::CheckReimportClick);
    onToggle(CheckSaveAtts, &TFormMain::CheckSaveAttsClick);
    onToggle(CheckDeleteAtts, &TFormMain::CheckDeleteAttsClick);
    onToggle(CheckSetRead, &TFormMain::CheckSetReadClick);
    onToggle(CheckSetUnRead, &TFormMain::CheckSetUnReadClick);
    onToggle(CheckCopyEmails2, &TFormMain::CheckCopyEmails2Click);
    onToggle(CheckMoveEmails, &TFormMain::CheckMoveEmailsClick);
    onToggle(CheckDeleteEmails, &TFormMain::CheckDeleteEmailsClick);
}

void TFormMain::ConnectEditButtons()
{
    const auto onClick = [this](QPushButton* button, void (TFormMain::*Handler)()) {
        connect(button, &QPushButton::clicked, this, [this, Handler] { Handle(Handler); });
    };
    onClick(ButtonFilter, &TFormMain::ButtonFilterClick);
    onClick(ButtonCopyEmails1, &TFormMain::ButtonCopyEmails1Click);
    onClick(ButtonExportEmails, &TFormMain::ButtonExportEmailsClick);
    onClick(ButtonSaveAtts, &TFormMain::ButtonSaveAttsClick);
    onClick(ButtonDeleteAtts, &TFormMain::ButtonDeleteAttsClick);
    onClick(ButtonCopyEmails2, &TFormMain::ButtonCopyEmails2Click);
    onClick(ButtonMoveEmails, &TFormMain::ButtonMoveEmailsClick);
    onClick(ButtonDeleteEmails, &TFormMain::ButtonDeleteEmailsClick);
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFormMain::reject()
{
    Handle(&TFormMain::ButtonCancelClick);
}
