#include "addin_framework/axpProcessList.h"

#include <cctype>
#include <cerrno>
#include <system_error>

#include "platform/runtime/Text.h"

namespace {

bool IsProcessId(const std::string& name)
{
    if (name.empty()) return false;
    for (const char c : name)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

/// The executable's base name; "" when the process has none or is gone, "UNKNOWN" when it
/// may not be read.
std::string ExecutableName(const std::filesystem::path& processDir)
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink(processDir / "exe", ec);
    if (ec) return ec.value() == EACCES || ec.value() == EPERM ? "UNKNOWN" : "";
    std::string name = exe.filename().string();
    // The kernel marks an executable replaced or removed since the start this way.
    constexpr std::string_view deleted = " (deleted)";
    if (name.size() > deleted.size() && name.ends_with(deleted)) name.resize(name.size() - deleted.size());
    return UpperCase(name);
}

}  // namespace

TProcessList::TProcessList(const std::filesystem::path& ProcRoot)
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ProcRoot, ec)) {
        if (!IsProcessId(entry.path().filename().string())) continue;
        const std::string name = ExecutableName(entry.path());
        if (!name.empty()) Add(name);
    }
}

bool TProcessList::Contains(std::string_view ExeName) const
{
    return !ExeName.empty() && IndexOf(UpperCase(ExeName)) >= 0;
}
