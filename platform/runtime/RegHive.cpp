#include "platform/runtime/RegHive.h"

#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

template <typename Items>
auto FindByName(Items& items, std::string_view name)
{
    return std::find_if(items.begin(), items.end(), [name](const auto& item) {
        if constexpr (requires { item->name; })
            return SameText(item->name, name);
        else
            return SameText(item.name, name);
    });
}

}  // namespace

RegKey* RegKey::FindSubkey(std::string_view name) const
{
    const auto it = FindByName(subkeys, name);
    return it == subkeys.end() ? nullptr : it->get();
}

RegKey& RegKey::AddSubkey(std::string_view name)
{
    if (RegKey* existing = FindSubkey(name)) return *existing;
    subkeys.push_back(std::make_unique<RegKey>());
    subkeys.back()->name = std::string(name);
    return *subkeys.back();
}

bool RegKey::RemoveSubkey(std::string_view name)
{
    const auto it = FindByName(subkeys, name);
    if (it == subkeys.end()) return false;
    subkeys.erase(it);
    return true;
}

const RegValue* RegKey::FindValue(std::string_view name) const
{
    const auto it = FindByName(values, name);
    return it == values.end() ? nullptr : &*it;
}

void RegKey::SetValue(RegValue value)
{
    const auto it = FindByName(values, value.name);
    if (it == values.end()) {
        values.push_back(std::move(value));
    } else {
        value.name = it->name;  // keep the spelling the value was created with
        *it = std::move(value);
    }
}

bool RegKey::RemoveValue(std::string_view name)
{
    const auto it = FindByName(values, name);
    if (it == values.end()) return false;
    values.erase(it);
    return true;
}

std::string RegStringFromUtf16(std::string_view utf16)
{
    // One terminator, as a string value is written; a NUL that the text itself holds stays, so
    // that the value reads back as it was written.
    if (utf16.size() >= 2 && utf16.substr(utf16.size() - 2) == std::string_view("\0\0", 2))
        utf16.remove_suffix(2);
    return Utf16ToUtf8(utf16);
}

std::vector<std::string> SplitKeyPath(std::string_view path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

/// One logical line: physical lines joined where a hex list ends in "\".
struct Line {
    std::string text;
    std::size_t number;
};

/// Only hex lists continue on the next line; a comment or key ending in "\" does not.
bool IsHexValueLine(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    return first != std::string_view::npos && (text[first] == '"' || text[first] == '@') &&
           text.find("hex") != std::string_view::npos;
}

class RegParser {
public:
    RegParser(std::string_view rootName, std::string_view fileName) : rootName_(rootName), fileName_(fileName)
    {
    }

    std::unique_ptr<RegKey> Parse(std::string_view bytes);

private:
    [[noreturn]] void Fail(std::size_t line, const std::string& problem) const
    {
        throw ERegistryException(std::string(fileName_) + "(" + std::to_string(line) + "): " + problem);
    }

    std::vector<Line> LogicalLines(const std::string& text) const;
    void ParseKey(const Line& line);
    void ParseValue(const Line& line);
    std::string ParseQuoted(const Line& line, std::string_view& rest) const;
    RegValue ParseData(const Line& line, std::string_view data) const;
    RegValue ParseHexValue(const Line& line, std::string_view data) const;
    std::string ParseHexBytes(const Line& line, std::string_view list) const;

    std::string_view rootName_;
    std::string_view fileName_;
    std::unique_ptr<RegKey> root_ = std::make_unique<RegKey>();
    RegKey* current_ = nullptr;
};

std::vector<Line> RegParser::LogicalLines(const std::string& text) const
{
    std::vector<Line> lines;
    std::size_t number = 0;
    bool continued = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string physical = TrimRight(std::string_view(text).substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++number;
        if (continued)
            lines.back().text += TrimLeft(physical);
        else
            lines.push_back({std::move(physical), number});
        continued = IsHexValueLine(lines.back().text) && lines.back().text.back() == '\\';
        if (continued) lines.back().text.pop_back();
    }
    return lines;
}

std::unique_ptr<RegKey> RegParser::Parse(std::string_view bytes)
{
    const std::vector<Line> lines = LogicalLines(DecodeToUtf8(bytes));
    auto it = std::find_if(lines.begin(), lines.end(), [](const Line& l) { return !Trim(l.text).empty(); });
    if (it == lines.end()) return std::move(root_);
    const std::string header = Trim(it->text);
    if (header != kHeader5 && header != kHeader4)
        Fail(it->number, "not a registry file (the first line must be \"" + std::string(kHeader5) + "\")");
    for (++it; it != lines.end(); ++it) {
        const std::string_view text = it->text;
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos || text[first] == ';') continue;
        if (text[first] == '[')
            ParseKey(*it);
        else if (text[first] == '"' || text[first] == '@')
            ParseValue(*it);
        else
            Fail(it->number, "unreadable line");
    }
    return std::move(root_);
}

