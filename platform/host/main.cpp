// trovanta-host: the mail client over the Maildir stores, with its add-ins.

#include <QApplication>

#include "platform/host/HostProgram.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return host::RunHostProgram(app);
}
