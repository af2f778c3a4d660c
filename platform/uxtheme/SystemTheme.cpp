#include "platform/uxtheme/SystemTheme.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyle>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/uxtheme/PartPainter.h"

namespace uxtheme::lib {

namespace {

constexpr DWORD kAllProperties = STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT;
constexpr const char* kDialogTextureProperty = "_trovanta_uxtheme_dialog_texture";

std::atomic<DWORD> g_appProperties{kAllProperties};

QApplication* GuiApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

/// Notices the application's style being replaced (every widget gets a StyleChange event then) and
/// broadcasts the theme change once the event that revealed it has been handled.
class StyleWatcher final : public QObject {
public:
    StyleWatcher() : broadcastEvent_(static_cast<QEvent::Type>(QEvent::registerEventType())), seen_(Current())
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::StyleChange && watched->isWidgetType() && Current() != seen_) {
            seen_ = Current();
            QCoreApplication::postEvent(this, new QEvent(broadcastEvent_));
        }
        return false;
    }

    bool event(QEvent* event) override
    {
        if (event->type() != broadcastEvent_) return QObject::event(event);
        Broadcast();
        return true;
    }

private:
    static QString Current()
    {
        const QStyle* style = QApplication::style();
        return style ? style->name() + QString::number(reinterpret_cast<quintptr>(style)) : QString();
    }

    static void Broadcast()
    {
        QEvent changed(ThemeChangedEvent);
        if (QCoreApplication* app = QCoreApplication::instance()) QCoreApplication::sendEvent(app, &changed);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            QEvent toWindow(ThemeChangedEvent);
            QCoreApplication::sendEvent(window, &toWindow);
        }
    }

    const QEvent::Type broadcastEvent_;
    QString seen_;
};

struct WatcherSlot {
    std::mutex Mutex;
    std::unique_ptr<StyleWatcher> Watcher;
    QPointer<QApplication> WatchedApp;
};

WatcherSlot& Watching()
{
    static WatcherSlot slot;
    return slot;
}

bool IsOpaqueBackground(const QWidget* widget)
{
    return widget->isWindow() || widget->autoFillBackground() ||
           widget->testAttribute(Qt::WA_OpaquePaintEvent);
}

// Rendering an ancestor runs its painting, which may ask for its own parent's background. Widgets
// paint on the GUI thread only. (No thread_local here: a library that is unloaded must not leave
// thread-local blocks behind.)
int g_parentPaintDepth = 0;
// The ancestor being rendered behind a child: the ancestors behind it are already painted, so its
// own request for them is answered at once. Without this every level of plain containers would
// paint all the levels below it again, doubling the work with each level.
const QWidget* g_ancestorBeingRendered = nullptr;

/// Renders one ancestor of the chain into behind, marked as the one being rendered.
void RenderAncestor(QWidget* ancestor, QPixmap& behind, const QRegion& source, QWidget::RenderFlags flags)
{
    const QWidget* outer = g_ancestorBeingRendered;
    g_ancestorBeingRendered = ancestor;
    ancestor->render(&behind, QPoint(), source, flags);
    g_ancestorBeingRendered = outer;
}

// A window given the tab texture (EnableThemeDialogTexture) stands on the tab body instead of its
// own background colour.
bool UsesTabTexture(const QWidget* widget)
{
    const DWORD texture = DialogTexture(widget);
    return widget->isWindow() && (texture & ETDT_ENABLE) && (texture & ETDT_USETABTEXTURE);
}

}  // namespace

bool ThemeActive()
{
    if (!GuiApplication()) return false;
    const QStyle* style = QApplication::style();
    return style && style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0;
}

bool AppThemed()
{
    return ThemeActive();
}

DWORD AppProperties()
{
    return g_appProperties.load();
}

void SetAppProperties(DWORD flags)
{
    g_appProperties.store(flags & kAllProperties);
}

void WatchStyleChanges()
{
    QApplication* app = GuiApplication();
    if (!app || QThread::currentThread() != app->thread()) return;
    WatcherSlot& slot = Watching();
    const std::lock_guard lock(slot.Mutex);
    if (slot.Watcher && slot.WatchedApp == app) return;
    slot.Watcher = std::make_unique<StyleWatcher>();
    slot.WatchedApp = app;
    app->installEventFilter(slot.Watcher.get());
}

void SetDialogTexture(QObject* window, DWORD flags)
{
    window->setProperty(kDialogTextureProperty, (flags & ETDT_DISABLE) ? 0u : flags);
}

DWORD DialogTexture(const QObject* window)
{
    return window->property(kDialogTextureProperty).toUInt();
}

HRESULT PaintParentBackground(QWidget* child, QPainter& painter, const QRect& area)
{
    if (!child->parentWidget() || area.isEmpty()) return E_FAIL;
    if (child == g_ancestorBeingRendered) return S_OK;
    if (g_parentPaintDepth > 8) return E_FAIL;
    QList<QWidget*> chain;
    for (QWidget* ancestor = child->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        chain.prepend(ancestor);
        if (IsOpaqueBackground(ancestor)) break;
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QPixmap behind(area.size() * ratio);
    behind.setDevicePixelRatio(ratio);
    behind.fill(Qt::transparent);
    ++g_parentPaintDepth;
    for (QWidget* ancestor : chain) {
        const QRect source(child->mapTo(ancestor, area.topLeft()), area.size());
        QWidget::RenderFlags flags;
        if (ancestor == chain.front() && UsesTabTexture(ancestor)) {
            QPainter texture(&behind);
            DrawPart(texture, ContextFor(ancestor), PartId{ThemeClass::Tab, 10, 1},
                     QRect(QPoint(), area.size()));
        } else if (ancestor == chain.front()) {
            flags = QWidget::DrawWindowBackground;
        }
        RenderAncestor(ancestor, behind, QRegion(source), flags);
    }
    --g_parentPaintDepth;
    painter.drawPixmap(area.topLeft(), behind);
    return S_OK;
}

}  // namespace uxtheme::lib
