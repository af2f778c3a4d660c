// Writing one attachment to a disk file: the size check, duplicate names, overwriting
// without ever losing the old file, and the file's date.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "engine/DurableSaves.h"
#include "engine/EmailProcessor.h"
#include "engine/MaskExpansion.h"
#include "engine/WrittenFiles.h"
#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"
#include "platform/runtime/TempFiles.h"

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
    return OwnTempFileName(dir).string();
}

/// Renames a completely written file over its final place.
void RenameOver(ScopedFile& written, const std::string& target)
{
    if (std::rename(written.Path().c_str(), target.c_str()) != 0) RaiseLastOSError(target);
    written.Release();
}

/// Dir/Base + Middle + Ext, the name shortened to fit one name part and held to the length limit.
std::string Candidate(const std::string& dir, const std::string& base, const std::string& middle,
                      const std::string& ext)
{
    std::string candidate = JoinPath(dir, FitNamePart(base, middle, ext));
    CheckPathLength(candidate);
    return candidate;
}

/// Where an attachment named Base + Ext is written into Dir. Without overwriting, an existing
/// file makes it "Base - N.Ext", from N = 2 on, the first that does not exist. Overwriting, the
/// name is numbered in the same way only past the files of `runFiles` (given when the attachments
/// leave the e-mail, so that each keeps a file of its own); any other file is overwritten.
std::string ChooseSavedPath(const std::string& dir, const std::string& base, const std::string& ext,
                            bool overwrite, const TWrittenFiles* runFiles)
{
    const auto taken = [&](const std::string& path) {
        return overwrite ? runFiles && runFiles->Contains(path) : Exists(path);
    };
    std::string path = Candidate(dir, base, "", ext);
    for (int n = 2; taken(path); ++n) path = Candidate(dir, base, " - " + std::to_string(n), ext);
    return path;
}

/// Creates `folder` and the folders above it that are missing; with `durable`, notes the
/// folder above each one made, whose new entry must reach the disk too.
void CreateFolders(const std::string& folder, TDurableSaves* durable)
{
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return;
    std::vector<fs::path> missing;
    for (fs::path dir = folder; !dir.empty() && !fs::exists(dir, ec); dir = dir.parent_path()) {
        missing.push_back(dir);
        if (!dir.has_relative_path()) break;
    }
    fs::create_directories(folder, ec);
    if (ec) throw EOSError(ec.value(), folder);
    if (!durable) return;
    for (const fs::path& dir : missing)
        durable->AddFolder(dir.has_parent_path() ? dir.parent_path().string() : ".");
}

/// Gives a saved file the e-mail's date: a courtesy, the file itself is written either way.
void SetDateQuietly(const std::string& path, TDateTime date)
{
    try {
        SetFileDateTime(path, date);
    } catch (...) {
    }
}

}  // namespace

std::string TEmailProcessor::SaveAttachmentFile(const ComPtr<outlook::IAttachment>& Attachment,
                                                const std::string& Dir, const std::string& FileName,
                                                std::uint8_t DuplicateMode, bool CheckSize,
                                                std::int32_t MinSizeKB, bool KeepRunFiles)
{
    std::optional<ScopedFile> temp;
    if (CheckSize) {
        temp.emplace(CreateTempFileName("TMP"));
        if (!TrySaveAsFile(*Attachment, temp->Path())) return {};
        if (FileSizeOf(temp->Path()) < static_cast<std::int64_t>(MinSizeKB) * 1024) return {};
    }

    const std::string ext = ExtractExtension(FileName);
    const std::string base = FileName.substr(0, FileName.size() - ext.size());
    const bool overwrite = DuplicateMode != 0;
    const std::string savedPath =
        ChooseSavedPath(Dir, base, ext, overwrite, KeepRunFiles ? &FWrittenFiles : nullptr);

    const std::string folder = fs::path(savedPath).parent_path().string();
    CreateFolders(folder, KeepRunFiles ? &FDurableSaves : nullptr);

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
    SetDateQuietly(written.Path(), FItemDate);
    if (overwrite) {
        // A file that leaves the e-mail and replaces another is on disk before it takes its name.
        if (KeepRunFiles) TDurableSaves::FlushFile(written.Path());
        RenameOver(written, savedPath);
    } else {
        written.Release();
    }
    if (KeepRunFiles) {
        // The file leaves the e-mail: it and its name reach the disk before the e-mail is replaced.
        if (!overwrite) FDurableSaves.AddFile(savedPath);
        FDurableSaves.AddFolder(folder);
        FWrittenFiles.Add(savedPath);
    }
    return savedPath;
}
