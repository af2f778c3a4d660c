#include "platform/runtime/Profile.h"

#include "platform/runtime/Text.h"

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

/// Lines [begin, end) of the first section of that name, the header excluded.
struct Range {
    std::size_t begin;
    std::size_t end;
};

std::size_t NextSection(const std::vector<std::string>& lines, std::size_t from)
{
    while (from < lines.size() && !SectionName(lines[from])) ++from;
    return from;
}

std::optional<Range> FindSection(const std::vector<std::string>& lines, std::string_view section,
                                 std::size_t from = 0)
{
    for (std::size_t i = from; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (name && SameTextAscii(*name, section)) return Range{i + 1, NextSection(lines, i + 1)};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, const Range& range,
                                   std::string_view key)
{
    for (std::size_t i = range.begin; i < range.end; ++i) {
        const auto parsed = ParseKeyLine(lines[i]);
        if (parsed && SameTextAscii(parsed->key, key)) return i;
    }
    return std::nullopt;
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}
bool IsBlankChar(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
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

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
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

std::optional<std::string> Read(const std::vector<std::string>& lines, std::string_view section,
                                std::string_view key)
{
    const auto range = FindSection(lines, section);
    if (!range) return std::nullopt;
    const auto index = FindKey(lines, *range, key);
    if (!index) return std::nullopt;
    return UnquoteValue(ParseKeyLine(lines[*index])->raw);
}

bool SectionExists(const std::vector<std::string>& lines, std::string_view section)
{
    return FindSection(lines, section).has_value();
}

std::vector<std::string> Keys(const std::vector<std::string>& lines, std::string_view section)
{
    std::vector<std::string> keys;
    const auto range = FindSection(lines, section);
    for (std::size_t i = range ? range->begin : 0; range && i < range->end; ++i)
        if (auto parsed = ParseKeyLine(lines[i])) keys.push_back(std::move(parsed->key));
    return keys;
}

void Write(std::vector<std::string>& lines, std::string_view section, std::string_view key,
           std::string_view value)
{
    const std::string quoted = QuoteValue(value);
    const auto range = FindSection(lines, section);
    if (!range) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(std::string(key) + "=" + quoted);
        return;
    }
    if (const auto index = FindKey(lines, *range, key)) {
        lines[*index] = ParseKeyLine(lines[*index])->key + "=" + quoted;
        return;
    }
    std::size_t insertAt = range->end;
    while (insertAt > range->begin && Trim(lines[insertAt - 1]).empty()) --insertAt;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::string(key) + "=" + quoted);
}

bool EraseSection(std::vector<std::string>& lines, std::string_view section)
{
    bool erased = false;
    while (const auto range = FindSection(lines, section)) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->begin - 1),
                    lines.begin() + static_cast<std::ptrdiff_t>(range->end));
        erased = true;
    }
    return erased;
}

bool DeleteKey(std::vector<std::string>& lines, std::string_view section, std::string_view key)
{
    const auto range = FindSection(lines, section);
    const auto index = range ? FindKey(lines, *range, key) : std::nullopt;
    if (!index) return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*index));
    return true;
}

}  // namespace profile
