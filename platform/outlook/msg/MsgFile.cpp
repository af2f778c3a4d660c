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
#include <mutex>

namespace {

/// A new file beside the target, removed again unless it was renamed onto the target.
class TempFile {
public:
    explicit TempFile(const std::string& target) : target_(target)
    {
        const std::filesystem::path file(target);
        path_ = OwnTempFileName(file.has_parent_path() ? file.parent_path() : ".").string();
        fd_.Reset(open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd_) RaiseLastOSError(target);
        // 0666 less the umask, as for any other file the user saves; a replaced file's own mode.
        if (fchmod(fd_.Get(), ModeForWriting(target)) != 0) {
            const int error = errno;
            unlink(path_.c_str());
            throw EOSError(error, target);
        }
    }
    ~TempFile()
    {
        if (!committed_) unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Fd() const { return fd_.Get(); }

    /// Puts the file in the target's place. Files saved for the user are not synced to disk
    /// one by one: an export writes many thousands of them.
    void Commit()
    {
        if (close(fd_.Release()) != 0) RaiseLastOSError(target_);
        if (std::rename(path_.c_str(), target_.c_str()) != 0) RaiseLastOSError(target_);
        committed_ = true;
    }

private:
    std::string target_;
    std::string path_;
    UniqueFd fd_;
    bool committed_ = false;
};

// GMime must be set up before messages are built; the call is cheap after the first time.
void EnsureGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

std::uint64_t FileSize(GsfInput* input)
{
    return static_cast<std::uint64_t>(gsf_input_size(input));
}

}  // namespace

void WriteMsgFile(GMimeMessage* message, const MsgItemProperties& props, const std::string& path)
{
    if (!message) throw Exception("Cannot write the message file \"" + path + "\": no message.");
    TempFile temp(path);
    WriteMsgFileTo(message, props, temp.Fd(), path);
    temp.Commit();
}

void WriteMsgFileTo(GMimeMessage* message, const MsgItemProperties& props, int fd, const std::string& path)
{
    if (!message) throw Exception("Cannot write the message file \"" + path + "\": no message.");
    EnsureGMime();
    msgfile::MsgMessage content = msgfile::ImportMimeMessage(message);
    content.messageClass = props.isPost ? "IPM.Post" : "IPM.Note";
    content.read = props.read;
    content.deliveryTime = msgfile::FileTimeFromDateTime(props.deliveryTime);
    content.creationTime = msgfile::FileTimeFromDateTime(props.creationTime);
    msgfile::CompoundFileWriter file(fd, path);
    try {
        msgfile::WriteMessageStorage(file, content);
    } catch (const EOSError&) {
        throw;  // names the file already
    } catch (const Exception& e) {
        throw Exception(e.Message() + " (" + path + ")");
    }
    file.Finish();
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
