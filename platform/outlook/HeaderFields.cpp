#include "platform/outlook/HeaderFields.h"

namespace outlook {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

HeaderFields::HeaderFields(std::string block) : block_(std::move(block))
{
    const std::string_view text = block_;
    // A block that starts with a blank is no header block at all, as a MIME parser reads it.
    if (!text.empty() && IsBlank(text.front())) return;
    std::size_t pos = 0;
    bool afterField = false;  // whether a continuation line has a field to belong to
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::size_t end = eol;
        if (end > pos && text[end - 1] == '\r') --end;
        const std::size_t next = eol == text.size() ? eol : eol + 1;
        if (end == pos) break;  // the blank line that ends the block
        if (IsBlank(text[pos])) {
            // A continuation line belongs to the field before it.
            if (afterField) fields_.back().valueLength = end - fields_.back().valueAt;
            pos = next;
            continue;
        }
        const std::size_t found = text.substr(pos, end - pos).find(':');
        const std::size_t colon = found == std::string_view::npos ? end : pos + found;
        if (colon < end) {
            std::size_t nameEnd = colon;
            while (nameEnd > pos && IsBlank(text[nameEnd - 1])) --nameEnd;
            std::size_t valueAt = colon + 1;
            while (valueAt < end && IsBlank(text[valueAt])) ++valueAt;
            fields_.push_back({pos, nameEnd - pos, valueAt, end - valueAt});
        }
        afterField = colon < end;
        // A line without a colon (an mbox "From " line, damage) names no field.
        pos = next;
    }
}

bool HeaderFields::NameIs(const Field& field, std::string_view name) const
{
    if (field.nameLength != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (AsciiLower(block_[field.nameAt + i]) != AsciiLower(name[i])) return false;
    }
    return true;
}

std::string_view HeaderFields::First(std::string_view name, bool* found) const
{
    for (const Field& field : fields_) {
        if (!NameIs(field, name)) continue;
        if (found) *found = true;
        return ValueOf(field);
    }
    if (found) *found = false;
    return {};
}

std::vector<std::string_view> HeaderFields::All(std::string_view name) const
{
    std::vector<std::string_view> values;
    for (const Field& field : fields_) {
        if (NameIs(field, name)) values.push_back(ValueOf(field));
    }
    return values;
}

bool HeaderFields::Has(std::string_view name) const
{
    bool found = false;
    First(name, &found);
    return found;
}

}  // namespace outlook
