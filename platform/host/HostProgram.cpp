#include "platform/host/HostProgram.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStatusBar>
#include <QTimer>

#include <iostream>

#include "platform/com/ComRuntime.h"
#include "platform/host/AddInManager.h"
#include "platform/host/HostWindow.h"
#include "platform/host/QuitOnSignal.h"
#include "platform/office/CommandBarsImpl.h"
#include "platform/office/OutlookHost.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Registry.h"

namespace host {

namespace {

/// One CoInitialize for the program's thread, undone at the end.
class ComScope {
public:
    ComScope() { CoInitialize(); }
    ~ComScope() { CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

struct HostOptions {
    /// Quit as soon as start-up is done and the event loop is idle (tests, scripts).
    bool quitWhenIdle = false;
};

HostOptions ParseCommandLine(QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "The mail client over Maildir stores: the default store is $MAILDIR, else ~/Maildir; more stores\n"
        "are configured in the registry of $TROVANTA_HOME. It loads the add-ins registered under\n"
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Outlook\\AddIns.");
    parser.addHelpOption();
    const QCommandLineOption quitWhenIdle(
        "quit-when-idle",
        "Writes the names of the toolbars shown on standard output and quits as soon as "
        "start-up is done (for tests and scripts).");
    parser.addOption(quitWhenIdle);
    parser.process(app);
    return {parser.isSet(quitWhenIdle)};
}

/// The toolbars shown once start-up is done, one line "toolbar: <name>" each.
void ReportShownToolbars(const ComPtr<office::_CommandBars>& bars)
{
    for (int i = 1, n = bars->Count(); i <= n; ++i) {
        const auto bar = bars->Item(i);
        if (bar->Visible()) std::cout << "toolbar: " << bar->Name() << '\n';
    }
    std::cout.flush();
}

/// Writes the problems from `first` on.
void Report(const std::vector<std::string>& problems, std::size_t first = 0)
{
    for (std::size_t i = first; i < problems.size(); ++i)
        std::cerr << "trovanta-host: " << problems[i] << '\n';
}

int Run(const HostOptions& options)
{
    TRegistry registry;
    MailClient client(registry, [] { QApplication::closeAllWindows(); });
    if (!client.PublishProblem().empty())
        std::cerr << "trovanta-host: " << client.PublishProblem()
                  << " Other programs will not see this mail client's objects.\n";
    const std::filesystem::path barsFile = office::SavedExplorerCommandBarsFile();
    const ComPtr<office::_CommandBars> bars = office::LoadCommandBars(barsFile);
    HostWindow window(client, bars);
    AddInManager addIns(client.OfficeApplication());
    addIns.StartUp();
    Report(addIns.Problems());
    if (!addIns.Problems().empty())
        window.statusBar()->showMessage(QString::fromStdString(addIns.Problems().front()));
    window.show();
    const QuitOnSignal quitOnSignal;
    if (options.quitWhenIdle) {
        QTimer::singleShot(0, &window, [&bars] {
            ReportShownToolbars(bars);
            QApplication::quit();
        });
    }
    const int exitCode = QApplication::exec();
    const std::size_t reported = addIns.Problems().size();
    addIns.ShutDown();
    Report(addIns.Problems(), reported);
    bars.As<office::ICommandBarsHost>()->Save(barsFile);
    return exitCode;
}

}  // namespace

int RunHostProgram(QApplication& app)
{
    QApplication::setApplicationName("trovanta-host");
    const HostOptions options = ParseCommandLine(app);
    const ComScope com;
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::cerr << "trovanta-host: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace host
