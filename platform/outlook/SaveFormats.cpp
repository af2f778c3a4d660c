// The texts that SaveAs writes for the text and HTML types.

#include <regex>

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
    static const std::regex declared(R"((<meta[^>]*charset\s*=\s*["']?)([A-Za-z0-9_:.\-]+))", std::regex::icase);
    if (std::regex_search(html, declared)) return std::regex_replace(html, declared, "$1utf-8");
    if (IsAscii(html)) return html;
    static const std::regex head(R"(<head[^>]*>)", std::regex::icase);
    std::smatch match;
    const std::string meta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">";
    if (std::regex_search(html, match, head)) {
        return html.insert(static_cast<std::size_t>(match.position(0) + match.length(0)), meta);
    }
    return meta + html;
}

}  // namespace outlook
