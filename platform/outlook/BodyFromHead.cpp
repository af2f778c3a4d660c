// Body texts from the head of a message file.

#include "platform/outlook/BodyFromHead.h"

#include <algorithm>
#include <string_view>

#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"

namespace outlook {

namespace {

constexpr std::size_t npos = std::string_view::npos;

/// Heads parsed before giving up: the text is in the first part or the first few.
constexpr int kMaxHeads = 3;
/// A head that grows longer than this (a large part before the text) is given up.
constexpr std::size_t kMaxHeadBytes = std::size_t{1} << 20;

/// Where the content of a leaf part ends in the bytes it was parsed from; npos when it has
/// none. The content is a window on those bytes, whose position starts at the window's start.
std::size_t ContentEnd(GMimeObject* part)
{
    GMimeDataWrapper* content = GMIME_IS_PART(part) ? g_mime_part_get_content(GMIME_PART(part)) : nullptr;
    GMimeStream* stream = content ? g_mime_data_wrapper_get_stream(content) : nullptr;
    if (!stream || g_mime_stream_reset(stream) != 0) return npos;
    const gint64 start = g_mime_stream_tell(stream);
    const gint64 length = g_mime_stream_length(stream);
    return start < 0 || length < 0 ? npos : static_cast<std::size_t>(start + length);
}

/// What may follow the boundary on a delimiter line: "--" for the last one, then blanks.
bool IsDelimiterRest(std::string_view rest)
{
    if (rest.substr(0, 2) == "--") rest.remove_prefix(2);
    return rest.find_first_not_of(" \t\r") == npos;
}

/// Collects the head of a message file and parses it at each delimiter line after the first,
/// until the body part shows up before that line.
class HeadReader {
public:
    HeadReader(const std::string& boundary, const char* subtype)
        : delimiter_("\n--" + boundary), subtype_(subtype)
    {
    }

    /// Takes the next piece of the file; false once the text is found or the search is given up.
    bool Take(std::string_view piece)
    {
        head_.append(piece);
        for (std::size_t lineEnd = NextDelimiterLine(); lineEnd != npos; lineEnd = NextDelimiterLine()) {
            if (++delimiters_ == 1) continue;  // the line that opens the first part
            if (TryHead(lineEnd) || ++heads_ == kMaxHeads) return false;
        }
        return head_.size() < kMaxHeadBytes;
    }

    std::optional<std::string> TakeText() { return std::move(text_); }

private:
    /// The end (after its line feed) of the next whole delimiter line in the head, whose start
    /// goes to lineStart_; npos when the head holds none yet.
    std::size_t NextDelimiterLine()
    {
        for (;;) {
            const std::size_t at = head_.find(delimiter_, searchFrom_);
            if (at == npos) {
                // A delimiter may begin in the last bytes and end in the next piece.
                if (head_.size() >= delimiter_.size())
                    searchFrom_ = std::max(searchFrom_, head_.size() - delimiter_.size() + 1);
                return npos;
            }
            const std::size_t restAt = at + delimiter_.size();
            const std::size_t eol = head_.find('\n', restAt);
            searchFrom_ = eol == npos ? at : eol;  // that line feed may start the next delimiter
            if (eol == npos) return npos;
            if (!IsDelimiterRest(std::string_view(head_).substr(restAt, eol - restAt))) continue;
            lineStart_ = at + 1;
            return eol + 1;
        }
    }

    /// Parses the head up to `lineEnd`; true when the body part ends before the line there.
    bool TryHead(std::size_t lineEnd)
    {
        const GObjectPtr<GMimeMessage> message = ParseMessage(std::string_view(head_).substr(0, lineEnd));
        GMimeObject* part = FirstBodyPart(message.get(), subtype_);
        // A part that runs into the line was cut there: the line is no boundary to the parser.
        if (!part || ContentEnd(part) > lineStart_) return false;
        text_ = TextOfPart(part);
        return true;
    }

    std::string delimiter_;
    const char* subtype_;
    std::string head_;
    std::size_t searchFrom_ = 0;
    std::size_t lineStart_ = 0;
    int delimiters_ = 0;
    int heads_ = 0;
    std::optional<std::string> text_;
};

}  // namespace

std::optional<std::string> BodyTextFromHead(const std::string& path, const std::string& boundary,
                                            const char* subtype)
{
    HeadReader reader(boundary, subtype);
    ReadFilePieces(path, [&reader](std::string_view piece) { return reader.Take(piece); });
    return reader.TakeText();
}

}  // namespace outlook
