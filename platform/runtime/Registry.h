#pragma once
// TRegistry: the registry of the platform, one .reg text file per hive under TrovantaHome().

#include "platform/runtime/RegHive.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// The root keys (hives). Each is the file "<name>.reg" in the registry folder.
enum HKEY : std::uint32_t {
    HKEY_CLASSES_ROOT = 0x80000000u,
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
};

/// The kind of a value as GetDataType reports it.
enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary, rdMultiString };

class HiveFile;

/// Access to one key of the registry at a time, as the system's code expects of the Windows
/// registry class.
///
/// Key paths use "\" and match ignoring case (the case a key was created with is kept). A path
/// that begins with "\" starts at the root key; any other path starts at the open key. Value
/// names match ignoring case too; "" is the key's default value.
///
/// Each change is written at once as one commit: the hive file is locked (flock on
/// "<hive>.reg.lock"), re-read if another process changed it, changed and replaced atomically.
/// Reads see changes made by other processes. A hive file that cannot be parsed raises
/// ERegistryException naming file and line, and is never overwritten.
///
/// Errors: ReadInteger/ReadBool of a missing value raise ERegistryException
/// "Registry value \"<name>\" does not exist in key \"<key>\""; reading a value of another type
/// raises "Registry value \"<name>\" in key \"<key>\" is not of the expected type"; writing or
/// reading without an open key raises "No registry key is open". ReadString of a missing value
/// gives "". A write replaces the value whatever its old type.
class TRegistry {
public:
    /// The registry in TrovantaHome().
    TRegistry();
    /// The registry whose hive files lie in `folder`.
    explicit TRegistry(std::filesystem::path folder);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const noexcept { return rootKey_; }
    /// Changing the root key closes the open key.
    void SetRootKey(HKEY rootKey);
    /// Path of the open key below the root ("" when none or the root itself), as opened.
    const std::string& CurrentPath() const noexcept { return currentPath_; }
    bool HasCurrentKey() const noexcept { return open_; }

    /// Opens `key`; when missing, creates it if `canCreate` (one commit), else returns false.
    bool OpenKey(std::string_view key, bool canCreate);
    /// Opens an existing key for reading; writes through it raise ERegistryException.
    bool OpenKeyReadOnly(std::string_view key);
    void CloseKey() noexcept;
    /// True when `key` exists (relative to the open key unless it begins with "\").
    bool KeyExists(std::string_view key);
    /// Deletes `key` with all its subkeys and values; false when it did not exist.
    bool DeleteKey(std::string_view key);

    bool ValueExists(std::string_view name);
    /// Names of the open key's subkeys / values, in stored order.
    std::vector<std::string> GetKeyNames();
    std::vector<std::string> GetValueNames();
    /// rdUnknown when the value is missing or of a type without its own entry.
    TRegDataType GetDataType(std::string_view name);

    /// A REG_SZ or REG_EXPAND_SZ value (not expanded); "" when missing.
    std::string ReadString(std::string_view name);
    /// A REG_DWORD value.
    int ReadInteger(std::string_view name);
    /// A REG_DWORD value, non-zero is true.
    bool ReadBool(std::string_view name);
    /// A value's raw bytes (REG_BINARY, or any type but REG_SZ/REG_DWORD as stored).
    std::string ReadBinary(std::string_view name);
    /// A REG_MULTI_SZ value's strings.
    std::vector<std::string> ReadMultiString(std::string_view name);

    void WriteString(std::string_view name, std::string_view value);
    void WriteExpandString(std::string_view name, std::string_view value);
    void WriteInteger(std::string_view name, int value);
    void WriteBool(std::string_view name, bool value);
    void WriteBinary(std::string_view name, std::string_view bytes);
    void WriteMultiString(std::string_view name, const std::vector<std::string>& values);
    /// False when the value did not exist.
    bool DeleteValue(std::string_view name);

private:
    friend class TRegistryTransaction;

    HiveFile& Hive();
    /// Absolute key path of `key` (relative to the open key unless it begins with "\").
    std::string Resolve(std::string_view key) const;
    /// "HKEY_CURRENT_USER\\<open key>", for messages.
    std::string KeyDisplayName() const;
    const RegKey* CurrentKey();
    const RegValue* FindValue(std::string_view name);
    const RegValue& RequireValue(std::string_view name, RegType type);
    void WriteValue(std::string_view name, RegValue value);

    std::filesystem::path folder_;
    HKEY rootKey_ = HKEY_CURRENT_USER;
    std::string currentPath_;
    bool open_ = false;
    bool readOnly_ = false;
    std::unique_ptr<HiveFile> hive_;
};

/// Groups changes of one TRegistry into one commit: while the scope lives the hive stays locked
/// against other writers and changes are kept in memory; Commit() writes them at once. A scope
/// that ends without Commit() (an exception in between) drops every change, so a key deleted
/// and written again is never lost half-way. Scopes do not nest. The lock is a file lock: while
/// a scope lives, a second TRegistry of the same process that writes the same hive waits for it,
/// so write through the registry that holds the scope.
class TRegistryTransaction {
public:
    explicit TRegistryTransaction(TRegistry& registry);
    ~TRegistryTransaction();
    TRegistryTransaction(const TRegistryTransaction&) = delete;
    TRegistryTransaction& operator=(const TRegistryTransaction&) = delete;

    void Commit();

private:
    HiveFile& hive_;
    bool done_ = false;
};
