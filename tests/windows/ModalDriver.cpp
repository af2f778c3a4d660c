#include "tests/windows/ModalDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>


namespace test {
namespace {

constexpr qint64 kPatienceMs = 10000;

void WaitForModal(QPointer<QWidget> before, QElapsedTimer started, std::function<void(QWidget*)> action)
{
    QWidget* window = QApplication::activeModalWidget();
    if (window != nullptr && window != before.data()) {
        action(window);
        return;
    }
    if (started.elapsed() > kPatienceMs) {
        ADD_FAILURE() << "no modal window opened";
        return;
    }
    QTimer::singleShot(0, [before, started, action = std::move(action)]() mutable {
        WaitForModal(before, started, std::move(action));
    });
}

}  // namespace

void OnNextModal(std::function<void(QWidget* Window)> Action)
{
    QPointer<QWidget> before = QApplication::activeModalWidget();
    QElapsedTimer started;
    started.start();
    QTimer::singleShot(0, [before, started, action = std::move(Action)]() mutable {
        WaitForModal(before, started, std::move(action));
    });
}

void ClickButton(QWidget* Window, const char* Name)
{
    auto* button = Window->findChild<QPushButton*>(QString::fromLatin1(Name));
    if (button == nullptr) {
        ADD_FAILURE() << "no button " << Name;
        return;
    }
    EXPECT_TRUE(button->isEnabled()) << Name;
    button->click();
}

void PressEscape(QWidget* Window)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Window, &press);
}

}  // namespace test
