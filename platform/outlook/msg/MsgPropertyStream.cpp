#include "platform/outlook/msg/MsgPropertyStream.h"

#include "platform/outlook/msg/MsgEncoding.h"
#include "platform/outlook/msg/MsgPropertyTags.h"

#include <algorithm>

namespace msgfile {

namespace {

// Readable and writable: what the mail client sets on the properties it saves.
constexpr std::uint32_t kDefaultFlags = 0x00000006;

std::uint64_t GetLe(std::string_view bytes, std::size_t offset, int count)
{
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

bool IsStringType(std::uint16_t type) { return type == kTypeUnicode || type == kTypeString8; }

std::string Hex8(std::uint32_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) hex[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return hex;
}

}  // namespace

std::size_t HeaderSize(StorageKind kind)
{
    switch (kind) {
    case StorageKind::TopMessage: return kTopHeaderSize;
    case StorageKind::EmbeddedMessage: return kEmbeddedHeaderSize;
    case StorageKind::Child: break;
    }
    return kChildHeaderSize;
}

void PropertyStreamBuilder::AddFixed(std::uint32_t tag, std::uint64_t value)
{
    entries_.push_back({tag, kDefaultFlags, value});
}

void PropertyStreamBuilder::AddVariable(std::uint32_t tag, std::size_t streamSize)
{
    std::uint64_t size = streamSize;
    if (TagType(tag) == kTypeUnicode) size += 2;
    else if (TagType(tag) == kTypeString8) size += 1;
    entries_.push_back({tag, kDefaultFlags, size & 0xFFFFFFFFu});
}

void PropertyStreamBuilder::AddObject(std::uint32_t tag)
{
    // Size 0xFFFFFFFF; the reserved half of the value is 1 for an attached message.
    entries_.push_back({tag, kDefaultFlags | 1u, 0x00000001FFFFFFFFull});
}

std::string PropertyStreamBuilder::Build(StorageKind kind, std::uint32_t recipients, std::uint32_t attachments) const
{
    std::string out(8, '\0');
    if (kind != StorageKind::Child) {
        AppendLittleEndian(out, recipients, 4);   // next recipient id
        AppendLittleEndian(out, attachments, 4);  // next attachment id
        AppendLittleEndian(out, recipients, 4);
        AppendLittleEndian(out, attachments, 4);
        if (kind == StorageKind::TopMessage) out.append(8, '\0');
    }
    std::vector<PropertyEntry> sorted = entries_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const PropertyEntry& a, const PropertyEntry& b) { return a.tag < b.tag; });
    std::size_t at = out.size();
    out.resize(at + sorted.size() * kEntrySize);
    for (const PropertyEntry& e : sorted) {
        StoreLittleEndian(out.data() + at, e.tag, 4);
        StoreLittleEndian(out.data() + at + 4, e.flags, 4);
        StoreLittleEndian(out.data() + at + 8, e.value, 8);
        at += kEntrySize;
    }
    return out;
}

std::vector<PropertyEntry> ParsePropertyStream(std::string_view bytes, StorageKind kind)
{
    std::vector<PropertyEntry> entries;
    const std::size_t header = HeaderSize(kind);
    if (bytes.size() < header) return entries;
    entries.reserve((bytes.size() - header) / kEntrySize);
    for (std::size_t at = header; at + kEntrySize <= bytes.size(); at += kEntrySize) {
        PropertyEntry e;
        e.tag = static_cast<std::uint32_t>(GetLe(bytes, at, 4));
        e.flags = static_cast<std::uint32_t>(GetLe(bytes, at + 4, 4));
        e.value = GetLe(bytes, at + 8, 8);
        if (IsStringType(TagType(e.tag)) || TagType(e.tag) == kTypeBinary) e.value &= 0xFFFFFFFFu;
        entries.push_back(e);
    }
    return entries;
}

std::string SubstgName(std::uint32_t tag) { return std::string(kSubstgPrefix) + Hex8(tag); }

std::string IndexedName(const char* prefix, std::uint32_t index) { return std::string(prefix) + Hex8(index); }

}  // namespace msgfile
