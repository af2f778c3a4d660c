#include "engine/DurableSaves.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"

void TDurableSaves::FlushFile(const std::string& Path)
{
    UniqueFd fd(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
    // A file its owner may write but not read (a mode kept from the file it replaced).
    if (!fd && errno == EACCES) fd.Reset(::open(Path.c_str(), O_WRONLY | O_CLOEXEC));
    if (!fd || ::fsync(fd.Get()) != 0) RaiseLastOSError(Path);
}

void TDurableSaves::AddFolder(const std::string& Folder)
{
    if (std::find(folders_.begin(), folders_.end(), Folder) == folders_.end()) folders_.push_back(Folder);
}

void TDurableSaves::FlushFolders()
{
    for (const std::string& folder : folders_) {
        if (!SyncFolder(folder)) RaiseLastOSError(folder);
    }
    folders_.clear();
}
