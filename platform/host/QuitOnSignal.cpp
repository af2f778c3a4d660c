#include "platform/host/QuitOnSignal.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

namespace host {

namespace {
// A signal handler may only write to a pipe; the event loop reads the other end.
int signalPipe[2] = {-1, -1};
}  // namespace

QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent)
{
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignal::Quit);
    struct sigaction action = {};
    action.sa_handler = &QuitOnSignal::OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    for (int& fd : signalPipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

void QuitOnSignal::OnSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

void QuitOnSignal::Quit()
{
    char byte = 0;
    while (read(signalPipe[0], &byte, 1) > 0) {
    }
    QCoreApplication::quit();
}

}  // namespace host
