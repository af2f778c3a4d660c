#include "platform/ui/ApplicationObject.h"

namespace ui {

ApplicationObject& Application()
{
    static ApplicationObject application;
    return application;
}

}  // namespace ui
