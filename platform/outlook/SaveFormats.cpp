// The texts that SaveAs writes for the text and HTML types.

#include <algorithm>
#include <cctype>

#include "platform/outlook/DateConv.h"
#include "platform/outlook/Item.h"

namespace outlook {

namespace {

std::string NamesOfType(IRecipients& recipients, int type)
{
    std::string out;
    const int count = recipients.Count();
    for (int i = 1; i <= count; ++i) {
        auto recipient = recipients.Item(i);
        if (recipient->Type() != type) continue;
        if (!out.empty()) out += "; ";
        out += recipient->Name();
    }
    return out;
}

bool IsAscii(const std::string& text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// Where `needle` (ASCII, lower case) first stands in `text` at or after `from`, in any case.
std::size_t FindNoCase(const std::string& text, std::string_view needle, std::size_t from)
{
    if (needle.size() > text.size()) return std::string::npos;
    const std::size_t last = text.size() - needle.size();
    for (std::size_t at = from; at <= last; ++at) {
        if (AsciiLower(text[at]) != needle[0]) continue;
        std::size_t i = 1;
        while (i < needle.size() && AsciiLower(text[at + i]) == needle[i]) ++i;
        if (i == needle.size()) return at;
    }
    return std::string::npos;
}

bool IsCharsetChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' || c == '.';
}

/// Sets the charset named in every <meta> tag to utf-8; returns how many it changed.
int RelabelCharsets(std::string& html)
{
    int changed = 0;
    for (auto meta = FindNoCase(html, "<meta", 0); meta != std::string::npos; meta = FindNoCase(html, "<meta", meta + 1)) {
        const auto end = html.find('>', meta);
        auto at = FindNoCase(html, "charset", meta);
        if (end == std::string::npos || at == std::string::npos || at > end) continue;
        at += 7;
        while (at < end && (html[at] == ' ' || html[at] == '=' || html[at] == '"' || html[at] == '\'')) ++at;
        auto stop = at;
        while (stop < end && IsCharsetChar(html[stop])) ++stop;
        if (stop == at) continue;
        html.replace(at, stop - at, "utf-8");
        ++changed;
    }
    return changed;
}

}  // namespace

std::string TextFileOf(ItemImpl& item)
{
    auto recipients = item.Recipients();
    std::string text = "From:\t" + item.SenderName() + "\r\n";
    if (const auto sent = item.SentTime()) text += "Sent:\t" + LongDateText(*sent) + "\r\n";
    text += "To:\t" + NamesOfType(*recipients, olTo) + "\r\n";
    if (const auto cc = NamesOfType(*recipients, olCC); !cc.empty()) text += "CC:\t" + cc + "\r\n";
    text += "Subject:\t" + item.Subject() + "\r\n\r\n";
    return text + item.Body();
}

std::string HtmlFileOf(ItemImpl& item)
{
    std::string html = item.HTMLBody();
    if (html.empty()) return html;
    // The text was decoded to UTF-8: whatever charset the page declares must say so too.
    if (RelabelCharsets(html) > 0 || IsAscii(html)) return html;
    const std::string meta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">";
    const auto head = FindNoCase(html, "<head", 0);
    const auto headEnd = head == std::string::npos ? std::string::npos : html.find('>', head);
    if (headEnd == std::string::npos) return meta + html;
    return html.insert(headEnd + 1, meta);
}

}  // namespace outlook
