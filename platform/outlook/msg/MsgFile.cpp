#include "platform/outlook/msg/MsgFile.h"

#include "platform/outlook/msg/MsgEncoding.h"
#include "platform/outlook/msg/MsgMimeExport.h"
#include "platform/outlook/msg/MsgMimeImport.h"
#include "platform/outlook/msg/MsgStorageReader.h"
#include "platform/outlook/msg/MsgStorageWriter.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"
#include "platform/runtime/TempFiles.h"

#include <gsf/gsf.h>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>

namespace {

// The compound-file writer writes in 512-byte sectors: a large buffer makes a file of a few
// hundred kilobytes one or two system calls instead of one per page.
constexpr std::size_t kFileBufferSize = 256 * 1024;

/// A new file beside the target, removed again unless it was renamed onto the target.
class TempFile {
public:
    explicit TempFile(const std::string& target) : target_(target)
    {
        const std::filesystem::path file(target);
        path_ = OwnTempFileName(file.has_parent_path() ? file.parent_path() : ".").string();
        const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) RaiseLastOSError(target);
        // 0666 less the umask, as for any other file the user saves; a replaced file's own mode.
        if (fchmod(fd, ModeForWriting(target)) != 0) {
            const int error = errno;
            close(fd);
            unlink(path_.c_str());
            throw EOSError(error, target);
        }
        file_ = fdopen(fd, "wb");
        if (!file_) {
            const int error = errno;
            close(fd);
            unlink(path_.c_str());
            throw EOSError(error, target);
        }
        std::setvbuf(file_, buffer_.get(), _IOFBF, kFileBufferSize);
    }
    ~TempFile()
    {
        if (file_) std::fclose(file_);
        if (!committed_) unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    FILE* File() const { return file_; }
    const std::string& Path() const { return path_; }

    /// Puts the file in the target's place. Files saved for the user are not synced to disk
    /// one by one: an export writes many thousands of them.
    void Commit()
    {
        const bool flushed = std::fflush(file_) == 0;
        const int error = errno;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!flushed || !closed) throw EOSError(flushed ? errno : error, target_);
        if (std::rename(path_.c_str(), target_.c_str()) != 0) RaiseLastOSError(target_);
        committed_ = true;
    }

private:
    std::string target_;
    std::string path_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kFileBufferSize);
    FILE* file_ = nullptr;
    bool committed_ = false;
};

// GMime must be set up before messages are built; the call is cheap after the first time.
void EnsureGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

std::uint64_t FileSize(GsfInput* input) { return static_cast<std::uint64_t>(gsf_input_size(input)); }

struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};

/// The message as a compound file written into `file` (left open); `path` names it in errors.
void WriteMsgStream(GMimeMessage* message, const MsgItemProperties& props, FILE* file, const std::string& path)
{
    EnsureGMime();
    msgfile::MsgMessage content = msgfile::ImportMimeMessage(message);
    content.messageClass = props.isPost ? "IPM.Post" : "IPM.Note";
    content.read = props.read;
    content.deliveryTime = msgfile::FileTimeFromDateTime(props.deliveryTime);
    content.creationTime = msgfile::FileTimeFromDateTime(props.creationTime);
    auto sink = GObjectPtr<GsfOutput>::Adopt(gsf_output_stdio_new_FILE(path.c_str(), file, TRUE));
    if (!sink) throw Exception("Cannot write the message file \"" + path + "\".");
    auto root = GObjectPtr<GsfOutfile>::Adopt(gsf_outfile_msole_new(sink.get()));
    try {
        msgfile::WriteMessageStorage(root.get(), content);
    } catch (const Exception& e) {
        throw Exception(e.Message() + " (" + path + ")");
    }
    // Closing the root usually closes the sink as well.
    const bool closed = gsf_output_is_closed(sink.get()) || gsf_output_close(sink.get());
    if (!closed || gsf_output_error(sink.get())) throw Exception("Cannot write the message file \"" + path + "\".");
}

}  // namespace

void WriteMsgFile(GMimeMessage* message, const MsgItemProperties& props, const std::string& path)
{
    if (!message) throw Exception("Cannot write the message file \"" + path + "\": no message.");
    TempFile temp(path);
    WriteMsgStream(message, props, temp.File(), path);
    temp.Commit();
}

void WriteMsgFileTo(GMimeMessage* message, const MsgItemProperties& props, int fd, const std::string& path)
{
    if (!message) throw Exception("Cannot write the message file \"" + path + "\": no message.");
    const int copy = dup(fd);
    if (copy < 0) RaiseLastOSError(path);
    const std::unique_ptr<FILE, FileClose> file(fdopen(copy, "wb"));
    if (!file) {
        const int error = errno;
        close(copy);
        throw EOSError(error, path);
    }
    const auto buffer = std::make_unique_for_overwrite<char[]>(kFileBufferSize);
    std::setvbuf(file.get(), buffer.get(), _IOFBF, kFileBufferSize);
    WriteMsgStream(message, props, file.get(), path);
    if (std::fflush(file.get()) != 0) RaiseLastOSError(path);
}

GObjectPtr<GMimeMessage> ReadMsgFile(const std::string& path)
{
    EnsureGMime();
    GError* raw = nullptr;
    auto input = GObjectPtr<GsfInput>::Adopt(gsf_input_stdio_new(path.c_str(), &raw));
    GErrorPtr error(raw);
    if (!input) {
        throw Exception("Cannot open the message file \"" + path + "\"" +
                        (error ? ": " + std::string(error->message) : std::string()) + ".");
    }
    auto root = GObjectPtr<GsfInfile>::Adopt(gsf_infile_msole_new(input.get(), &raw));
    error.reset(raw);
    if (!root) throw Exception("The file \"" + path + "\" is not a message file.");
    try {
        const msgfile::MsgMessage content = msgfile::ReadMessageStorage(root.get(), FileSize(input.get()));
        return msgfile::ExportMimeMessage(content);
    } catch (const Exception& e) {
        throw Exception("The message file \"" + path + "\" is damaged: " + e.Message());
    }
}

bool LooksLikeMsgFile(const std::string& path)
{
    static constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    unsigned char head[8] = {};
    const ssize_t n = read(fd, head, sizeof head);
    close(fd);
    return n == static_cast<ssize_t>(sizeof head) && std::memcmp(head, kSignature, sizeof head) == 0;
}
