#pragma once
// The body texts of a message as an item gives them, for whatever holds the message: an item
// of the object model, or a worker that reads a message file ahead of its item. A message of
// a folder not parsed yet is read from the head of its file where that tells, else parsed
// whole; both give the same text.
//
// `Message` offers:
//   bool ReadWhole()              the whole message is parsed already, or it is in no file
//   const HeaderFields& Headers() its header fields
//   GMimeMessage* FullMessage()   the whole message, parsed on first use
//   auto WithFile(act)            act(path) run on its file

#include <string>
#include <string_view>

#include "platform/outlook/BodyFromHead.h"
#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/Mime.h"

namespace outlook {

/// Every line end (CR LF, a lone LF, a lone CR) as CR LF.
std::string NormalizeLineEnds(std::string_view text);

/// The first body text of this subtype ("plain", "html"); "" when there is none.
template <class Message>
std::string BodyTextOf(Message& message, const char* subtype)
{
    if (!message.ReadWhole()) {
        const std::string boundary = TopBoundaryOf(message.Headers());
        if (!boundary.empty()) {
            auto text = message.WithFile(
                [&](const std::string& path) { return BodyTextFromHead(path, boundary, subtype); });
            if (text) return std::move(*text);
        }
    }
    GMimeObject* part = FirstBodyPart(message.FullMessage(), subtype);
    return part ? TextOfPart(part) : std::string();
}

/// The HTML body; a message not parsed yet surely has none when no header block of its file
/// names "html" (an HTML part names its type there), which a search tells at less cost than
/// a parse.
template <class Message>
std::string HtmlBodyOf(Message& message)
{
    const bool mayHave = message.ReadWhole() || message.WithFile([](const std::string& path) {
        return MimeHeadersContainNoCase(path, "html");
    });
    return mayHave ? BodyTextOf(message, "html") : std::string();
}

/// The body as text: the plain body with CR LF line ends, else the HTML body (which
/// `htmlBody()` gives) turned into text.
template <class Message, class HtmlBody>
std::string PlainBodyOf(Message& message, HtmlBody&& htmlBody)
{
    const std::string plain = BodyTextOf(message, "plain");
    if (!plain.empty()) return NormalizeLineEnds(plain);
    const std::string html = htmlBody();
    return html.empty() ? std::string() : HtmlToText(html);
}

}  // namespace outlook
