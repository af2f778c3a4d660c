#pragma once
// The registry hive in memory and its .reg text form ("Windows Registry Editor Version 5.00").
// Pure functions over text, no file access.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// Value types as the .reg format numbers them.
enum class RegType : std::uint32_t {
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
    DwordBigEndian = 5,
    Link = 6,
    MultiSz = 7,
    QWord = 11,
};

/// One value. REG_SZ keeps its text (UTF-8) in `data`, REG_DWORD its number in `dword`; every
/// other type keeps its bytes exactly as stored (strings there are UTF-16LE), so values the
/// system does not use survive a rewrite intact.
struct RegValue {
    std::string name;
    std::uint32_t type = static_cast<std::uint32_t>(RegType::Sz);
    std::string data;
    std::uint32_t dword = 0;
};

/// A key with its values and subkeys, in stored order. Names match ignoring case.
struct RegKey {
    std::string name;
    std::vector<RegValue> values;
    std::vector<std::unique_ptr<RegKey>> subkeys;

    RegKey* FindSubkey(std::string_view name) const;
    RegKey& AddSubkey(std::string_view name);
    bool RemoveSubkey(std::string_view name);
    const RegValue* FindValue(std::string_view name) const;
    void SetValue(RegValue value);
    bool RemoveValue(std::string_view name);
};

/// Splits a key path at "\" into its parts, dropping empty parts (leading, doubled, trailing).
std::vector<std::string> SplitKeyPath(std::string_view path);

/// A string value stored as UTF-16LE bytes, as UTF-8, without its terminating NULs.
std::string RegStringFromUtf16(std::string_view utf16);

/// Parses a hive file's text (UTF-8, or UTF-16 with BOM; any line ending). `rootName` is the
/// hive's name ("HKEY_CURRENT_USER"): every key must lie below it. An empty text is an empty
/// hive. Raises ERegistryException "<fileName>(<line>): <problem>" on damaged input.
std::unique_ptr<RegKey> ParseRegFile(std::string_view bytes, std::string_view rootName,
                                     std::string_view fileName);

/// The hive as .reg text, UTF-8, CR LF. REG_SZ texts with a line break or other control
/// character are written as hex(1) so that they read back unchanged.
std::string FormatRegFile(const RegKey& root, std::string_view rootName);
