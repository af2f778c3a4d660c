#include "engine/LnkTools.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/MaskExpansion.h"
#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"
#include "platform/runtime/Text.h"
#include "platform/shell/ShellLink.h"

namespace fs = std::filesystem;

namespace {

const char* const kShortcutError = "Error while creating the shortcut.";
const char* const kShortcutExtension = ".qel";
constexpr std::size_t kMaxPath = 260;
// Shell links are small; a larger file is read only this far, which keeps a hostile
// attachment from filling memory. The link info lies near the start.
constexpr std::size_t kMaxLinkBytes = 1 << 20;

std::string::size_type NameStart(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

// The name without its folder; a sender's "\" counts as a separator too.
std::string ExtractName(const std::string& path)
{
    return path.substr(NameStart(path));
}

// Position of the extension's dot in a name, or npos.
std::string::size_type ExtensionDot(const std::string& name)
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot < NameStart(name) ? std::string::npos : dot;
}

std::string ShortcutFolder()
{
    return JoinPath(GetTempDir(), "Trovanta");
}

bool FileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

void CreateFolder(const std::string& dir)
{
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw EOSError(ec.value(), dir);
}

// What the link records of its target: description, and the target's times and size
// when it exists.
shell::ShellLinkData LinkFor(const std::string& target, const std::string& description)
{
    shell::ShellLinkData link;
    link.targetPath = target;
    link.description = description;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        link.fileSize = static_cast<std::uint32_t>(info.st_size);
        link.writeTime = shell::FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
        link.accessTime = shell::FileTimeFromUnix(info.st_atim.tv_sec, info.st_atim.tv_nsec);
        link.creationTime = shell::FileTimeFromUnix(info.st_ctim.tv_sec, info.st_ctim.tv_nsec);
        if (S_ISDIR(info.st_mode)) link.fileAttributes = shell::kFileAttributeDirectory;
    }
    return link;
}

// Saves the link; a failure leaves no file, so that the caller reports it. The file is not
// flushed to disk: it is read into the e-mail and removed right away, and the e-mail that then
// holds it is flushed when it is saved.
void SaveLink(const std::string& linkPath, const shell::ShellLinkData& link)
{
    if (Utf8Length(linkPath) > kMaxPath) return;
    try {
        WriteFileAtomically(linkPath, shell::WriteShellLink(link), 0600, false);
    } catch (const EOSError&) {
    }
}

void DeleteQuietly(const std::string& path)
{
    ::unlink(path.c_str());
}

std::string ReadLinkBytes(const std::string& path)
{
    const UniqueFd fd = OpenRegularFile(path);
    if (!fd) return {};
    std::string bytes;
    char chunk[64 * 1024];
    while (bytes.size() < kMaxLinkBytes) {
        const ssize_t n = ::read(fd.Get(), chunk, std::min(sizeof chunk, kMaxLinkBytes - bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

}  // namespace

std::string ShortcutFileName(const std::string& FileName)
{
    std::string name = ExtractName(FileName);
    const std::size_t dot = std::min(ExtensionDot(name), name.size());
    name = FitNamePart(std::string_view(name).substr(0, dot), "", std::string_view(name).substr(dot),
                       MaxNameBytes - std::strlen(kShortcutExtension));
    if (const auto fittedDot = ExtensionDot(name); fittedDot != std::string::npos) name[fittedDot] = '-';
    return name + kShortcutExtension;
}

std::string CreateShortcut(const std::string& Target, const std::string& FileName)
{
    // The private temporary folder is looked at (made, its owner checked) once per shortcut.
    const std::string folder = ShortcutFolder();
    const std::string linkPath = JoinPath(folder, ShortcutFileName(FileName));
    const std::string pifPath = linkPath.substr(0, linkPath.size() - 4) + ".pif";
    CreateFolder(folder);
    try {
        FileDelete(linkPath);
        FileDelete(pifPath);
        SaveLink(linkPath, LinkFor(Target, FileName));
        if (FileExists(linkPath)) return linkPath;
        if (!FileExists(pifPath)) throw Exception(kShortcutError);
        if (::rename(pifPath.c_str(), linkPath.c_str()) != 0) RaiseLastOSError(pifPath);
        return linkPath;
    } catch (...) {
        DeleteQuietly(pifPath);
        DeleteQuietly(linkPath);
        throw;
    }
}

std::string ReadShortcutTarget(const std::string& LinkFile)
{
    try {
        const auto link = shell::ReadShellLink(ReadLinkBytes(LinkFile));
        if (!link || Utf8Length(link->targetPath) > kMaxPath) return {};
        return link->targetPath;
    } catch (...) {
        return {};
    }
}

std::string ResolveShortcut(const std::string& LinkFile)
{
    std::string target = ReadShortcutTarget(LinkFile);
    const std::string name = ExtractName(LinkFile);
    const auto dot = ExtensionDot(name);
    if (!target.empty() || (dot != std::string::npos && SameTextAscii(name.substr(dot), ".pif")))
        return target;
    // Only a file's bytes can be a link: a pipe or device is neither read nor copied.
    struct stat info {};
    if (::stat(LinkFile.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return {};

    const std::string runFolder = JoinPath(ShortcutFolder(), "Run");
    const std::string copy = JoinPath(runFolder, name.substr(0, dot) + ".pif");
    CreateFolder(runFolder);
    FileCopy(LinkFile, copy, true);
    target = ReadShortcutTarget(copy);
    FileDelete(copy);
    return target;
}

std::string ShortcutNameToFileName(const std::string& LinkName)
{
    std::string name = LinkName;
    if (const auto dot = ExtensionDot(name); dot != std::string::npos) name.erase(dot);
    const auto dash = name.rfind('-');
    if (dash != std::string::npos && dash >= NameStart(name)) name[dash] = '.';
    return name;
}
