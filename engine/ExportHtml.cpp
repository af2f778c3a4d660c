// The HTML page of an e-mail without an HTML body, and writing it to its file.

#include "engine/ExportHtml.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "engine/EmailProcessor.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"
#include "platform/runtime/TempFiles.h"

namespace {

/// Bytes are handed to the file system in pieces of this size.
constexpr std::size_t kWriteChunk = 64 * 1024;

/// Collects bytes and writes them to an open file in large pieces.
class BufferedFileWriter {
public:
    BufferedFileWriter(int fd, std::string nameForErrors) : fd_(fd), name_(std::move(nameForErrors))
    {
        buffer_.reserve(kWriteChunk);
    }
    void Write(std::string_view bytes)
    {
        buffer_ += bytes;
        if (buffer_.size() >= kWriteChunk) Flush();
    }
    void Flush()
    {
        std::string_view rest = buffer_;
        while (!rest.empty()) {
            const ssize_t n = ::write(fd_, rest.data(), rest.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) RaiseLastOSError(name_);
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
        buffer_.clear();
    }

private:
    int fd_;
    std::string name_;
    std::string buffer_;
};

/// Opens a new file beside FileName for writing; `partName` receives its path. New files get
/// the ordinary mode of the user's files (0666 less the umask); a file it replaces keeps its mode.
UniqueFd OpenSiblingPart(const std::string& FileName, std::string& partName)
{
    const std::size_t slash = FileName.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : FileName.substr(0, slash + 1);
    partName = OwnTempFileName(dir).string();
    UniqueFd fd(::open(partName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd) RaiseLastOSError(FileName);
    if (::fchmod(fd.Get(), ModeForWriting(FileName)) != 0) RaiseLastOSError(FileName);
    return fd;
}

/// The sent date as the page shows it; empty when the item was not sent or cannot tell.
std::string SentDateText(outlook::IOutlookItem& Item)
{
    try {
        if (Item.Sent()) return LongDateLongTimeString(Item.SentOn());
    } catch (...) {
        // an item that cannot tell its sent date shows none
    }
    return {};
}

}  // namespace

std::string HtmlEscape(std::string_view Text)
{
    std::string out;
    out.reserve(Text.size());
    for (const char c : Text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void SaveHtmlPage(const std::string& FileName, const TStringList& Lines)
{
    std::string partName;
    UniqueFd fd = OpenSiblingPart(FileName, partName);
    try {
        BufferedFileWriter writer(fd.Get(), FileName);
        writer.Write(Utf8Bom);
        for (const std::string& line : Lines) {
            writer.Write(line);
            writer.Write("\r\n");
        }
        writer.Flush();
        if (::close(fd.Release()) != 0) RaiseLastOSError(FileName);
        if (::rename(partName.c_str(), FileName.c_str()) != 0) RaiseLastOSError(FileName);
    } catch (...) {
        ::unlink(partName.c_str());
        throw;
    }
}

void TEmailProcessor::BuildHtmlFromBody(TStringList& Lines, const SafeItemPtr& SafeItem,
                                        const RecipientsPtr& Recipients)
{
    const std::size_t count = Lines.Count();
    for (std::size_t i = 0; i < count; ++i) {
        std::string line = HtmlEscape(Lines[i]);
        if (i + 1 < count) line += "<br>";
        Lines.Put(i, std::move(line));
    }

    std::string to, cc;
    const int recipientCount = Recipients ? Recipients->Count() : 0;
    for (int i = 1; i <= recipientCount; ++i) {
        const ComPtr<outlook::IRecipient> recipient = Recipients->Item(i);
        const int type = recipient->Type();
        if (type == outlook::olTo) AddRecipientToList(recipient, to);
        if (type == outlook::olCC) AddRecipientToList(recipient, cc);
    }
    const std::string sent = SentDateText(*SafeItem);

    std::vector<std::string> head = {"<html>", "<head>", "</head>", "<body>", "<p>"};
    if (!FSenderName.empty()) head.push_back("<b>From:</b> " + HtmlEscape(FSenderName) + "<br>");
    if (!sent.empty()) head.push_back("<b>Sent:</b> " + HtmlEscape(sent) + "<br>");
    if (!to.empty()) head.push_back("<b>To:</b> " + HtmlEscape(to) + "<br>");
    if (!cc.empty()) head.push_back("<b>CC:</b> " + HtmlEscape(cc) + "<br>");
    head.push_back("<b>Subject:</b> " + HtmlEscape(FSubject));
    head.push_back("</p>");
    head.push_back("<p>");
    for (std::size_t i = 0; i < head.size(); ++i) Lines.Insert(i, std::move(head[i]));
    for (const char* tail : {"</p>", "</body>", "</html>"}) Lines.Add(tail);
}

void TEmailProcessor::AddRecipientToList(const ComPtr<outlook::IRecipient>& Recipient, std::string& List)
{
    std::string name, address;
    GetRecipientInfo(Recipient, name, address);
    const std::string& entry = name.empty() ? address : name;
    if (entry.empty()) return;
    if (!List.empty()) List += "; ";
    List += entry;
}
