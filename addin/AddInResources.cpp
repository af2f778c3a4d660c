#include "addin/AddInResources.h"

#include <dlfcn.h>

namespace {

/// Once Qt holds pointers into this library (its resources, the meta-objects of its windows),
/// the library must stay loaded for the rest of the process, whatever DllCanUnloadNow later
/// answers: pins it in memory so that unloading it is a no-op.
void PinLibrary()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&PinLibrary), &info) != 0 && info.dli_fname)
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);  // the handle is kept on purpose
}

}  // namespace

// Registers the resources of this library once, whichever program loads it.
static void InitAddInResources()
{
    static const bool registered = [] {
        PinLibrary();
        Q_INIT_RESOURCE(addin);
        return true;
    }();
    (void)registered;
}

void PinAddInLibrary()
{
    InitAddInResources();
}

QString AddInResourcePath(const char* Name)
{
    InitAddInResources();
    return QString(":/QELaddin/") + Name;
}

QIcon AddInIcon()
{
    return QIcon(AddInResourcePath(kIconResource));
}
