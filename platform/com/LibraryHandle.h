#pragma once
// An owned handle of a shared library opened with dlopen.

#include <dlfcn.h>

#include <memory>

struct DlCloser {
    void operator()(void* handle) const noexcept { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, DlCloser>;
