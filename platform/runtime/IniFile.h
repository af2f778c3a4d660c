#pragma once
// TIniFile: INI (profile) files read and written by the rules of the Windows profile functions.

#include "platform/runtime/FileIO.h"
#include "platform/runtime/Profile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

/// An INI file: "[Section]" lines and "Key=Value" lines.
///
/// Reading: a missing or unreadable file reads every default without error; section and key
/// names match ignoring ASCII case, the first match wins; a value is trimmed (characters <= 0x20)
/// and one pair of enclosing quotes (" or ') is removed; ";" inside a value is data; lines that
/// start with ";" are comments. Input in UTF-8, UTF-16 with BOM or Windows-1252 is read.
///
/// Writing: replaces the key's line in place, appends a new key after the last non-blank line of
/// its section and a new section at the end. A value with leading or trailing blanks or enclosing
/// quotes is written in double quotes so that it reads back unchanged; CR or LF inside a value
/// becomes a blank. Each write stores the whole file atomically (temporary file, fsync, rename),
/// UTF-8 with CR LF; a failure raises EIniFileException "Unable to write to <file>" and leaves the
/// old file as it was. The file is read when first needed and again when it changed on disk.
class TIniFile {
public:
    explicit TIniFile(std::filesystem::path fileName);

    const std::filesystem::path& FileName() const noexcept { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view ident,
                           std::string_view defaultValue) const;
    /// Decimal or "0x" hex; anything else gives `defaultValue`.
    int ReadInteger(std::string_view section, std::string_view ident, int defaultValue) const;
    /// An integer, non-zero is true; anything else gives `defaultValue`.
    bool ReadBool(std::string_view section, std::string_view ident, bool defaultValue) const;

    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view ident, int value);
    /// Writes "1" or "0".
    void WriteBool(std::string_view section, std::string_view ident, bool value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view ident) const;
    /// Key names of the section, in file order (first spelling of each).
    std::vector<std::string> ReadSection(std::string_view section) const;
    /// Removes the section with all its keys (every section of that name).
    void EraseSection(std::string_view section);
    /// Removes the key's line (the first match).
    void DeleteKey(std::string_view section, std::string_view ident);

private:
    friend class TIniFileUpdate;
    profile::Document& Content() const;
    void Store();
    void EndUpdate(bool commit);

    std::filesystem::path fileName_;
    mutable profile::Document document_;
    mutable FileStamp stamp_;
    mutable bool loaded_ = false;
    bool updating_ = false;  // writes stay in memory until the update scope commits
    bool dirty_ = false;
};

/// Makes many writes to one INI file a single atomic store: inside the scope the writes change
/// only the copy in memory; `Commit` stores the file once. A scope left without `Commit` (an
/// exception on the way) drops the pending writes and leaves the file as it was.
class TIniFileUpdate {
public:
    explicit TIniFileUpdate(TIniFile& ini);
    ~TIniFileUpdate();
    TIniFileUpdate(const TIniFileUpdate&) = delete;
    TIniFileUpdate& operator=(const TIniFileUpdate&) = delete;

    void Commit();

private:
    TIniFile& ini_;
    bool open_ = true;
};
