#include "platform/host/HostProgram.h"

#include <QApplication>
#include <QCommandLineParser>

#include <iostream>

#include "platform/com/ComRuntime.h"
#include "platform/host/HostWindow.h"
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

}  // namespace

int RunHostProgram(QApplication& app)
{
    QApplication::setApplicationName("trovanta-host");
    ParseCommandLine(app);
    const ComScope com;
    try {
        TRegistry registry;
        MailClient client(registry);
        if (!client.PublishProblem().empty())
            std::cerr << "trovanta-host: " << client.PublishProblem()
                      << " Other programs will not see this mail client's objects.\n";
        HostWindow window(client);
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        std::cerr << "trovanta-host: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace host
