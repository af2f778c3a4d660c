#include "platform/uxtheme/PartPainter.h"

#include <QApplication>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QWidget>

#include <map>

namespace uxtheme::lib {

namespace {

using State = QStyle::State;

template <class Option>
Option MakeOption(const PartContext& context, const QRect& rect)
{
    Option option;
    option.rect = rect;
    option.palette = context.Palette;
    option.direction = context.Direction;
    option.state = QStyle::State_Enabled;
    return option;
}

// The four variants of a button-like state: normal, hot, pressed, disabled.
void ApplyVariant(QStyleOption& option, int variant)
{
    switch (variant) {
        case 1:
            option.state |= QStyle::State_MouseOver | QStyle::State_Raised;
            break;
        case 2:
            option.state |= QStyle::State_Sunken;
            break;
        case 3:
            option.state &= ~State(QStyle::State_Enabled);
            break;
        default:
            option.state |= QStyle::State_Raised;
            break;
    }
}

void DrawPushButton(QPainter& painter, const PartContext& context, int state, const QRect& rect, bool user)
{
    auto option = MakeOption<QStyleOptionButton>(context, rect);
    ApplyVariant(option, state == 5 ? 0 : state - 1);
    if (state == 5) option.features |= QStyleOptionButton::DefaultButton;
    if (user) {
        context.Style->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, context.Widget);
        return;
    }
    context.Style->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, context.Widget);
}

// Radio buttons (8 states) and check boxes (12): groups of four for unchecked, checked, mixed.
void DrawIndicator(QPainter& painter, const PartContext& context, int state, const QRect& rect, bool radio)
{
    auto option = MakeOption<QStyleOptionButton>(context, rect);
    const int group = (state - 1) / 4;
    ApplyVariant(option, (state - 1) % 4);
    option.state &= ~State(QStyle::State_Raised);
    option.state |= group == 0 ? QStyle::State_Off : group == 1 ? QStyle::State_On : QStyle::State_NoChange;
    context.Style->drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox,
                                 &option, &painter, nullptr);
}

// Some styles draw a group box frame below room they keep for a title; measure that room once per
// style so that the frame starts at the top of the rectangle asked for.
int GroupBoxFrameInset(const PartContext& context)
{
    static QMutex mutex;
    static std::map<QString, int> insets;
    const QMutexLocker lock(&mutex);
    const QString key = context.Style->name();
    if (const auto it = insets.find(key); it != insets.end()) return it->second;
    QImage probe(64, 128, QImage::Format_ARGB32_Premultiplied);
    probe.fill(Qt::transparent);
    {
        QPainter painter(&probe);
        auto option = MakeOption<QStyleOptionFrame>(context, probe.rect());
        option.lineWidth = 1;
        context.Style->drawPrimitive(QStyle::PE_FrameGroupBox, &option, &painter, nullptr);
    }
    int inset = 0;
    while (inset < probe.height() && qAlpha(probe.pixel(probe.width() / 2, inset)) == 0) ++inset;
    inset = inset == probe.height() ? 0 : inset;
    insets.emplace(key, inset);
    return inset;
}

void DrawGroupBoxFrame(QPainter& painter, const PartContext& context, int state, const QRect& rect)
{
    const int inset = GroupBoxFrameInset(context);
    auto option = MakeOption<QStyleOptionFrame>(context, rect.adjusted(0, -inset, 0, 0));
    option.lineWidth = 1;
    if (state == 2) option.state &= ~State(QStyle::State_Enabled);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    context.Style->drawPrimitive(QStyle::PE_FrameGroupBox, &option, &painter, nullptr);
    painter.restore();
}

bool DrawButtonPart(QPainter& painter, const PartContext& context, int part, int state, const QRect& rect)
{
    switch (part) {
        case 1:
            DrawPushButton(painter, context, state, rect, false);
            return true;
        case 2:
            DrawIndicator(painter, context, state, rect, true);
            return true;
        case 3:
            DrawIndicator(painter, context, state, rect, false);
            return true;
        case 4:
            DrawGroupBoxFrame(painter, context, state, rect);
            return true;
        case 5:
            DrawPushButton(painter, context, state, rect, true);
            return true;
        default:
            return false;
    }
}

bool DrawEditPart(QPainter& painter, const PartContext& context, int part, int state, const QRect& rect)
{
    if (part == 2) {
        painter.fillRect(rect, context.Palette.color(QPalette::Text));
        return true;
    }
    auto option = MakeOption<QStyleOptionFrame>(context, rect);
    option.lineWidth = context.Style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, nullptr);
    if (state == 2) option.state |= QStyle::State_MouseOver;
    if (state == 3 || state == 5) option.state |= QStyle::State_HasFocus;
    if (state == 4) option.state &= ~State(QStyle::State_Enabled);
    if (state == 6) option.state |= QStyle::State_ReadOnly;
    context.Style->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, nullptr);
    return true;
}