void RegParser::ParseKey(const Line& line)
{
    const std::string text = Trim(line.text);
    if (text.size() < 2 || text.back() != ']') Fail(line.number, "key line without closing \"]\"");
    const std::string path = text.substr(1, text.size() - 2);
    if (!path.empty() && path.front() == '-')
        Fail(line.number, "deleting keys is not supported in a stored hive");
    const std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty() || !SameText(parts.front(), rootName_))
        Fail(line.number, "key \"" + path + "\" does not belong to " + std::string(rootName_));
    current_ = root_.get();
    for (std::size_t i = 1; i < parts.size(); ++i) current_ = &current_->AddSubkey(parts[i]);
}

std::string RegParser::ParseQuoted(const Line& line, std::string_view& rest) const
{
    std::string out;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '"') {
            rest.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < rest.size()) ++i;
        out.push_back(rest[i]);
    }
    Fail(line.number, "text without closing quote");
}

void RegParser::ParseValue(const Line& line)
{
    if (current_ == nullptr) Fail(line.number, "value outside a key");
    std::string_view rest = std::string_view(line.text).substr(line.text.find_first_not_of(" \t"));
    std::string name;
    if (rest.front() == '@')
        rest.remove_prefix(1);
    else
        name = ParseQuoted(line, rest);
    rest = std::string_view(rest).substr(std::min(rest.size(), rest.find_first_not_of(" \t")));
    if (rest.empty() || rest.front() != '=') Fail(line.number, "value \"" + name + "\" without \"=\"");
    rest.remove_prefix(1);
    const std::string data = Trim(rest);
    RegValue value = ParseData(line, data);
    value.name = std::move(name);
    current_->SetValue(std::move(value));
}

RegValue RegParser::ParseData(const Line& line, std::string_view data) const
{
    RegValue value;
    if (!data.empty() && data.front() == '"') {
        std::string_view rest = data;
        value.data = ParseQuoted(line, rest);
        if (!Trim(rest).empty()) Fail(line.number, "text after the closing quote");
        return value;
    }
    if (data.substr(0, 6) == "dword:") {
        const std::string_view digits = data.substr(6);
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value.dword, 16);
        if (digits.empty() || digits.size() > 8 || ec != std::errc() || end != digits.data() + digits.size())
            Fail(line.number, "unreadable dword \"" + std::string(digits) + "\"");
        value.type = static_cast<std::uint32_t>(RegType::Dword);
        return value;
    }
    return ParseHexValue(line, data);
}

