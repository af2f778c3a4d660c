#pragma once
// Ends the host program's event loop when the terminal interrupts it (SIGINT) or the system
// asks it to end (SIGTERM), so that its add-ins are shut down and its toolbars kept as on a
// close of the window.

#include <QObject>

class QSocketNotifier;

namespace host {

class QuitOnSignal final : public QObject {
    Q_OBJECT
public:
    /// Installs the handlers for the lifetime of the object (one object per process).
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

private:
    static void OnSignal(int signal);
    void Quit();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace host
