#pragma once
// Helpers of the message file tests: parsing MIME texts and files, and a comparable summary
// of what a message file keeps of a message.

#include "platform/outlook/GLibPtr.h"

#include <gmime/gmime.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace msgtest {

GObjectPtr<GMimeMessage> ParseMessage(const std::string& text);
/// Null when the file holds no message GMime can parse.
GObjectPtr<GMimeMessage> ParseMessageFile(const std::filesystem::path& path);

/// What must survive a trip through a message file (bodies with LF line ends).
struct Summary {
    std::string subject;
    std::string body;
    std::string html;
    std::vector<std::string> recipients;  ///< "To:addr", "Cc:addr", "Bcc:addr"
    std::vector<std::string> files;       ///< "name=<size>:<hash>"
    std::vector<Summary> attached;        ///< attached messages
    bool operator==(const Summary&) const = default;
};
Summary Summarize(GMimeMessage* message);
/// Line ends made LF and trailing white space dropped, for bodies that went through a
/// program that normalises them.
std::string NormalizeText(const std::string& text);
std::ostream& operator<<(std::ostream& out, const Summary& s);

/// Runs msgconvert over `files` (in one call, in the folder of the first, where it writes the
/// .eml files); false when it fails.
bool RunMsgConvert(const std::vector<std::filesystem::path>& files);

}  // namespace msgtest