RegValue RegParser::ParseHexValue(const Line& line, std::string_view data) const
{
    const std::size_t colon = data.find(':');
    std::uint32_t type = static_cast<std::uint32_t>(RegType::Binary);
    if (colon == std::string_view::npos || data.substr(0, 3) != "hex")
        Fail(line.number, "unreadable value data");
    if (colon != 3) {
        const std::string_view number = data.substr(3, colon - 3);
        const auto [end, ec] =
            std::from_chars(number.data() + 1, number.data() + number.size() - 1, type, 16);
        if (number.size() < 3 || number.front() != '(' || number.back() != ')' || ec != std::errc() ||
            end != number.data() + number.size() - 1)
            Fail(line.number, "unreadable value type \"" + std::string(number) + "\"");
    }
    RegValue value;
    value.type = type;
    value.data = ParseHexBytes(line, data.substr(colon + 1));
    if (type == static_cast<std::uint32_t>(RegType::Sz)) {
        value.data = RegStringFromUtf16(value.data);
    } else if (type == static_cast<std::uint32_t>(RegType::Dword)) {
        if (value.data.size() != 4) Fail(line.number, "a dword needs four bytes");
        for (int i = 3; i >= 0; --i)
            value.dword =
                value.dword << 8 | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        value.data.clear();
    }
    return value;
}

std::string RegParser::ParseHexBytes(const Line& line, std::string_view list) const
{
    std::string bytes;
    std::size_t pos = 0;
    while (pos < list.size()) {
        const std::size_t comma = std::min(list.find(',', pos), list.size());
        const std::string item = Trim(list.substr(pos, comma - pos));
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), value, 16);
        if (item.empty() || item.size() > 2 || ec != std::errc() || end != item.data() + item.size()) {
            if (!(item.empty() && comma == list.size() && pos > 0))  // a trailing comma is harmless
                Fail(line.number, "unreadable hex byte \"" + item + "\"");
        } else {
            bytes.push_back(static_cast<char>(value));
        }
        pos = comma + 1;
    }
    return bytes;
}

}  // namespace

std::unique_ptr<RegKey> ParseRegFile(std::string_view bytes, std::string_view rootName,
                                     std::string_view fileName)
{
    return RegParser(rootName, fileName).Parse(bytes);
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

std::string QuoteRegText(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

bool HasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

/// "hex(N):aa,bb,..." wrapped like the registry editor does, continuing lines with "\".
std::string HexList(std::string_view prefix, std::string_view bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out(prefix);
    std::size_t column = out.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0xF]);
        column += 2;
        if (i + 1 < bytes.size()) {
            out.push_back(',');
            ++column;
            if (column > 76) {
                out += "\\\r\n  ";
                column = 2;
            }
        }
    }
    return out;
}

std::string FormatValue(const RegValue& value)
{
    std::string line = value.name.empty() ? "@=" : QuoteRegText(value.name) + "=";
    switch (static_cast<RegType>(value.type)) {
        case RegType::Sz:
            // A quoted text holds one line of UTF-8; anything else goes as UTF-16 bytes, so that the
            // file stays one valid UTF-8 text.
            if (!HasControlCharacter(value.data) && IsValidUtf8(value.data))
                return line + QuoteRegText(value.data);
            return HexList(line + "hex(1):", Utf8ToUtf16LE(value.data) + std::string(2, '\0'));
        case RegType::Dword: {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "dword:%08x", value.dword);
            return line + buffer;
        }
        case RegType::Binary:
            return HexList(line + "hex:", value.data);
        default: {
            char buffer[24];
            std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
            return HexList(line + buffer, value.data);
        }
    }
}

void FormatKey(std::string& out, const RegKey& key, const std::string& path, bool isRoot)
{
    if (!isRoot || !key.values.empty()) {
        out += "[" + path + "]\r\n";
        for (const RegValue& value : key.values) out += FormatValue(value) + "\r\n";
        out += "\r\n";
    }
    for (const auto& subkey : key.subkeys) FormatKey(out, *subkey, path + "\\" + subkey->name, false);
}

}  // namespace

std::string FormatRegFile(const RegKey& root, std::string_view rootName)
{
    std::string out = std::string(kHeader5) + "\r\n\r\n";
    FormatKey(out, root, std::string(rootName), true);
    return out;
}