// Tool-bar button states: normal, hot, pressed, disabled, checked, hot checked. A normal or
// disabled tool-bar button is flat: nothing is drawn for it.
bool DrawToolButtonPanel(QPainter& painter, const PartContext& context, int state, const QRect& rect)
{
    auto option = MakeOption<QStyleOption>(context, rect);
    option.state |= QStyle::State_AutoRaise;
    switch (state) {
        case 2:
            option.state |= QStyle::State_MouseOver | QStyle::State_Raised;
            break;
        case 3:
            option.state |= QStyle::State_Sunken;
            break;
        case 5:
            option.state |= QStyle::State_On | QStyle::State_Sunken;
            break;
        case 6:
            option.state |= QStyle::State_On | QStyle::State_Sunken | QStyle::State_MouseOver;
            break;
        default:
            return true;
    }
    context.Style->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, nullptr);
    return true;
}

void DrawArrow(QPainter& painter, const PartContext& context, QStyle::PrimitiveElement arrow,
               const QRect& rect)
{
    auto option = MakeOption<QStyleOption>(context, rect);
    context.Style->drawPrimitive(arrow, &option, &painter, nullptr);
}

void DrawSeparator(QPainter& painter, const PartContext& context, bool horizontalBar, const QRect& rect)
{
    auto option = MakeOption<QStyleOption>(context, rect);
    if (horizontalBar) option.state |= QStyle::State_Horizontal;
    context.Style->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, nullptr);
}

bool DrawToolbarPart(QPainter& painter, const PartContext& context, int part, int state, const QRect& rect)
{
    const int arrowWidth = qMin(rect.width(), 12);
    const QRect arrowRect(rect.right() - arrowWidth + 1, rect.top(), arrowWidth, rect.height());
    switch (part) {
        case 1:
            return DrawToolButtonPanel(painter, context, state, rect);
        case 2:
        case 3:
            DrawToolButtonPanel(painter, context, state, rect);
            DrawArrow(painter, context, QStyle::PE_IndicatorArrowDown, arrowRect);
            return true;
        case 4:
            DrawToolButtonPanel(painter, context, state, rect);
            DrawArrow(painter, context, QStyle::PE_IndicatorArrowDown, rect);
            return true;
        case 5:
            DrawSeparator(painter, context, true, rect);
            return true;
        case 6:
            DrawSeparator(painter, context, false, rect);
            return true;
        default:
            return false;
    }
}

bool DrawRebarPart(QPainter& painter, const PartContext& context, int part, int state, const QRect& rect)
{
    auto option = MakeOption<QStyleOptionToolBar>(context, rect);
    switch (part) {
        case 1:
        case 2:
            if (part == 1) option.state |= QStyle::State_Horizontal;
            context.Style->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, nullptr);
            return true;
        case 3:
            option.state |= QStyle::State_Horizontal;
            context.Style->drawControl(QStyle::CE_ToolBar, &option, &painter, nullptr);
            return true;
        case 4:
        case 5:
            DrawToolButtonPanel(painter, context, state, rect);
            DrawArrow(painter, context,
                      part == 4 ? QStyle::PE_IndicatorArrowRight : QStyle::PE_IndicatorArrowDown, rect);
            return true;
        default:
            return false;
    }
}

bool DrawStatusPart(QPainter& painter, const PartContext& context, int part, const QRect& rect)
{
    auto option = MakeOption<QStyleOption>(context, rect);
    switch (part) {
        case 0:
            painter.fillRect(rect, context.Palette.color(QPalette::Window));
            context.Style->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, nullptr);
            return true;
        case 1:
        case 2:
            context.Style->drawPrimitive(QStyle::PE_FrameStatusBarItem, &option, &painter, nullptr);
            return true;
        case 3: {
            auto grip = MakeOption<QStyleOptionSizeGrip>(context, rect);
            grip.corner = context.Direction == Qt::RightToLeft ? Qt::BottomLeftCorner : Qt::BottomRightCorner;
            context.Style->drawControl(QStyle::CE_SizeGrip, &grip, &painter, nullptr);
            return true;
        }
        default:
            return false;
    }
}

void DrawTabPane(QPainter& painter, const PartContext& context, const QRect& rect)
{
    auto option = MakeOption<QStyleOptionTabWidgetFrame>(context, rect);
    option.shape = QTabBar::RoundedNorth;
    option.lineWidth = context.Style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, nullptr);
    context.Style->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, nullptr);
}

// The tab body is the inside of the pane: the pane drawn larger than the rectangle, clipped to it.
void DrawTabBody(QPainter& painter, const PartContext& context, const QRect& rect)
{
    painter.fillRect(rect, context.Palette.color(QPalette::Window));
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    DrawTabPane(painter, context, rect.adjusted(-8, -8, 8, 8));
    painter.restore();
}

