// The HTML page of an e-mail without an HTML body, and writing it to its file.

#include "engine/ExportHtml.h"

#include <array>
#include <filesystem>
#include <optional>

#include "engine/EmailProcessor.h"
#include "platform/runtime/AtomicFile.h"
#include "platform/runtime/Exception.h"

namespace {

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

/// The character reference that stands for `c` on a page; null when `c` stands for itself.
constexpr const char* HtmlReference(char c)
{
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        default:
            return nullptr;
    }
}

/// The bytes that a page does not take as they are: those written as references, and line ends.
constexpr std::array<bool, 256> kNotAsIs = [] {
    std::array<bool, 256> table{};
    for (const char c : {'&', '<', '>', '\r', '\n'}) table[static_cast<unsigned char>(c)] = true;
    return table;
}();

/// Where the next byte at or after `from` stands that the page does not take as it is.
std::size_t NextNotAsIs(std::string_view Text, std::size_t from)
{
    while (from < Text.size() && !kNotAsIs[static_cast<unsigned char>(Text[from])]) ++from;
    return from;
}

[[noreturn]] void FailPageWrite(const std::filesystem::path& FileName)
{
    RaiseLastOSError(FileName.string());
}

/// Appends Text to Page, escaped as HtmlEscape does.
void AppendHtmlEscaped(std::string& Page, std::string_view Text)
{
    for (std::size_t run = 0; run < Text.size();) {
        const std::size_t at = NextNotAsIs(Text, run);
        Page.append(Text.substr(run, at - run));
        if (at == Text.size()) break;
        const char* reference = HtmlReference(Text[at]);
        Page.append(reference ? reference : Text.substr(at, 1));
        run = at + 1;
    }
}

/// Appends the lines of Body to Page: each escaped, each but the last ending in "<br>", each
/// followed by CR LF. A line ends at CR LF, a lone CR or a lone LF; a line end at the very end
/// of Body starts no line of its own.
void AppendBodyLines(std::string& Page, std::string_view Body)
{
    for (std::size_t run = 0; run < Body.size();) {
        const std::size_t at = NextNotAsIs(Body, run);
        Page.append(Body.substr(run, at - run));
        run = at + 1;
        if (at == Body.size()) break;
        if (const char* reference = HtmlReference(Body[at])) {
            Page.append(reference);
            if (run == Body.size()) break;
            continue;
        }
        if (Body[at] == '\r' && run < Body.size() && Body[run] == '\n') ++run;
        if (run == Body.size()) break;
        Page.append("<br>\r\n");
    }
    if (!Body.empty()) Page.append("\r\n");
}

}  // namespace

std::string HtmlEscape(std::string_view Text)
{
    std::string out;
    out.reserve(Text.size());
    AppendHtmlEscaped(out, Text);
    return out;
}

void SaveHtmlPage(const std::string& FileName, std::string_view Page)
{
    const std::filesystem::path target(FileName);
    AtomicFile file(DirectoryOf(target), target, std::nullopt, FailPageWrite);
    file.Write(Page);
    file.Commit(false);
}

std::string TEmailProcessor::BuildHtmlFromBody(std::string_view Body, const SafeItemPtr& SafeItem,
                                               const RecipientsPtr& Recipients)
{
    std::string to, cc;
    const int recipientCount = Recipients ? Recipients->Count() : 0;
    for (int i = 1; i <= recipientCount; ++i) {
        const ComPtr<outlook::IRecipient> recipient = Recipients->Item(i);
        const int type = recipient->Type();
        if (type == outlook::olTo) AddRecipientToList(recipient, to);
        if (type == outlook::olCC) AddRecipientToList(recipient, cc);
    }
    const std::string sent = SentDateText(*SafeItem);

    std::string page;
    page.reserve(Body.size() + Body.size() / 8 + 512);
    page.append(Utf8Bom).append("<html>\r\n<head>\r\n</head>\r\n<body>\r\n<p>\r\n");
    const auto field = [&page](std::string_view label, const std::string& value, std::string_view end) {
        page.append(label);
        AppendHtmlEscaped(page, value);
        page.append(end);
    };
    if (!FSenderName.empty()) field("<b>From:</b> ", FSenderName, "<br>\r\n");
    if (!sent.empty()) field("<b>Sent:</b> ", sent, "<br>\r\n");
    if (!to.empty()) field("<b>To:</b> ", to, "<br>\r\n");
    if (!cc.empty()) field("<b>CC:</b> ", cc, "<br>\r\n");
    field("<b>Subject:</b> ", FSubject, "\r\n</p>\r\n<p>\r\n");
    AppendBodyLines(page, Body);
    page.append("</p>\r\n</body>\r\n</html>\r\n");
    return page;
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
