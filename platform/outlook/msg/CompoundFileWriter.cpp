#include "platform/outlook/msg/CompoundFileWriter.h"

#include "platform/outlook/msg/MsgEncoding.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileIO.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace msgfile {

namespace {

constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kMiniSectorSize = 64;
constexpr std::size_t kMiniCutoff = 4096;  // streams this large or larger get sectors of their own
constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kMaxNameLength = 31;
constexpr std::uint32_t kSlotsPerTableSector = kSectorSize / 4;
constexpr std::uint32_t kHeaderListSlots = 109;                          // table sectors named in the header
constexpr std::uint32_t kSlotsPerListSector = kSlotsPerTableSector - 1;  // the last names the next
// Writes of this size keep the system calls per file at one or two for most messages.
constexpr std::size_t kBufferSize = 256 * 1024;

constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kTableSector = 0xFFFFFFFD;
constexpr std::uint32_t kListSector = 0xFFFFFFFC;
constexpr std::uint32_t kLastSector = 0xFFFFFFFA;  // sector numbers above are marks
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

constexpr std::uint8_t kStorageType = 1;
constexpr std::uint8_t kStreamType = 2;
constexpr std::uint8_t kRootType = 5;
constexpr std::uint8_t kBlack = 1;

constexpr char kZeros[kSectorSize] = {};

constexpr std::uint32_t DivideRoundingUp(std::uint64_t value, std::uint64_t unit)
{
    return static_cast<std::uint32_t>((value + unit - 1) / unit);
}

std::uint32_t ListSectorsFor(std::uint32_t tables)
{
    return tables > kHeaderListSlots ? DivideRoundingUp(tables - kHeaderListSlots, kSlotsPerListSector) : 0;
}

[[noreturn]] void FailTooLarge(const std::string& path)
{
    throw Exception("Cannot write the message file \"" + path + "\": it would be too large.");
}

constexpr char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// Directory order: shorter names first, then by the upper-case characters.
bool NameBefore(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return AsciiUpper(a[i]) < AsciiUpper(b[i]);
    }
    return false;
}

/// `table` as `slots` 4-byte entries, free ones after its end.
std::string TableBytes(const std::vector<std::uint32_t>& table, std::size_t slots)
{
    std::string out(slots * 4, '\xFF');
    for (std::size_t i = 0; i < table.size(); ++i) StoreLittleEndian(out.data() + 4 * i, table[i], 4);
    return out;
}

/// Links the children of each storage as one chain of right siblings in name order.
struct Links {
    std::vector<std::uint32_t> child;
    std::vector<std::uint32_t> right;
};

}  // namespace

CompoundFileWriter::CompoundFileWriter(int fd, std::string path)
    : fd_(fd),
      path_(std::move(path)),
      buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)),
      used_(kHeaderSize)
{
    std::memset(buffer_.get(), 0, kHeaderSize);
    entries_.push_back({"Root Entry", kRootType, {}, {}, kEndOfChain});
}

CompoundFileWriter::EntryId CompoundFileWriter::AddEntry(EntryId parent, std::string_view name,
                                                         std::uint8_t type)
{
    if (open_ || parent >= entries_.size() || entries_[parent].type == kStreamType ||
        name.size() > kMaxNameLength)
        throw Exception("Cannot write the message file \"" + path_ + "\": bad entry \"" + std::string(name) +
                        "\".");
    const auto id = static_cast<EntryId>(entries_.size());
    entries_.push_back({std::string(name), type, {}, {}, kEndOfChain});
    entries_[parent].children.push_back(id);
    return id;
}

CompoundFileWriter::EntryId CompoundFileWriter::AddStorage(EntryId parent, std::string_view name)
{
    return AddEntry(parent, name, kStorageType);
}

void CompoundFileWriter::SetClassId(EntryId storage, const ClassId& classId)
{
    entries_.at(storage).classId = classId;
}

void CompoundFileWriter::AddStream(EntryId parent, std::string_view name, std::string_view bytes)
{
    const EntryId id = AddEntry(parent, name, kStreamType);
    entries_[id].size = bytes.size();
    entries_[id].start = bytes.size() < kMiniCutoff ? AddToMiniStream(bytes) : WriteChain(bytes);
}

void CompoundFileWriter::BeginStream(EntryId parent, std::string_view name)
{
    open_.emplace(AddEntry(parent, name, kStreamType));
}

void CompoundFileWriter::Append(std::string_view bytes)
{
    OpenStream& stream = open_.value();
    stream.size += bytes.size();
    // A stream stays in memory while it may still be small; one of exactly the cut-off size
    // is large, which only its end tells.
    if (!stream.large && stream.head.size() + bytes.size() <= kMiniCutoff) {
        stream.head.append(bytes);
        return;
    }
    if (!stream.large) BecomeLarge(stream);
    Put(bytes);
}

void CompoundFileWriter::BecomeLarge(OpenStream& stream)
{
    stream.large = true;
    stream.start = SectorsWritten();
    Put(stream.head);
    std::string().swap(stream.head);
}

