#pragma once
// The rules of the Windows profile (INI) functions over the text of a file, without file access.
// TIniFile does the I/O around them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace profile {

/// Splits text at CR LF, CR or LF; a final line break adds no line.
std::vector<std::string> SplitLines(std::string_view text);

/// The value as read: trimmed (characters <= 0x20), then one pair of enclosing quotes removed.
std::string UnquoteValue(std::string_view raw);
/// The value as written, so that UnquoteValue gives it back: CR and LF become blanks, and a value
/// with blanks at either end or enclosing quotes is put in double quotes.
std::string QuoteValue(std::string_view value);

/// The lines of a profile file, grouped by section and indexed once, so that a look-up or a
/// write costs the same in a file of ten lines as in one of a hundred thousand. Every line is
/// kept as it was read; only the lines that a write or a removal concerns change.
///
/// Names match ignoring ASCII case; of several sections of one name only the first counts, and of
/// several keys of one name in it the first. Lines before the first section belong to none.
class Document {
public:
    Document();
    explicit Document(std::string_view text);

    /// Every line followed by CR LF.
    std::string Text() const;

    /// The value of the first matching key of the first matching section.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    bool SectionExists(std::string_view section) const;
    /// Key names of the first matching section, in order.
    std::vector<std::string> Keys(std::string_view section) const;

    /// Replaces the key's line in place, or adds the key after the last non-blank line of its
    /// section, or adds the section (after a blank line) at the end.
    void Write(std::string_view section, std::string_view key, std::string_view value);
    /// Removes every section of that name with its lines; false when there was none.
    bool EraseSection(std::string_view section);
    /// Removes the first matching key line of the section; false when there was none.
    bool DeleteKey(std::string_view section, std::string_view key);

private:
    using Index = std::unordered_map<std::string, std::size_t>;  // folded name -> first position

    struct Section {
        std::optional<std::string> header;  // the "[name]" line; none for the lines before the first
        std::vector<std::string> lines;
        Index keys;  // the first key line of each name

        void IndexKeys();
        void AddLine(std::string line, std::size_t at);
    };

    const Section* Find(std::string_view section) const;
    Section* Find(std::string_view section);
    void IndexSections();
    void AddSection(std::string header);
    bool EndsWithBlankLine() const;

    std::vector<Section> sections_;  // sections_[0] holds the lines before the first section
    Index firstSection_;
};

}  // namespace profile
