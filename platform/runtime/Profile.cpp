#include "platform/runtime/Profile.h"

#include "platform/runtime/Text.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace profile {
namespace {

/// The name of a "[name]" line, trimmed; nothing for any other line.
std::optional<std::string> SectionName(std::string_view line)
{
    const std::string trimmed = Trim(line);
    const std::size_t close = trimmed.rfind(']');
    if (trimmed.empty() || trimmed.front() != '[' || close == std::string::npos) return std::nullopt;
    return Trim(std::string_view(trimmed).substr(1, close - 1));
}

struct KeyLine {
    std::string key;
    std::string_view raw;
};

/// Key and raw value of a "key=value" line; comments and lines without "=" give nothing.
std::optional<KeyLine> ParseKeyLine(std::string_view line)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    std::string key = Trim(line.substr(0, eq));
    if (key.empty() || key.front() == ';' || key.front() == '[') return std::nullopt;
    return KeyLine{std::move(key), line.substr(eq + 1)};
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}
bool IsBlankChar(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

bool IsBlankLine(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), IsBlankChar);
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string UnquoteValue(std::string_view raw)
{
    std::string value = Trim(raw);
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string QuoteValue(std::string_view value)
{
    std::string text(value);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    const bool blankEnds = !text.empty() && (IsBlankChar(text.front()) || IsBlankChar(text.back()));
    const bool quoted = text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
    return blankEnds || quoted ? "\"" + text + "\"" : text;
}

// --- Document::Section ---------------------------------------------------------------------

void Document::Section::IndexKeys()
{
    keys.clear();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (const auto parsed = ParseKeyLine(lines[i])) keys.try_emplace(AsciiLowerCase(parsed->key), i);
}

/// Inserts a line; every line from `at` on must be blank (no key moves).
void Document::Section::AddLine(std::string line, std::size_t at)
{
    const auto parsed = ParseKeyLine(line);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    if (parsed) keys.try_emplace(AsciiLowerCase(parsed->key), at);
}

// --- Document ------------------------------------------------------------------------------

Document::Document() : sections_(1) {}

Document::Document(std::string_view text) : sections_(1)
{
    for (std::string& line : SplitLines(text)) {
        if (SectionName(line)) {
            sections_.push_back(Section{std::move(line), {}, {}});
        } else {
            sections_.back().lines.push_back(std::move(line));
        }
    }
    for (Section& section : sections_) section.IndexKeys();
    IndexSections();
}

void Document::IndexSections()
{
    firstSection_.clear();
    for (std::size_t i = 1; i < sections_.size(); ++i)
        firstSection_.try_emplace(AsciiLowerCase(*SectionName(*sections_[i].header)), i);
}

std::string Document::Text() const
{
    std::string text;
    const auto append = [&text](const std::string& line) {
        text += line;
        text += "\r\n";
    };
    for (const Section& section : sections_) {
        if (section.header) append(*section.header);
        std::for_each(section.lines.begin(), section.lines.end(), append);
    }
    return text;
}

const Document::Section* Document::Find(std::string_view section) const
{
    const auto found = firstSection_.find(AsciiLowerCase(section));
    return found == firstSection_.end() ? nullptr : &sections_[found->second];
}

Document::Section* Document::Find(std::string_view section)
{
    return const_cast<Section*>(std::as_const(*this).Find(section));
}

std::optional<std::string> Document::Read(std::string_view section, std::string_view key) const
{
    const Section* found = Find(section);
    if (!found) return std::nullopt;
    const auto line = found->keys.find(AsciiLowerCase(key));
    if (line == found->keys.end()) return std::nullopt;
    return UnquoteValue(ParseKeyLine(found->lines[line->second])->raw);
}

bool Document::SectionExists(std::string_view section) const
{
    return Find(section) != nullptr;
}

std::vector<std::string> Document::Keys(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const Section* found = Find(section))
        for (const std::string& line : found->lines)
            if (auto parsed = ParseKeyLine(line)) keys.push_back(std::move(parsed->key));
    return keys;
}

bool Document::EndsWithBlankLine() const
{
    const Section& last = sections_.back();
    if (!last.lines.empty()) return IsBlankLine(last.lines.back());
    return !last.header;  // an empty file counts as ending blank: nothing goes before the section
}

void Document::AddSection(std::string header)
{
    if (!EndsWithBlankLine()) sections_.back().lines.emplace_back();
    sections_.push_back(Section{std::move(header), {}, {}});
    firstSection_.try_emplace(AsciiLowerCase(*SectionName(*sections_.back().header)), sections_.size() - 1);
}

void Document::Write(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string quoted = QuoteValue(value);
    Section* found = Find(section);
    if (!found) {
        AddSection("[" + std::string(section) + "]");
        found = &sections_.back();
        found->AddLine(std::string(key) + "=" + quoted, 0);
        return;
    }
    if (const auto line = found->keys.find(AsciiLowerCase(key)); line != found->keys.end()) {
        std::string& text = found->lines[line->second];
        text = ParseKeyLine(text)->key + "=" + quoted;
        return;
    }
    std::size_t insertAt = found->lines.size();
    while (insertAt > 0 && IsBlankLine(found->lines[insertAt - 1])) --insertAt;
    found->AddLine(std::string(key) + "=" + quoted, insertAt);
}

bool Document::EraseSection(std::string_view section)
{
    const std::string folded = AsciiLowerCase(section);
    const auto named = [&folded](const Section& s) {
        return s.header && AsciiLowerCase(*SectionName(*s.header)) == folded;
    };
    const auto removed = std::remove_if(std::next(sections_.begin()), sections_.end(), named);
    if (removed == sections_.end()) return false;
    sections_.erase(removed, sections_.end());
    IndexSections();
    return true;
}

bool Document::DeleteKey(std::string_view section, std::string_view key)
{
    Section* found = Find(section);
    if (!found) return false;
    const auto line = found->keys.find(AsciiLowerCase(key));
    if (line == found->keys.end()) return false;
    found->lines.erase(found->lines.begin() + static_cast<std::ptrdiff_t>(line->second));
    found->IndexKeys();  // a later key of the same name now counts, and the lines after moved
    return true;
}

}  // namespace profile
