#pragma once
// Date and address fields in the forms nearly every mail program writes, read without GMime.
// Every item walked needs its date, sender and recipients; GMime's general parsers build
// objects for each and cost more than the rest of reading the item. These readers take only
// the plain forms and answer nothing for anything else, which GMime then reads: for every text
// they accept they give GMime's own result.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outlook/Mime.h"

namespace outlook {

/// An unstructured field (a subject) of printable ASCII on one line without encoded words:
/// its text without the blanks at either end. Nothing for anything else.
std::optional<std::string> QuickText(std::string_view raw);

/// "Thu, 26 Dec 2024 16:58:04 +0000": weekday and seconds optional, a trailing comment such as
/// "(UTC)" allowed, the zone as a number. Nothing for other forms and for times that do not
/// exist (31 February, 24:00).
std::optional<std::time_t> QuickDate(std::string_view text);

/// An address field made only of mailboxes separated by commas: "addr", "<addr>",
/// "Name <addr>", "\"Quoted Name\" <addr>", names made of plain words and encoded words.
/// Nothing when the field holds anything else (groups, comments, escapes, line breaks, 8-bit
/// bytes, route or quoted addresses).
std::optional<std::vector<Address>> QuickAddresses(std::string_view text);

}  // namespace outlook
