#include "themes/ControlClasses.h"

#include <QAbstractSpinBox>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFocusFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QRubberBand>
#include <QScrollArea>
#include <QSizeGrip>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "platform/uxtheme/Gdi.h"

namespace themes {

namespace {

constexpr const char* kFormMark = "_trovanta_form";
constexpr const char* kWindowGone = "_trovanta_window_gone";

template <class T>
const T* As(const QWidget* widget)
{
    return qobject_cast<const T*>(widget);
}

// Composite widgets whose children are their own parts, not controls placed on them.
bool HoldsOnlyItsOwnParts(const QWidget* widget)
{
    return (As<QAbstractScrollArea>(widget) && !As<QScrollArea>(widget)) || As<QComboBox>(widget) ||
           As<QAbstractSpinBox>(widget) || As<QTabBar>(widget) || As<QCalendarWidget>(widget);
}

bool IsPartOfItsParent(const QWidget* widget)
{
    return IsInternalWidget(widget) || As<QSizeGrip>(widget) || As<QSplitterHandle>(widget) ||
           As<QFocusFrame>(widget) || As<QRubberBand>(widget);
}

BevelKind BevelProperty(const QWidget* widget, const char* name, BevelKind fallback)
{
    const QVariant value = widget->property(name);
    return value.isValid() ? static_cast<BevelKind>(qBound(0, value.toInt(), 2)) : fallback;
}

int IntProperty(const QWidget* widget, const char* name, int fallback)
{
    const QVariant value = widget->property(name);
    return value.isValid() ? value.toInt() : fallback;
}

}  // namespace

bool IsInternalWidget(const QWidget* widget)
{
    return widget->objectName().startsWith(QLatin1String("qt_"));
}

bool IsButtonControl(const QWidget* widget)
{
    return As<QAbstractButton>(widget) && !As<QToolButton>(widget);
}

bool IsBitBtn(const QWidget* widget)
{
    const auto* button = As<QPushButton>(widget);
    return button && (button->property("Glyph").isValid() || !button->icon().isNull());
}

bool IsSpeedButton(const QWidget* widget)
{
    return As<QToolButton>(widget) && !As<QToolBar>(widget->parentWidget());
}

bool IsGroupBox(const QWidget* widget)
{
    const auto* box = As<QGroupBox>(widget);
    return box && !box->isCheckable();
}

bool IsTabSheet(const QWidget* widget)
{
    const QWidget* stack = widget->parentWidget();
    const auto* tabs = stack ? As<QTabWidget>(stack->parentWidget()) : nullptr;
    return tabs && As<QStackedWidget>(stack) && tabs->indexOf(const_cast<QWidget*>(widget)) >= 0;
}

bool IsPanel(const QWidget* widget)
{
    const auto* frame = As<QFrame>(widget);
    return frame && frame->metaObject() == &QFrame::staticMetaObject &&
           frame->frameShape() != QFrame::HLine && frame->frameShape() != QFrame::VLine && !IsForm(widget);
}

bool IsFrame(const QWidget* widget)
{
    return widget->metaObject() == &QWidget::staticMetaObject && !IsForm(widget) && !widget->isWindow() &&
           !IsInternalWidget(widget);
}

bool IsListView(const QWidget* widget)
{
    return As<QTreeView>(widget) || (As<QListView>(widget) && !As<QListWidget>(widget));
}

bool IsTrackBar(const QWidget* widget)
{
    return As<QSlider>(widget) != nullptr;
}

bool IsCheckListBox(const QWidget* widget)
{
    const auto* list = As<QListWidget>(widget);
    return list && list->count() > 0 && (list->item(0)->flags() & Qt::ItemIsUserCheckable);
}

bool IsStatusBar(const QWidget* widget)
{
    return As<QStatusBar>(widget) != nullptr;
}

bool IsAnimate(const QWidget* widget)
{
    const auto* label = As<QLabel>(widget);
    return label && label->movie();
}

bool IsForm(const QWidget* widget)
{
    const Qt::WindowType type = widget->windowType();
    return (widget->isWindow() && (type == Qt::Window || type == Qt::Dialog)) ||
           widget->property(kFormMark).toBool();
}

bool IsWinControl(const QWidget* widget)
{
    return !IsInternalWidget(widget);
}

bool IsScrollingWinControl(const QWidget* widget)
{
    return As<QScrollArea>(widget) != nullptr;
}

bool IsGrid(const QWidget* widget)
{
    return As<QTableView>(widget) != nullptr;
}

bool IsStaticText(const QWidget* widget)
{
    return As<QLabel>(widget) != nullptr;
}

bool IsLabel(const QWidget* widget)
{
    return As<QLabel>(widget) != nullptr;
}

bool IsToolBar(const QWidget* widget)
{
    return As<QToolBar>(widget) != nullptr;
}

bool IsCoolBar(const QWidget*)
{
    return false;
}

void MarkAsForm(QWidget* widget)
{
    widget->setProperty(kFormMark, true);
}

QWidget* FormOf(QWidget* control)
{
    for (QWidget* widget = control; widget; widget = widget->parentWidget()) {
        if (IsForm(widget)) return widget;
    }
    return nullptr;
}

std::vector<QWidget*> ControlsOf(const QWidget* parent)
{
    std::vector<QWidget*> controls;
    if (const auto* tabs = As<QTabWidget>(parent)) {
        for (int i = 0; i < tabs->count(); ++i) controls.push_back(tabs->widget(i));
        return controls;
    }
    if (const auto* area = As<QScrollArea>(parent)) {
        if (area->widget()) controls.push_back(area->widget());
        return controls;
    }
    if (HoldsOnlyItsOwnParts(parent)) return controls;
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow() && !IsPartOfItsParent(widget)) controls.push_back(widget);
    }
    return controls;
}

