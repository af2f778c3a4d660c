#pragma once
// Where the default store's Inbox lies, and which of its items a message file is.

#include <filesystem>

#include "platform/outlook/Outlook.h"

namespace qelutils {

/// The Maildir directory of the default store's Inbox (created when the store has none).
std::filesystem::path DefaultInboxDirectory();

/// The item of `inbox` stored in `file`, found by its header block among the items from
/// the last to the first (arrivals are appended, so the search is short); empty when the
/// file is gone or no item matches.
ComPtr<outlook::IOutlookItem> FindItemOfFile(outlook::IMAPIFolder& inbox, const std::filesystem::path& file);

/// A header block compared without its line-end style and trailing blank lines, with
/// bytes that are not UTF-8 replaced as the item replaces them.
std::string NormalizedHeaderBlock(std::string_view block);

}  // namespace qelutils
