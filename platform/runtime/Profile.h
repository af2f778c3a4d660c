#pragma once
// The rules of the Windows profile (INI) functions over the lines of a file, without file access.
// TIniFile does the I/O around them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

/// Splits text at CR LF, CR or LF; a final line break adds no line.
std::vector<std::string> SplitLines(std::string_view text);
/// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

/// The value as read: trimmed (characters <= 0x20), then one pair of enclosing quotes removed.
std::string UnquoteValue(std::string_view raw);
/// The value as written, so that UnquoteValue gives it back: CR and LF become blanks, and a value
/// with blanks at either end or enclosing quotes is put in double quotes.
std::string QuoteValue(std::string_view value);

/// The value of the first matching key of the first matching section (names ignore ASCII case).
std::optional<std::string> Read(const std::vector<std::string>& lines, std::string_view section,
                                std::string_view key);
bool SectionExists(const std::vector<std::string>& lines, std::string_view section);
/// Key names of the first matching section, in order.
std::vector<std::string> Keys(const std::vector<std::string>& lines, std::string_view section);

/// Replaces the key's line in place, or adds the key after the last non-blank line of its
/// section, or adds the section (after a blank line) at the end.
void Write(std::vector<std::string>& lines, std::string_view section, std::string_view key,
           std::string_view value);
/// Removes every section of that name with its lines; false when there was none.
bool EraseSection(std::vector<std::string>& lines, std::string_view section);
/// Removes the first matching key line of the section; false when there was none.
bool DeleteKey(std::vector<std::string>& lines, std::string_view section, std::string_view key);

}  // namespace profile
