#pragma once
// Writes a compound file, the container of message files, front to back into a new file:
// 512-byte sectors, and streams under 4096 bytes packed into the mini stream in 64-byte
// pieces. A large stream goes to the file as it is written, so that it is never held in
// memory; the mini stream, the allocation tables and the directory follow at the end, and
// the header, which points at them, is written last.
//
// The layout is the one that readers of message files have always been given: the streams in
// the order they were written, then the mini stream, its table, the directory (entries in
// depth-first order, each storage's children in the order they were added, linked as one
// chain of right siblings in name order, all black), the allocation table and, for files
// over about 7 MB, the sectors that list the further table sectors.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace msgfile {

class CompoundFileWriter {
public:
    using EntryId = std::uint32_t;
    using ClassId = std::array<std::uint8_t, 16>;
    static constexpr EntryId kRoot = 0;

    /// Writes into `fd`, a new and empty file open for writing (not closed here); `path`
    /// names it in errors.
    CompoundFileWriter(int fd, std::string path);
    CompoundFileWriter(const CompoundFileWriter&) = delete;
    CompoundFileWriter& operator=(const CompoundFileWriter&) = delete;

    /// A storage named `name` (ASCII, at most 31 characters) inside the storage `parent`.
    EntryId AddStorage(EntryId parent, std::string_view name);
    void SetClassId(EntryId storage, const ClassId& classId);
    /// A stream with all of its bytes.
    void AddStream(EntryId parent, std::string_view name, std::string_view bytes);
    /// A stream whose bytes come piece by piece through Append until EndStream; nothing
    /// else is added in between.
    void BeginStream(EntryId parent, std::string_view name);
    void Append(std::string_view bytes);
    /// Ends the open stream and returns its size.
    std::uint64_t EndStream();

    /// Writes the mini stream, the tables, the directory and the header. Raises EOSError
    /// when the file cannot be written, Exception when it would be too large.
    void Finish();

private:
    struct Entry {
        std::string name;
        std::uint8_t type;
        ClassId classId{};
        std::vector<EntryId> children;
        std::uint32_t start;
        std::uint64_t size = 0;
    };
    struct OpenStream {
        explicit OpenStream(EntryId entry) : id(entry) {}
        EntryId id;
        bool large = false;
        std::uint32_t start = 0;  ///< first sector once the stream is large
        std::uint64_t size = 0;
        std::string head;  ///< the bytes of a stream that may still be small
    };

    EntryId AddEntry(EntryId parent, std::string_view name, std::uint8_t type);
    void BecomeLarge(OpenStream& stream);

    void Put(std::string_view bytes);
    void Flush();
    std::uint32_t SectorsWritten() const;
    /// Pads to a whole sector and chains the sectors from `first` on in the table.
    void EndChain(std::uint32_t first);
    /// `bytes` as sectors of their own; the first sector, or the end mark when empty.
    std::uint32_t WriteChain(std::string_view bytes);
    std::uint32_t AddToMiniStream(std::string_view bytes);

    std::string MiniTableBytes() const;
    std::string DirectoryBytes() const;
    void AppendEntryBytes(std::string& out, const Entry& entry, std::uint32_t right,
                          std::uint32_t child) const;
    std::vector<EntryId> DepthFirstOrder() const;
    /// Writes the table sectors and the sectors that list them; returns the table sectors' first
    /// sector and their count.
    std::pair<std::uint32_t, std::uint32_t> WriteTables();
    void WriteTableList(std::uint32_t firstTable, std::uint32_t tables, std::uint32_t firstList);
    std::string HeaderBytes(std::uint32_t tableStart, std::uint32_t tables) const;
    void PutHeader(const std::string& header);

    int fd_;
    std::string path_;
    std::vector<Entry> entries_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;       ///< bytes of buffer_ not yet written
    std::uint64_t flushed_ = 0;  ///< bytes of the file already written
    std::vector<std::uint32_t> fat_;
    std::string mini_;
    std::vector<std::uint32_t> miniFat_;
    std::optional<OpenStream> open_;  ///< the stream being written
    std::uint32_t miniTableStart_ = 0;
    std::uint32_t miniTableSectors_ = 0;
    std::uint32_t directoryStart_ = 0;
};

}  // namespace msgfile
