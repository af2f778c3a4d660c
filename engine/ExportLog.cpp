#include "engine/ExportLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"

namespace fs = std::filesystem;

namespace exportlog {

namespace {

const char* const kEmlColumns[] = {
    "ID",          "SenderName",    "SenderEmail", "RecipientName", "RecipientEmail", "DateSent",
    "TimeSent",    "Subject",       "MessageID",   "OutlookFolder", "Filename",       "FileType",
    "AttCount",    "AttSaved",      "DateExported", "TimeExported"};
static_assert(std::size(kEmlColumns) == 16);

}  // namespace

std::string QuoteField(const std::string& value)
{
    std::string out;
    out.reserve(value.size() + 2);
    out += '"';
    for (const char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string FormatLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += '\t';
        line += QuoteField(fields[i]);
    }
    line += "\r\n";
    return line;
}

std::string EmlHeaderLine()
{
    return FormatLine(std::vector<std::string>(std::begin(kEmlColumns), std::end(kEmlColumns)));
}

std::string AttHeaderLine() { return FormatLine({"ID", "Filename", "MessageID"}); }

std::string EmlDataLine(std::int32_t recordNumber, const TLogEntry& e)
{
    return FormatLine({std::to_string(recordNumber), e.SenderName, e.SenderEmail, e.RecipientName,
                       e.RecipientEmail, FormatDateTime("yyyymmdd", e.DateSent),
                       FormatDateTime("hhnnss", e.DateSent), e.Subject, e.MessageID, e.OutlookFolder,
                       e.Filename, std::to_string(e.FileType), std::to_string(e.AttCount),
                       std::to_string(e.AttFiles.Count()), FormatDateTime("yyyymmdd", e.DateExported),
                       FormatDateTime("hhnnss", e.DateExported)});
}

std::string AttDataLines(std::int32_t recordNumber, const TLogEntry& e)
{
    const std::string id = std::to_string(recordNumber);
    std::string lines;
    for (const std::string& file : e.AttFiles) lines += FormatLine({id, file, e.MessageID});
    return lines;
}

std::int32_t NextRecordNumber(const std::string& idFileStart)
{
    const std::string_view text = std::string_view(idFileStart).substr(0, IDReadLimit);
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) return 1;
    std::int32_t last = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + digits, last);
    if (ec != std::errc() || end != text.data() + digits) return 1;
    // Past the 32-bit range the numbering starts again.
    if (last == std::numeric_limits<std::int32_t>::max()) return 1;
    return last + 1;
}

std::string IDLine(std::int32_t recordNumber) { return std::to_string(recordNumber) + "\r\n"; }

}  // namespace exportlog

namespace {

/// One log file, open for reading and writing and locked against other writers.
/// A missing file is created; an existing one is never truncated.
class LockedFile {
public:
    explicit LockedFile(const fs::path& path) : path_(path.string())
    {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) RaiseLastOSError("Cannot open file \"" + path_ + "\"");
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd_);
            throw EOSError(err, "Cannot open file \"" + path_ + "\"");
        }
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile() { Close(); }

    /// Closes the file; the errno of a failed close, else 0. Closing twice does nothing.
    int Close() noexcept
    {
        if (fd_ < 0) return 0;
        const int rc = ::close(std::exchange(fd_, -1));
        return rc == 0 ? 0 : errno;
    }

    std::uint64_t Size() const
    {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) RaiseLastOSError(path_);
        return static_cast<std::uint64_t>(st.st_size);
    }

    std::string ReadStart(std::size_t limit) const
    {
        std::string buf(limit, '\0');
        std::size_t got = 0;
        while (got < limit) {
            const ssize_t n = ::pread(fd_, buf.data() + got, limit - got, static_cast<off_t>(got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) RaiseLastOSError(path_);
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        buf.resize(got);
        return buf;
    }

    void WriteAt(const std::string& bytes, off_t offset) const
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                       offset + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) RaiseLastOSError(path_);
            done += static_cast<std::size_t>(n);
        }
    }

    void Append(const std::string& bytes) const { WriteAt(bytes, static_cast<off_t>(Size())); }

    /// Writes the header line into an empty file.
    void EnsureHeader(const std::string& header) const
    {
        if (Size() == 0) WriteAt(header, 0);
    }

private:
    std::string path_;
    int fd_ = -1;
};

/// Closes ID.log, Att.log and Eml.log in this order; every file is closed even when an
/// earlier close fails. The first failure is raised unless an error is already travelling.
void CloseAll(LockedFile& id, LockedFile& att, LockedFile& eml, bool raise)
{
    int first = id.Close();
    if (const int e = att.Close(); first == 0) first = e;
    if (const int e = eml.Close(); first == 0) first = e;
    if (raise && first != 0) throw EOSError(first, "Cannot close export log");
}

}  // namespace

void TExportLog::AddEntry(const std::string& Dir, const TLogEntry& Entry)
{
    using namespace exportlog;
    const fs::path dir(Dir);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw EOSError(ec.value(), Dir);

    // Opened in this order; a failed open closes those already open (their destructors).
    LockedFile eml(dir / EmlFileName);
    LockedFile att(dir / AttFileName);
    LockedFile id(dir / IDFileName);
    try {
        eml.EnsureHeader(EmlHeaderLine());
        att.EnsureHeader(AttHeaderLine());
        const std::int32_t number = NextRecordNumber(id.ReadStart(IDReadLimit));
        id.WriteAt(IDLine(number), 0);
        if (!Entry.AttFiles.Empty()) att.Append(AttDataLines(number, Entry));
        eml.Append(EmlDataLine(number, Entry));
    } catch (...) {
        CloseAll(id, att, eml, false);
        throw;
    }
    CloseAll(id, att, eml, true);
}
