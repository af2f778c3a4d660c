#include "platform/host/HostProgram.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStatusBar>

#include <iostream>

#include "platform/com/ComRuntime.h"
#include "platform/host/AddInManager.h"
#include "platform/host/HostWindow.h"
#include "platform/host/QuitOnSignal.h"
#include "platform/office/CommandBarsImpl.h"
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

void ParseCommandLine(QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "The mail client over Maildir stores: the default store is $MAILDIR, else ~/Maildir; more stores\n"
        "are configured in the registry of $TROVANTA_HOME. It loads the add-ins registered under\n"
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Outlook\\AddIns.");
    parser.addHelpOption();
    parser.process(app);
}

/// Writes the problems from `first` on.
void Report(const std::vector<std::string>& problems, std::size_t first = 0)
{
    for (std::size_t i = first; i < problems.size(); ++i)
        std::cerr << "trovanta-host: " << problems[i] << '\n';
}

int Run()
{
    TRegistry registry;
    MailClient client(registry, [] { QApplication::closeAllWindows(); });
    if (!client.PublishProblem().empty())
        std::cerr << "trovanta-host: " << client.PublishProblem()
                  << " Other programs will not see this mail client's objects.\n";
    const std::filesystem::path barsFile = CommandBarsFile();
    const ComPtr<office::_CommandBars> bars = office::LoadCommandBars(barsFile);
    HostWindow window(client, bars);
    AddInManager addIns(client.OfficeApplication());
    addIns.StartUp();
    Report(addIns.Problems());
    if (!addIns.Problems().empty())
        window.statusBar()->showMessage(QString::fromStdString(addIns.Problems().front()));
    window.show();
    const QuitOnSignal quitOnSignal;
    const int exitCode = QApplication::exec();
    const std::size_t reported = addIns.Problems().size();
    addIns.ShutDown();
    Report(addIns.Problems(), reported);
    bars.As<office::ICommandBarsHost>()->Save(barsFile);
    return exitCode;
}

}  // namespace

std::filesystem::path CommandBarsFile()
{
    return TrovantaHome() / "Outlook Explorer.cmdbars";
}

int RunHostProgram(QApplication& app)
{
    QApplication::setApplicationName("trovanta-host");
    ParseCommandLine(app);
    const ComScope com;
    try {
        return Run();
    } catch (const std::exception& e) {
        std::cerr << "trovanta-host: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace host