bool HasClientEdge(const QWidget* control)
{
    if (const auto* edit = As<QLineEdit>(control)) return edit->hasFrame();
    const auto* frame = As<QFrame>(control);
    if (!frame || frame->frameShadow() != QFrame::Sunken || frame->frameWidth() <= 0) return false;
    const QFrame::Shape shape = frame->frameShape();
    return shape == QFrame::Panel || shape == QFrame::StyledPanel || shape == QFrame::WinPanel;
}

bool HasWindowNow(const QWidget* control)
{
    return control->testAttribute(Qt::WA_WState_Created) && !control->property(kWindowGone).toBool();
}

bool WindowIsGone(const QWidget* control)
{
    return control->property(kWindowGone).toBool();
}

void MarkWindowGone(QWidget* control, bool gone)
{
    control->setProperty(kWindowGone, gone ? QVariant(true) : QVariant());
}

QColor ControlColor(const QWidget* control)
{
    return control->palette().color(control->backgroundRole());
}

bool ParentColor(const QWidget* control)
{
    return !control->autoFillBackground();
}

QColor ParentBrushColor(const QWidget* control)
{
    const QWidget* parent = control->parentWidget();
    return parent ? parent->palette().color(parent->backgroundRole()) : QColor();
}

bool DoubleBuffered(const QWidget* control)
{
    return control->property("DoubleBuffered").toBool();
}

int BorderWidth(const QWidget* control)
{
    return qMax(0, IntProperty(control, "BorderWidth", 0));
}

bool UseRightToLeftAlignment(const QWidget* control)
{
    return control->layoutDirection() == Qt::RightToLeft;
}

unsigned DrawTextBiDiModeFlags(const QWidget* control, unsigned flags)
{
    if (!UseRightToLeftAlignment(control)) return flags;
    // Centred text stays centred; left and right change places.
    if ((flags & uxtheme::DT_RIGHT) == uxtheme::DT_RIGHT)
        flags &= ~uxtheme::DT_RIGHT;
    else if ((flags & uxtheme::DT_CENTER) != uxtheme::DT_CENTER)
        flags |= uxtheme::DT_RIGHT;
    return flags | uxtheme::DT_RTLREADING;
}

PanelProperties ReadPanel(const QWidget* panel)
{
    PanelProperties properties;
    BevelKind outer = BevelKind::None;
    int lineWidth = 1;
    if (const auto* frame = As<QFrame>(panel)) {
        if (frame->frameShape() != QFrame::NoFrame && frame->frameShadow() != QFrame::Plain)
            outer = frame->frameShadow() == QFrame::Raised ? BevelKind::Raised : BevelKind::Lowered;
        lineWidth = qMax(1, frame->lineWidth());
    }
    properties.BevelOuter = BevelProperty(panel, "BevelOuter", outer);
    properties.BevelInner = BevelProperty(panel, "BevelInner", BevelKind::None);
    properties.BevelWidth = qMax(1, IntProperty(panel, "BevelWidth", lineWidth));
    properties.BorderWidth = BorderWidth(panel);
    properties.SingleBorder = IntProperty(panel, "BorderStyle", 0) != 0;
    properties.Caption = panel->property("Caption").toString();
    properties.Alignment = qBound(0, IntProperty(panel, "Alignment", 2), 2);
    return properties;
}

GlyphProperties ReadGlyph(const QWidget* button)
{
    GlyphProperties properties;
    const QVariant glyph = button->property("Glyph");
    const auto* abstractButton = As<QAbstractButton>(button);
    if (glyph.isValid())
        properties.Glyph = glyph.value<QPixmap>();
    else if (abstractButton && !abstractButton->icon().isNull())
        properties.Glyph = abstractButton->icon().pixmap(abstractButton->iconSize());
    properties.NumGlyphs = qBound(1, IntProperty(button, "NumGlyphs", 1), 4);
    properties.Layout = qBound(0, IntProperty(button, "Layout", 0), 3);
    properties.Margin = IntProperty(button, "Margin", -1);
    properties.Spacing = IntProperty(button, "Spacing", 4);
    if (abstractButton) properties.Caption = abstractButton->text();
    return properties;
}

bool IsFlat(const QWidget* button)
{
    const auto* toolButton = As<QToolButton>(button);
    return toolButton && toolButton->autoRaise();
}

bool IsDown(const QWidget* button)
{
    const auto* abstractButton = As<QAbstractButton>(button);
    return abstractButton && abstractButton->isDown();
}

bool IsExclusive(const QWidget* button)
{
    const auto* abstractButton = As<QAbstractButton>(button);
    return abstractButton && abstractButton->isCheckable() && abstractButton->isChecked();
}

bool IsDefaultButton(const QWidget* button)
{
    const auto* pushButton = As<QPushButton>(button);
    return pushButton && pushButton->isDefault();
}

}  // namespace themes
