#include "platform/runtime/StringList.h"

#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

#include <algorithm>

void TStringList::CheckIndex(std::size_t index, std::size_t limit) const
{
    if (index >= limit) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::Strings(std::size_t index) const
{
    CheckIndex(index, items_.size());
    return items_[index];
}

void TStringList::Put(std::size_t index, std::string value)
{
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    CheckIndex(index, items_.size());
    items_[index] = std::move(value);
}

int TStringList::Compare(std::string_view a, std::string_view b) const
{
    if (caseSensitive_) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    return CompareText(a, b);
}

bool TStringList::Find(std::string_view value, std::size_t& index) const
{
    const auto it = std::lower_bound(
        items_.begin(), items_.end(), value,
        [this](const std::string& item, std::string_view v) { return Compare(item, v) < 0; });
    index = static_cast<std::size_t>(it - items_.begin());
    return it != items_.end() && Compare(*it, value) == 0;
}

std::size_t TStringList::Add(std::string value)
{
    if (!sorted_) {
        items_.push_back(std::move(value));
        return items_.size() - 1;
    }
    std::size_t index = 0;
    if (Find(value, index)) {
        if (duplicates_ == TDuplicates::dupIgnore) return index;
        if (duplicates_ == TDuplicates::dupError) throw EListError("String list does not allow duplicates");
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(value));
    return index;
}

void TStringList::Insert(std::size_t index, std::string value)
{
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    CheckIndex(index, items_.size() + 1);
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(value));
}

void TStringList::Delete(std::size_t index)
{
    CheckIndex(index, items_.size());
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

int TStringList::IndexOf(std::string_view value) const
{
    if (sorted_) {
        std::size_t index = 0;
        return Find(value, index) ? static_cast<int>(index) : -1;
    }
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (Compare(items_[i], value) == 0) return static_cast<int>(i);
    return -1;
}

std::string TStringList::Text() const
{
    std::string text;
    for (const std::string& item : items_) {
        text += item;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(std::string_view text)
{
    items_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            Add(std::string(text.substr(start)));
            return;
        }
        Add(std::string(text.substr(start, end - start)));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !sorted_) {
        sorted_ = true;
        Sort();
    }
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive)
{
    caseSensitive_ = caseSensitive;
    if (sorted_) Sort();
}

void TStringList::Sort()
{
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const std::string& a, const std::string& b) { return Compare(a, b) < 0; });
}
