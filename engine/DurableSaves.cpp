#include "engine/DurableSaves.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"

namespace {

UniqueFd OpenToFlush(const std::string& Path)
{
    UniqueFd fd(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
    // A file its owner may write but not read (a mode kept from the file it replaced).
    if (!fd && errno == EACCES) fd.Reset(::open(Path.c_str(), O_WRONLY | O_CLOEXEC));
    return fd;
}

}  // namespace

void TDurableSaves::FlushFile(const std::string& Path)
{
    const UniqueFd fd = OpenToFlush(Path);
    if (!fd || ::fsync(fd.Get()) != 0) RaiseLastOSError(Path);
}

void TDurableSaves::AddFile(const std::string& Path)
{
    // The disk writes the file while the next one is decoded; the flush then mostly waits
    // for one journal commit that holds them all.
    if (const UniqueFd fd = OpenToFlush(Path)) ::sync_file_range(fd.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    files_.push_back(Path);
}

void TDurableSaves::AddFolder(const std::string& Folder)
{
    if (std::find(folders_.begin(), folders_.end(), Folder) == folders_.end()) folders_.push_back(Folder);
}

void TDurableSaves::Flush()
{
    // The last file written first: its commit carries the others' blocks too.
    for (auto file = files_.rbegin(); file != files_.rend(); ++file) FlushFile(*file);
    for (const std::string& folder : folders_) {
        if (!SyncFolder(folder)) RaiseLastOSError(folder);
    }
    Clear();
}

void TDurableSaves::Clear()
{
    files_.clear();
    folders_.clear();
}