std::uint64_t CompoundFileWriter::EndStream()
{
    OpenStream stream = std::move(open_.value());
    open_.reset();
    if (stream.size > 0xFFFFFFFFu) FailTooLarge(path_);
    Entry& entry = entries_[stream.id];
    entry.size = stream.size;
    if (stream.large) {
        EndChain(stream.start);
        entry.start = stream.start;
    } else {
        entry.start = stream.size == kMiniCutoff ? WriteChain(stream.head) : AddToMiniStream(stream.head);
    }
    return stream.size;
}

void CompoundFileWriter::Put(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (used_ == kBufferSize) Flush();
        const std::size_t n = std::min(bytes.size(), kBufferSize - used_);
        std::memcpy(buffer_.get() + used_, bytes.data(), n);
        used_ += n;
        bytes.remove_prefix(n);
    }
}

void CompoundFileWriter::Flush()
{
    WriteAllOrThrow(fd_, std::string_view(buffer_.get(), used_), path_);
    flushed_ += used_;
    used_ = 0;
}

std::uint32_t CompoundFileWriter::SectorsWritten() const
{
    return static_cast<std::uint32_t>((flushed_ + used_ - kHeaderSize) / kSectorSize);
}

void CompoundFileWriter::EndChain(std::uint32_t first)
{
    const std::size_t partial = (flushed_ + used_) % kSectorSize;
    if (partial != 0) Put(std::string_view(kZeros, kSectorSize - partial));
    const std::uint64_t end = (flushed_ + used_ - kHeaderSize) / kSectorSize;
    if (end > kLastSector) FailTooLarge(path_);
    for (std::uint64_t sector = first; sector < end; ++sector)
        fat_.push_back(sector + 1 == end ? kEndOfChain : static_cast<std::uint32_t>(sector + 1));
}

std::uint32_t CompoundFileWriter::WriteChain(std::string_view bytes)
{
    if (bytes.empty()) return kEndOfChain;
    const std::uint32_t first = SectorsWritten();
    Put(bytes);
    EndChain(first);
    return first;
}

std::uint32_t CompoundFileWriter::AddToMiniStream(std::string_view bytes)
{
    if (bytes.empty()) return kEndOfChain;
    const auto first = static_cast<std::uint32_t>(mini_.size() / kMiniSectorSize);
    mini_.append(bytes);
    mini_.append((kMiniSectorSize - mini_.size() % kMiniSectorSize) % kMiniSectorSize, '\0');
    const auto end = static_cast<std::uint32_t>(mini_.size() / kMiniSectorSize);
    for (std::uint32_t sector = first; sector < end; ++sector)
        miniFat_.push_back(sector + 1 == end ? kEndOfChain : sector + 1);
    return first;
}

std::string CompoundFileWriter::MiniTableBytes() const
{
    return TableBytes(miniFat_, std::size_t{DivideRoundingUp(miniFat_.size(), kSlotsPerTableSector)} *
                                    kSlotsPerTableSector);
}

std::vector<CompoundFileWriter::EntryId> CompoundFileWriter::DepthFirstOrder() const
{
    std::vector<EntryId> order;
    order.reserve(entries_.size());
    std::vector<EntryId> pending{kRoot};
    while (!pending.empty()) {
        const EntryId id = pending.back();
        pending.pop_back();
        order.push_back(id);
        const auto& children = entries_[id].children;
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return order;
}

std::string CompoundFileWriter::DirectoryBytes() const
{
    const std::vector<EntryId> order = DepthFirstOrder();
    std::vector<std::uint32_t> position(entries_.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) position[order[i]] = i;
    Links links{std::vector<std::uint32_t>(entries_.size(), kNoEntry),
                std::vector<std::uint32_t>(entries_.size(), kNoEntry)};
    for (std::size_t id = 0; id < entries_.size(); ++id) {
        std::vector<EntryId> sorted = entries_[id].children;
        std::sort(sorted.begin(), sorted.end(),
                  [this](EntryId a, EntryId b) { return NameBefore(entries_[a].name, entries_[b].name); });
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            if (i == 0) links.child[id] = position[sorted[i]];
            if (i + 1 < sorted.size()) links.right[sorted[i]] = position[sorted[i + 1]];
        }
    }
    std::string out;
    out.reserve(DivideRoundingUp(order.size(), kSectorSize / kEntrySize) * kSectorSize);
    for (const EntryId id : order) AppendEntryBytes(out, entries_[id], links.right[id], links.child[id]);
    out.append((kSectorSize - out.size() % kSectorSize) % kSectorSize, '\0');
    return out;
}

