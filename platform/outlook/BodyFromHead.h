#pragma once
// The body texts of a multipart message read from the head of its file: its text comes first
// and its attachments after it, and an export that wants only the text need not read and
// parse them.

#include <optional>
#include <string>

namespace outlook {

/// The first body text of `subtype` ("plain", "html") of the multipart message in the file
/// `path`, whose top-level boundary is `boundary`: the text of the part that FirstBodyPart
/// finds in the whole message. The file is read up to a line that starts with that boundary,
/// and this head is parsed as the whole message would be: a body part whose content ends
/// before that line reads the same in both, since the parser decides nothing about a part by
/// what follows it. Nothing when the head does not tell (no such part in the first few of
/// these heads): the caller then parses the whole message. Raises ComError when the file
/// cannot be read.
std::optional<std::string> BodyTextFromHead(const std::string& path, const std::string& boundary,
                                            const char* subtype);

}  // namespace outlook
