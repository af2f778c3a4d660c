#pragma once
// Driving the modal editor windows in tests: a script step runs on the first modal window of
// the expected class to show up, a fixture with a scripted user, help routed to it, and a
// private registry.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <string>

#include "jobs/FileTools.h"
#include "tests/support/TempDir.h"
#include "tests/support/ui/ScriptedUserInterface.h"
#include "windows/OutlookFolderPicker.h"

namespace editor_test {

/// Runs `step` once on the first modal window of class T that is active; waits for it for up to
/// ten seconds (a window that never shows fails the test). Steps for windows that one step opens
/// from within another are set up before the step that opens them.
template <class T>
void WhenModal(std::function<void(T&)> step)
{
    auto* timer = new QTimer(qApp);
    const QDeadlineTimer deadline(10000);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, step = std::move(step)] {
        if (T* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(*window);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window of class " << T::staticMetaObject.className() << " showed up";
        }
    });
    timer->start();
}

/// The child of `window` with this object name; fails the test when there is none.
template <class T = QWidget>
T* Child(QWidget& window, const char* name)
{
    T* child = window.findChild<T*>(QString::fromUtf8(name));
    if (!child) ADD_FAILURE() << "no child " << name << " in " << window.objectName().toStdString();
    return child;
}

inline void Click(QWidget& window, const char* name)
{
    if (auto* button = Child<QAbstractButton>(window, name)) button->click();
}

inline void SetText(QWidget& window, const char* name, const std::string& text)
{
    if (auto* edit = Child<QLineEdit>(window, name)) edit->setText(QString::fromStdString(text));
}

inline std::string GetText(QWidget& window, const char* name)
{
    auto* edit = Child<QLineEdit>(window, name);
    return edit ? edit->text().toStdString() : std::string();
}

inline void SetMemo(QWidget& window, const char* name, const std::string& text)
{
    if (auto* memo = Child<QPlainTextEdit>(window, name)) memo->setPlainText(QString::fromStdString(text));
}

inline std::string GetMemo(QWidget& window, const char* name)
{
    auto* memo = Child<QPlainTextEdit>(window, name);
    return memo ? memo->toPlainText().toStdString() : std::string();
}

inline bool IsChecked(QWidget& window, const char* name)
{
    auto* box = Child<QAbstractButton>(window, name);
    return box && box->isChecked();
}

inline void SetChecked(QWidget& window, const char* name, bool checked)
{
    if (auto* box = Child<QAbstractButton>(window, name)) box->setChecked(checked);
}

inline int ComboIndex(QWidget& window, const char* name)
{
    auto* combo = Child<QComboBox>(window, name);
    return combo ? combo->currentIndex() : -2;
}

/// A scripted user, help shown through it, and TROVANTA_HOME in a private folder (so the
/// registry is the test's own). A watchdog closes a window that a faulty script left open.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("TROVANTA_HOME", (home_.Path() / "home").c_str(), 1);
        SetHelpHandler([](const std::string& file, int context) { return ui::Ui().ShowHelp(file, context); });
        watchdog_.setSingleShot(true);
        watchdog_.setInterval(30000);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            while (QWidget* open = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "window left open: " << open->objectName().toStdString();
                open->close();
            }
        });
        watchdog_.start();
    }
    void TearDown() override
    {
        watchdog_.stop();
        SetHelpHandler(nullptr);
        ::unsetenv("TROVANTA_HOME");
    }

    /// The messages shown so far, each "caption|text".
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> shown;
        for (const ui::AskedMessage& m : user_->Messages) shown.push_back(m.Caption + "|" + m.Text);
        return shown;
    }

    test::TempDir home_;
    ui::ScopedScriptedUi user_;
    QTimer watchdog_;
};

/// Installs a mail folder chooser for the life of a test.
class ScopedChooser {
public:
    explicit ScopedChooser(TOutlookFolderChooser chooser)
        : previous_(SetOutlookFolderChooser(std::move(chooser)))
    {
    }
    ~ScopedChooser() { SetOutlookFolderChooser(std::move(previous_)); }
    ScopedChooser(const ScopedChooser&) = delete;
    ScopedChooser& operator=(const ScopedChooser&) = delete;

private:
    TOutlookFolderChooser previous_;
};

}  // namespace editor_test
