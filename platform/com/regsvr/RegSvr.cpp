#include "platform/com/regsvr/RegSvr.h"

#include <dlfcn.h>

#include <filesystem>
#include <memory>
#include <optional>

#include <fmt/format.h>

#include "platform/com/ClassFactory.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/LibraryHandle.h"

namespace regsvr {
namespace {

struct Command {
    bool unregister = false;
    std::string library;
};

bool IsOption(const std::string& arg) { return arg.size() == 2 && (arg[0] == '/' || arg[0] == '-'); }

std::optional<Command> ParseArgs(const std::vector<std::string>& args)
{
    Command command;
    for (const auto& arg : args) {
        if (arg == "/u" || arg == "/U" || arg == "-u") {
            command.unregister = true;
        } else if (IsOption(arg) || !command.library.empty() || arg.empty()) {
            return std::nullopt;
        } else {
            command.library = arg;
        }
    }
    if (command.library.empty()) return std::nullopt;
    return command;
}

/// A path as dlopen should see it: a file that exists is loaded from there, not searched.
std::string LoadPath(const std::string& library)
{
    std::error_code ec;
    if (std::filesystem::exists(library, ec)) return std::filesystem::absolute(library).string();
    return library;
}

std::string FailureReason(HRESULT hr)
{
    const auto info = GetErrorInfo();
    const std::string text = info && !info->description.empty() ? info->description : HResultMessage(hr);
    return fmt::format("error code 0x{:08X}: {}", static_cast<std::uint32_t>(hr), text);
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto command = ParseArgs(args);
    if (!command) {
        err << "Usage: regsvr [/u] LIBRARY\n"
               "Registers the in-process server LIBRARY, or unregisters it with /u.\n";
        return kUsage;
    }
    const char* entryName = command->unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const LibraryHandle handle(dlopen(LoadPath(command->library).c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!handle) {
        const char* reason = dlerror();
        err << fmt::format("The library \"{}\" failed to load: {}\n", command->library, reason ? reason : "");
        return kLoadFailed;
    }
    const auto entry = reinterpret_cast<DllRegisterServerFn>(dlsym(handle.get(), entryName));
    if (!entry) {
        err << fmt::format("The library \"{}\" was loaded, but the entry point {} was not found.\n",
                           command->library, entryName);
        return kNoEntryPoint;
    }
    ClearErrorInfo();
    if (const HRESULT hr = entry(); FAILED(hr)) {
        err << fmt::format("The library \"{}\" was loaded, but the call to {} failed with {}\n",
                           command->library, entryName, FailureReason(hr));
        return kCallFailed;
    }
    out << fmt::format("{} in \"{}\" succeeded.\n", entryName, command->library);
    return kSucceeded;
}

}  // namespace regsvr
