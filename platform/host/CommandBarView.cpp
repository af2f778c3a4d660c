#include "platform/host/CommandBarView.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "platform/office/CommandBarsImpl.h"

namespace host {

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QIcon IconOf(const office::Picture& face)
{
    if (face.Empty()) return {};
    QImage image(face.Width, face.Height, QImage::Format_ARGB32);
    for (int y = 0; y < face.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < face.Width; ++x)
            line[x] = face.Pixels[static_cast<std::size_t>(y * face.Width + x)];
    }
    return QIcon(QPixmap::fromImage(image));
}

Qt::ToolButtonStyle ButtonStyle(int style, bool hasFace)
{
    switch (style) {
        case office::msoButtonIcon:
            return Qt::ToolButtonIconOnly;
        case office::msoButtonCaption:
            return Qt::ToolButtonTextOnly;
        case office::msoButtonIconAndCaption:
            return Qt::ToolButtonTextBesideIcon;
        default:
            return hasFace ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly;
    }
}

Qt::ToolBarArea AreaOf(int position)
{
    switch (position) {
        case office::msoBarLeft:
            return Qt::LeftToolBarArea;
        case office::msoBarRight:
            return Qt::RightToolBarArea;
        case office::msoBarBottom:
            return Qt::BottomToolBarArea;
        default:
            return Qt::TopToolBarArea;
    }
}

}  // namespace

CommandBarView::CommandBarView(QMainWindow& window, ComPtr<office::_CommandBars> bars)
    : QObject(&window), window_(window), bars_(std::move(bars))
{
    if (const auto host = bars_.As<office::ICommandBarsHost>())
        host->SetChangeListener([this] { ScheduleRender(); });
}

CommandBarView::~CommandBarView()
{
    if (const auto host = bars_.As<office::ICommandBarsHost>()) host->SetChangeListener(nullptr);
}

void CommandBarView::ScheduleRender()
{
    if (renderPending_) return;
    renderPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { Render(); }, Qt::QueuedConnection);
}

void CommandBarView::Render()
{
    renderPending_ = false;
    RemoveToolBars();
    try {
        for (int i = 1, n = bars_->Count(); i <= n; ++i) {
            const auto bar = bars_->Item(i);
            const int position = bar->Position();
            if (bar->Visible() && position != office::msoBarPopup && position != office::msoBarMenuBar)
                AddToolBar(*bar);
        }
    } catch (const std::exception& e) {
        qWarning("The toolbars cannot be shown: %s", e.what());
    }
}

void CommandBarView::RemoveToolBars()
{
    for (QToolBar* toolbar : toolbars_) {
        window_.removeToolBar(toolbar);
        toolbar->setParent(nullptr);  // gone from the window at once, deleted once idle
        toolbar->deleteLater();
    }
    toolbars_.clear();
}

void CommandBarView::AddToolBar(office::CommandBar& bar)
{
    auto* toolbar = new QToolBar(Text(bar.NameLocal()), &window_);
    toolbar->setObjectName(Text(bar.Name()));
    window_.addToolBar(AreaOf(bar.Position()), toolbar);
    toolbars_.push_back(toolbar);
    const auto controls = bar.Controls();
    for (int i = 1, n = controls->Count(); i <= n; ++i) {
        const auto control = controls->Item(i);
        if (control->Visible()) AddControl(*toolbar, control);
    }
}

void CommandBarView::AddControl(QToolBar& toolbar, const ComPtr<office::CommandBarControl>& control)
{
    switch (control->Type()) {
        case office::msoControlEdit:
        case office::msoControlDropdown:
        case office::msoControlComboBox:
            AddTextControl(toolbar, control);
            break;
        case office::msoControlPopup:
            AddPopup(toolbar, control);
            break;
        default:
            AddButton(toolbar, control);
            break;
    }
}

void CommandBarView::AddButton(QToolBar& toolbar, const ComPtr<office::CommandBarControl>& control)
{
    auto* action = new QAction(Text(control->Caption()), &toolbar);
    action->setObjectName(Text(control->Tag()));
    action->setToolTip(Text(control->TooltipText()));
    action->setEnabled(control->Enabled());
    int style = office::msoButtonAutomatic;
    if (const auto button = control.As<office::CommandBarButton>()) {
        action->setIcon(IconOf(button->Face()));
        style = button->Style();
    }
    connect(action, &QAction::triggered, this, [this, control] { ExecuteLater(control); });
    auto* widget = new QToolButton(&toolbar);
    widget->setDefaultAction(action);
    widget->setToolButtonStyle(ButtonStyle(style, !action->icon().isNull()));
    toolbar.addWidget(widget);
}

void CommandBarView::AddTextControl(QToolBar& toolbar, const ComPtr<office::CommandBarControl>& control)
{
    const auto combo = control.As<office::CommandBarComboBox>();
    if (!combo) return;
    if (control->Type() == office::msoControlEdit) {
        auto* edit = new QLineEdit(Text(combo->Text()), &toolbar);
        edit->setObjectName(Text(control->Tag()));
        edit->setToolTip(Text(control->TooltipText()));
        connect(edit, &QLineEdit::editingFinished, this, [this, combo, edit] {
            combo->SetText(edit->text().toStdString());
            ExecuteLater(combo);
        });
        toolbar.addWidget(edit);
        return;
    }
    auto* box = new QComboBox(&toolbar);
    box->setObjectName(Text(control->Tag()));
    box->setEditable(control->Type() == office::msoControlComboBox);
    for (int i = 1, n = combo->ListCount(); i <= n; ++i) box->addItem(Text(combo->List(i)));
    box->setCurrentText(Text(combo->Text()));
    connect(box, &QComboBox::textActivated, this, [this, combo](const QString& text) {
        combo->SetText(text.toStdString());
        ExecuteLater(combo);
    });
    toolbar.addWidget(box);
}

void CommandBarView::AddPopup(QToolBar& toolbar, const ComPtr<office::CommandBarControl>& control)
{
    const auto popup = control.As<office::CommandBarPopup>();
    if (!popup) return;
    auto* button = new QToolButton(&toolbar);
    button->setObjectName(Text(control->Tag()));
    button->setText(Text(control->Caption()));
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    connect(menu, &QMenu::aboutToShow, this, [this, control] { ExecuteLater(control); });
    FillMenu(*menu, *popup->Controls());
    button->setMenu(menu);
    toolbar.addWidget(button);
}

void CommandBarView::FillMenu(QMenu& menu, office::CommandBarControls& controls)
{
    for (int i = 1, n = controls.Count(); i <= n; ++i) {
        const auto control = controls.Item(i);
        if (!control->Visible()) continue;
        if (const auto popup = control.As<office::CommandBarPopup>()) {
            FillMenu(*menu.addMenu(Text(control->Caption())), *popup->Controls());
            continue;
        }
        QAction* action = menu.addAction(Text(control->Caption()));
        action->setObjectName(Text(control->Tag()));
        action->setEnabled(control->Enabled());
        connect(action, &QAction::triggered, this, [this, control] { ExecuteLater(control); });
    }
}

void CommandBarView::ExecuteLater(const ComPtr<office::CommandBarControl>& control)
{
    QMetaObject::invokeMethod(
        this,
        [control] {
            try {
                control->Execute();
            } catch (const std::exception& e) {
                qWarning("The control's event failed: %s", e.what());
            }
        },
        Qt::QueuedConnection);
}

}  // namespace host
