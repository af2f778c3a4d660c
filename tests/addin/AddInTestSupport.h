#pragma once
// Shared by the add-in's tests: waiting for a window to show.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace addin_test {

/// Runs `step` on the first visible top-level window named `name` once it shows. The window
/// may come from another library (whose classes the test cannot cast to), and a modal window
/// runs its own loop, so the step comes from a timer and finds the window by its name.
inline void WhenWindowShows(const QString& name, std::function<void(QWidget&)> step)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, name, step = std::move(step)] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() != name || !window->isVisible()) continue;
            timer->stop();
            timer->deleteLater();
            step(*window);
            return;
        }
    });
    timer->start();
}

/// True while a top-level window named `name` exists.
inline bool WindowExists(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name) return true;
    return false;
}

}  // namespace addin_test
