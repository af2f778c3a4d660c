// Writing one attachment to a disk file: the size check, duplicate names, overwriting
// without ever losing the old file, and the file's date.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "engine/EmailProcessor.h"
#include "engine/MaskExpansion.h"
#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"

namespace fs = std::filesystem;

namespace {

/// A file that is deleted when the object ends, whatever path the code took.
class ScopedFile {
public:
    explicit ScopedFile(std::string path) : path_(std::move(path)) {}
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    ~ScopedFile()
    {
        if (path_.empty()) return;
        std::error_code ec;
        fs::remove(path_, ec);  // a failed delete is ignored
    }
    const std::string& Path() const { return path_; }
    /// The file stays: it has been renamed to its final place.
    void Release() { path_.clear(); }

private:
    std::string path_;
};

bool Exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

/// Lets the attachment write itself to `path`; false when the call failed or wrote nothing.
bool TrySaveAsFile(outlook::IAttachment& attachment, const std::string& path)
{
    try {
        attachment.SaveAsFile(path);
    } catch (...) {
        return false;
    }
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

/// A free name in `dir` for a file written beside its final place; nothing is left there.
std::string SiblingTempName(const std::string& dir)
{
    std::string pattern = JoinPath(dir, ".trovanta-XXXXXX");
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) RaiseLastOSError(dir);
    ::close(fd);
    ::unlink(pattern.c_str());
    return pattern;
}

/// Renames a completely written file over its final place.
void RenameOver(ScopedFile& written, const std::string& target)
{
    if (std::rename(written.Path().c_str(), target.c_str()) != 0) RaiseLastOSError(target);
    written.Release();
}

/// The first free "Base - N.Ext" from N = 2 on, each candidate held to the length limit.
std::string NextNumberedName(const std::string& dir, const std::string& base, const std::string& ext)
{
    for (int n = 2;; ++n) {
        const std::string candidate = JoinPath(dir, base + " - " + std::to_string(n)) + ext;
        CheckPathLength(candidate);
        if (!Exists(candidate)) return candidate;
    }
}

}  // namespace

std::string TEmailProcessor::SaveAttachmentFile(const ComPtr<outlook::IAttachment>& Attachment,
                                                const std::string& Dir, const std::string& FileName,
                                                std::uint8_t DuplicateMode, bool CheckSize,
                                                std::int32_t MinSizeKB)
{
    std::optional<ScopedFile> temp;
    if (CheckSize) {
        temp.emplace(CreateTempFileName("TMP"));
        if (!TrySaveAsFile(*Attachment, temp->Path())) return {};
        if (FileSizeOf(temp->Path()) < static_cast<std::int64_t>(MinSizeKB) * 1024) return {};
    }

    const std::string ext = ExtractExtension(FileName);
    const std::string base = FileName.substr(0, FileName.size() - ext.size());
    std::string savedPath = JoinPath(Dir, base) + ext;
    CheckPathLength(savedPath);
    const bool overwrite = DuplicateMode != 0;
    if (!overwrite && Exists(savedPath)) savedPath = NextNumberedName(Dir, base, ext);

    const std::string folder = fs::path(savedPath).parent_path().string();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw EOSError(ec.value(), folder);

    // An existing file is replaced only by a completely written new one, which keeps its mode;
    // a new file gets the user's mode also when it is copied from the private temporary file.
    const mode_t mode = ModeForWriting(savedPath);
    ScopedFile written(overwrite ? SiblingTempName(folder) : savedPath);
    if (CheckSize) {
        FileCopy(temp->Path(), written.Path(), true);
    } else if (!TrySaveAsFile(*Attachment, written.Path())) {
        return {};  // a partial file is removed with `written`
    }
    if (::chmod(written.Path().c_str(), mode) != 0) RaiseLastOSError(savedPath);
    if (overwrite) {
        RenameOver(written, savedPath);
    } else {
        written.Release();
    }

    try {
        SetFileDateTime(savedPath, FItemDate);
    } catch (...) {
        // the file's date is a courtesy; the file itself is written
    }
    return savedPath;
}
