#pragma once
// The HTML page that the export writes for an e-mail that has no HTML body of its own: the
// header values and the plain body lines, escaped, in a small fixed page, built as one text and
// written at once. The page starts with a UTF-8 byte order mark so that browsers read its text
// right.

#include <string>
#include <string_view>

/// The UTF-8 byte order mark that starts every page.
inline constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

/// Text with "&", "<" and ">" written as character references, so that an address like
/// "Bob <bob@example.org>" shows and no text becomes markup.
std::string HtmlEscape(std::string_view Text);

/// Writes Page to FileName. The file appears complete or not at all (AtomicFile), so a failure
/// never destroys an older file of that name. Raises EOSError.
void SaveHtmlPage(const std::string& FileName, std::string_view Page);