bool DrawTabPart(QPainter& painter, const PartContext& context, int part, int state, const QRect& rect)
{
    if (part == 9) {
        DrawTabPane(painter, context, rect);
        return true;
    }
    if (part == 10) {
        DrawTabBody(painter, context, rect);
        return true;
    }
    if (part < 1 || part > 8) return false;
    static constexpr QStyleOptionTab::TabPosition kPositions[] = {
        QStyleOptionTab::Middle, QStyleOptionTab::Beginning, QStyleOptionTab::End,
        QStyleOptionTab::OnlyOneTab};
    auto option = MakeOption<QStyleOptionTab>(context, rect);
    option.shape = QTabBar::RoundedNorth;
    option.position = kPositions[(part - 1) % 4];
    if (state == 2) option.state |= QStyle::State_MouseOver;
    if (state == 3) option.state |= QStyle::State_Selected;
    if (state == 4) option.state &= ~State(QStyle::State_Enabled);
    if (state == 5) option.state |= QStyle::State_HasFocus | QStyle::State_Selected;
    context.Style->drawControl(QStyle::CE_TabBarTabShape, &option, &painter, nullptr);
    return true;
}

void ApplyThumbPart(QStyleOptionSlider& option, int part)
{
    static constexpr QSlider::TickPosition kTicks[] = {QSlider::NoTicks,    QSlider::TicksBelow,
                                                       QSlider::TicksAbove, QSlider::NoTicks,
                                                       QSlider::TicksLeft,  QSlider::TicksRight};
    option.orientation = part <= 5 ? Qt::Horizontal : Qt::Vertical;
    option.tickPosition = kTicks[part - 3];
}

bool DrawTrackbarPart(QPainter& painter, const PartContext& context, int part, int state, const QRect& rect)
{
    if (part < 1 || part > 10) return false;
    auto option = MakeOption<QStyleOptionSlider>(context, rect);
    option.minimum = 0;
    option.maximum = 100;
    option.tickInterval = 10;
    if (part <= 2 || part >= 9) {
        option.orientation = (part == 1 || part == 9) ? Qt::Horizontal : Qt::Vertical;
        option.subControls = part <= 2 ? QStyle::SC_SliderGroove : QStyle::SC_SliderTickmarks;
        option.tickPosition = part <= 2 ? QSlider::NoTicks : QSlider::TicksBelow;
    } else {
        ApplyThumbPart(option, part);
        option.subControls = QStyle::SC_SliderHandle;
        if (state == 2 || state == 3) option.activeSubControls = QStyle::SC_SliderHandle;
        if (state == 3) option.state |= QStyle::State_Sunken;
        if (state == 4) option.state |= QStyle::State_HasFocus;
        if (state == 5) option.state &= ~State(QStyle::State_Enabled);
    }
    if (option.orientation == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    context.Style->drawComplexControl(QStyle::CC_Slider, &option, &painter, nullptr);
    return true;
}

}  // namespace

PartContext ContextFor(const QWidget* window)
{
    PartContext context;
    context.Style = window ? window->style() : QApplication::style();
    context.Widget = window;
    context.Palette = window ? window->palette() : QGuiApplication::palette();
    context.Direction = window ? window->layoutDirection() : QGuiApplication::layoutDirection();
    return context;
}

bool DrawPart(QPainter& painter, const PartContext& context, const PartId& id, const QRect& rect)
{
    painter.save();
    bool drawn = false;
    switch (id.Class) {
        case ThemeClass::Button:
            drawn = DrawButtonPart(painter, context, id.Part, id.State, rect);
            break;
        case ThemeClass::Edit:
            drawn = DrawEditPart(painter, context, id.Part, id.State, rect);
            break;
        case ThemeClass::Rebar:
            drawn = DrawRebarPart(painter, context, id.Part, id.State, rect);
            break;
        case ThemeClass::Status:
            drawn = DrawStatusPart(painter, context, id.Part, rect);
            break;
        case ThemeClass::Tab:
            drawn = DrawTabPart(painter, context, id.Part, id.State, rect);
            break;
        case ThemeClass::Toolbar:
            drawn = DrawToolbarPart(painter, context, id.Part, id.State, rect);
            break;
        case ThemeClass::Trackbar:
            drawn = DrawTrackbarPart(painter, context, id.Part, id.State, rect);
            break;
        default:
            break;
    }
    if (!drawn && id.Part == 0) {
        // The class as a whole: the background its controls stand on.
        painter.fillRect(rect, context.Palette.color(id.Class == ThemeClass::Button ? QPalette::Button
                                                                                    : QPalette::Window));
        drawn = true;
    }
    painter.restore();
    return drawn;
}

}  // namespace uxtheme::lib
