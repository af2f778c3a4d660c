#pragma once
// TStringList: an ordered list of strings, the run-time's general list of lines.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// What a sorted list does with a string it already holds.
enum class TDuplicates { dupIgnore, dupAccept, dupError };

/// An ordered list of strings. Unsorted by default, duplicates allowed. When `Sorted`, Add puts
/// each string at its place (compared ignoring case by code points unless `CaseSensitive`) and
/// `Duplicates` decides about equal strings. Indexes outside the list raise EListError
/// "List index out of bounds (<index>)".
class TStringList {
public:
    TStringList() = default;

    std::size_t Count() const noexcept { return items_.size(); }
    bool Empty() const noexcept { return items_.empty(); }

    const std::string& operator[](std::size_t index) const { return Strings(index); }
    const std::string& Strings(std::size_t index) const;
    /// Replaces the string at `index` (not allowed on a sorted list: EListError).
    void Put(std::size_t index, std::string value);

    /// Appends (or, sorted, inserts at its place); returns the index. With dupIgnore an equal
    /// string already there is not added again and its index is returned; dupError raises
    /// EListError "String list does not allow duplicates".
    std::size_t Add(std::string value);
    /// Inserts at `index` (0..Count). Not allowed on a sorted list: EListError.
    void Insert(std::size_t index, std::string value);
    void Delete(std::size_t index);
    void Clear() noexcept { items_.clear(); }
    /// Index of the first equal string, or -1.
    int IndexOf(std::string_view value) const;

    /// All items, each followed by CR LF ("" for no item).
    std::string Text() const;
    /// Replaces the items by the lines of `text`, split at CR LF, CR or LF; a final line break
    /// adds no item, the empty text gives no item.
    void SetText(std::string_view text);

    bool Sorted() const noexcept { return sorted_; }
    /// Turning sorting on sorts the list (duplicates already there stay).
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const noexcept { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) noexcept { duplicates_ = duplicates; }
    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);
    void Sort();

    std::vector<std::string>::const_iterator begin() const noexcept { return items_.begin(); }
    std::vector<std::string>::const_iterator end() const noexcept { return items_.end(); }

private:
    int Compare(std::string_view a, std::string_view b) const;
    /// Binary search on a sorted list: true and the index when found, else the insert position.
    bool Find(std::string_view value, std::size_t& index) const;
    void CheckIndex(std::size_t index, std::size_t limit) const;

    std::vector<std::string> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
};
