#pragma once
// Pure codecs of the Maildir store: message file names and their flags, folder names that
// cannot stand as directory names, and the hex identifiers of folders and stores.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace outlook {

/// The flags of a message file: a set of letters ("A" to "Z", "a" to "z") held as bits, so
/// that a folder's messages can keep theirs in little memory.
class MaildirFlags {
public:
    bool Has(char flag) const;
    /// Sets or clears a flag; anything but a letter is ignored.
    void Set(char flag, bool on);
    /// The letters, sorted.
    std::string Letters() const;
    bool operator==(const MaildirFlags&) const = default;

private:
    std::uint64_t bits_ = 0;
};

/// A message file name split into its unique part and its info ("unique:2,FLAGS").
struct MaildirName {
    std::string unique;
    bool hasInfo = false;
    MaildirFlags flags;

    std::string FileName() const;
    bool HasFlag(char flag) const { return flags.Has(flag); }
    /// Sets or clears one flag; an info part is added when there was none.
    void SetFlag(char flag, bool on);
};

MaildirName ParseMaildirName(std::string_view fileName);
/// The unique part of a message file name: the name without its info (":2,FLAGS").
std::string_view UniquePartOf(std::string_view fileName);
/// The flags in the info part of a message file name (none when it has no info).
MaildirFlags FlagsOf(std::string_view fileName);

/// The delivery time that a Maildir file name starts with (seconds since the epoch).
std::optional<std::time_t> DeliveryTimeOf(std::string_view unique);

/// A new unique name: "<seconds>.M<microseconds>P<pid>Q<counter>.<host>", the host with
/// "/" and ":" escaped as Maildir asks. Names made later sort later.
std::string NewUniqueName();

/// A folder name as a directory name: "%", "/", NUL, a leading "." and the first letter of
/// the names "cur", "new", "tmp" and of those that other programs keep (IsKeptByOtherPrograms)
/// are percent-encoded; with `dotSeparated` (the ".A.B" layout) every "." is.
std::string EncodeFolderName(std::string_view name, bool dotSeparated = false);
/// The folder name as shown; undoes EncodeFolderName.
std::string DecodeFolderName(std::string_view encoded);

/// True for the names of what other mail programs keep beside the messages of a folder
/// (index files, uid lists, keyword lists, subscriptions, quota and ACL files): never a
/// folder and never an item, and left alone.
bool IsKeptByOtherPrograms(std::string_view name);

/// The parts of a folder's path as its identifier holds it, each a directory name as
/// EncodeFolderName writes it; nullopt when the path names no folder: a part that is empty,
/// ".", "..", "cur", "new" or "tmp", holds a NUL or is spelt otherwise than EncodeFolderName
/// spells it. So an identifier that someone else wrote never leads out of its store, and a
/// folder has one identifier only.
std::optional<std::vector<std::string>> FolderIdParts(std::string_view path);

/// Upper-case hex of the bytes, and back (nullopt for text that is not hex).
std::string HexEncode(std::string_view bytes);
std::optional<std::string> HexDecode(std::string_view hex);

std::string JoinPath(const std::vector<std::string>& parts);

}  // namespace outlook
