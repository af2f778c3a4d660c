#pragma once
// The property stream ("__properties_version1.0") of a message, recipient or attachment
// storage: a header followed by 16-byte entries (tag, flags, 8-byte value). Fixed-size
// values stand in the entry; variable-length ones give only their size there and live in a
// stream of their own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace msgfile {

/// Which storage a property stream belongs to; decides the header size.
enum class StorageKind { TopMessage, EmbeddedMessage, Child };

std::size_t HeaderSize(StorageKind kind);

/// One entry: for fixed-size types `value` holds the value; for variable-length types its
/// low 32 bits hold the size.
struct PropertyEntry {
    std::uint32_t tag = 0;
    std::uint32_t flags = 0;
    std::uint64_t value = 0;
};

/// Collects the entries of one storage and serialises them with the header.
class PropertyStreamBuilder {
public:
    void AddFixed(std::uint32_t tag, std::uint64_t value);
    /// A variable-length property whose stream holds `streamSize` bytes; strings count their
    /// terminator in the entry as the format requires.
    void AddVariable(std::uint32_t tag, std::size_t streamSize);
    /// An attached message or storage: its size field is 0xFFFFFFFF.
    void AddObject(std::uint32_t tag);

    /// The stream bytes. `recipients` and `attachments` go into the header of a message.
    std::string Build(StorageKind kind, std::uint32_t recipients = 0, std::uint32_t attachments = 0) const;

private:
    std::vector<PropertyEntry> entries_;
};

/// The entries of a property stream; a partial last entry is ignored, a stream shorter than
/// its header has no entries.
std::vector<PropertyEntry> ParsePropertyStream(std::string_view bytes, StorageKind kind);

/// "__substg1.0_" + the tag in 8 upper-case hex digits.
std::string SubstgName(std::uint32_t tag);
/// A recipient or attachment storage name: prefix + index in 8 upper-case hex digits.
std::string IndexedName(const char* prefix, std::uint32_t index);

}  // namespace msgfile