void CompoundFileWriter::AppendEntryBytes(std::string& out, const Entry& entry, std::uint32_t right,
                                          std::uint32_t child) const
{
    // Name (UTF-16, 64 bytes) and its size, type, colour, left, right and child, class id,
    // state bits and two times (all 0), start and size.
    const std::size_t at = out.size();
    out.resize(at + kEntrySize, '\0');
    char* e = out.data() + at;
    for (std::size_t i = 0; i < entry.name.size(); ++i) e[2 * i] = entry.name[i];
    StoreLittleEndian(e + 64, (entry.name.size() + 1) * 2, 2);
    e[66] = static_cast<char>(entry.type);
    e[67] = static_cast<char>(kBlack);
    StoreLittleEndian(e + 68, kNoEntry, 4);
    StoreLittleEndian(e + 72, right, 4);
    StoreLittleEndian(e + 76, child, 4);
    std::memcpy(e + 80, entry.classId.data(), entry.classId.size());
    StoreLittleEndian(e + 116, entry.start, 4);
    StoreLittleEndian(e + 120, entry.size, 8);
}

std::pair<std::uint32_t, std::uint32_t> CompoundFileWriter::WriteTables()
{
    const std::uint32_t data = SectorsWritten();
    // The table also covers its own sectors and those that list them.
    std::uint32_t tables = 0;
    for (;;) {
        const std::uint32_t needed =
            DivideRoundingUp(std::uint64_t{data} + tables + ListSectorsFor(tables), kSlotsPerTableSector);
        if (needed <= tables) break;
        tables = needed;
    }
    const std::uint32_t lists = ListSectorsFor(tables);
    if (std::uint64_t{data} + tables + lists > kLastSector) FailTooLarge(path_);
    fat_.insert(fat_.end(), tables, kTableSector);
    fat_.insert(fat_.end(), lists, kListSector);
    Put(TableBytes(fat_, std::size_t{tables} * kSlotsPerTableSector));
    WriteTableList(data, tables, data + tables);
    return {data, tables};
}

void CompoundFileWriter::WriteTableList(std::uint32_t firstTable, std::uint32_t tables,
                                        std::uint32_t firstList)
{
    const std::uint32_t lists = ListSectorsFor(tables);
    std::vector<std::uint32_t> slots;
    slots.reserve(std::size_t{lists} * kSlotsPerTableSector);
    std::uint32_t table = kHeaderListSlots;
    for (std::uint32_t list = 0; list < lists; ++list) {
        for (std::uint32_t slot = 0; slot < kSlotsPerListSector; ++slot, ++table)
            slots.push_back(table < tables ? firstTable + table : kFreeSector);
        slots.push_back(list + 1 < lists ? firstList + list + 1 : kEndOfChain);
    }
    Put(TableBytes(slots, slots.size()));
}

std::string CompoundFileWriter::HeaderBytes(std::uint32_t tableStart, std::uint32_t tables) const
{
    static constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    std::string out(kSignature, 8);
    out.append(16, '\0');                // class id
    AppendLittleEndian(out, 0x003E, 2);  // minor version
    AppendLittleEndian(out, 3, 2);       // major version: 512-byte sectors
    AppendLittleEndian(out, 0xFFFE, 2);  // byte order
    AppendLittleEndian(out, 9, 2);       // sector size 2^9
    AppendLittleEndian(out, 6, 2);       // mini sector size 2^6
    out.append(6 + 4, '\0');             // reserved; directory sectors (0 with 512-byte sectors)
    AppendLittleEndian(out, tables, 4);
    AppendLittleEndian(out, directoryStart_, 4);
    AppendLittleEndian(out, 0, 4);  // transaction signature
    AppendLittleEndian(out, kMiniCutoff, 4);
    AppendLittleEndian(out, miniTableStart_, 4);
    AppendLittleEndian(out, miniTableSectors_, 4);
    const std::uint32_t lists = ListSectorsFor(tables);
    AppendLittleEndian(out, lists > 0 ? tableStart + tables : kEndOfChain, 4);
    AppendLittleEndian(out, lists, 4);
    std::vector<std::uint32_t> slots;
    for (std::uint32_t i = 0; i < std::min(tables, kHeaderListSlots); ++i) slots.push_back(tableStart + i);
    return out + TableBytes(slots, kHeaderListSlots);
}

void CompoundFileWriter::PutHeader(const std::string& header)
{
    if (flushed_ == 0) {
        // The whole file is still in the buffer, which kept room for the header.
        std::memcpy(buffer_.get(), header.data(), kHeaderSize);
        Flush();
        return;
    }
    Flush();
    const ssize_t n = ::pwrite(fd_, header.data(), kHeaderSize, 0);
    if (n != static_cast<ssize_t>(kHeaderSize)) {
        if (n >= 0) errno = EIO;
        RaiseLastOSError(path_);
    }
}

void CompoundFileWriter::Finish()
{
    if (open_) EndStream();
    Entry& root = entries_[kRoot];
    root.start = WriteChain(mini_);
    root.size = mini_.size();
    const std::string miniTable = MiniTableBytes();
    miniTableStart_ = WriteChain(miniTable);
    miniTableSectors_ = static_cast<std::uint32_t>(miniTable.size() / kSectorSize);
    directoryStart_ = WriteChain(DirectoryBytes());
    const auto [tableStart, tables] = WriteTables();
    PutHeader(HeaderBytes(tableStart, tables));
}

}  // namespace msgfile
