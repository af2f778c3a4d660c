#include "platform/com/ComRuntime.h"

namespace {
thread_local int tInitCount = 0;
}

HRESULT CoInitialize(void*) noexcept { return tInitCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() noexcept
{
    if (tInitCount == 0) return;
    if (--tInitCount == 0) CoFreeUnusedLibraries();
}

int CoInitializeCount() noexcept { return tInitCount; }

CLSID ProgIDToClassID(const std::string& progID)
{
    CLSID clsid;
    OleCheck(CLSIDFromString(progID, &clsid));
    return clsid;
}
