#pragma once
// The fields of a message's header block, split without building a whole MIME message: a walk
// over a large store reads the subject, the addresses and the dates of every message, and
// needs nothing else of it.

#include <string>
#include <string_view>
#include <vector>

namespace outlook {

/// The fields of one header block, in order. A value is raw: its continuation lines are kept
/// (with their line ends) and the blanks after the colon are dropped. Names are matched in
/// any letter case.
class HeaderFields {
public:
    HeaderFields() = default;
    /// Splits `block`, which ends at the blank line that ends the header block (or earlier).
    explicit HeaderFields(std::string block);

    HeaderFields(const HeaderFields&) = delete;
    HeaderFields& operator=(const HeaderFields&) = delete;
    HeaderFields(HeaderFields&&) = default;
    HeaderFields& operator=(HeaderFields&&) = default;

    /// The block as it was given.
    const std::string& Block() const { return block_; }
    /// The raw value of the first field of this name; `found` tells an empty value from none.
    std::string_view First(std::string_view name, bool* found = nullptr) const;
    /// The raw values of every field of this name, in order.
    std::vector<std::string_view> All(std::string_view name) const;
    bool Has(std::string_view name) const;

private:
    struct Field {
        std::size_t nameAt, nameLength, valueAt, valueLength;
    };
    bool NameIs(const Field& field, std::string_view name) const;
    std::string_view ValueOf(const Field& field) const { return {block_.data() + field.valueAt, field.valueLength}; }

    std::string block_;
    std::vector<Field> fields_;  // offsets into block_, so that moving the object keeps them valid
};

}  // namespace outlook
