#include "platform/ui/ApplicationObject.h"

#include <QGuiApplication>

namespace ui {

ApplicationObject& Application()
{
    static ApplicationObject application;
    return application;
}

QIcon ApplicationIcon()
{
    return Application().Icon.isNull() ? QGuiApplication::windowIcon() : Application().Icon;
}

}  // namespace ui
