#include "platform/runtime/Registry.h"

#include "platform/runtime/Exception.h"
#include "platform/runtime/HiveFile.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Text.h"

#include <algorithm>

namespace {

const char* RootName(HKEY key)
{
    switch (key) {
        case HKEY_CLASSES_ROOT:
            return "HKEY_CLASSES_ROOT";
        case HKEY_LOCAL_MACHINE:
            return "HKEY_LOCAL_MACHINE";
        case HKEY_CURRENT_USER:
            break;
    }
    return "HKEY_CURRENT_USER";
}

std::string JoinKeyPath(const std::vector<std::string>& parts)
{
    std::string path;
    for (const std::string& part : parts) path += (path.empty() ? "" : "\\") + part;
    return path;
}

template <typename Key>
Key* FindKey(Key& root, const std::string& path)
{
    Key* key = &root;
    for (const std::string& part : SplitKeyPath(path)) {
        key = key->FindSubkey(part);
        if (key == nullptr) return nullptr;
    }
    return key;
}

RegKey& CreateKey(RegKey& root, const std::string& path)
{
    RegKey* key = &root;
    for (const std::string& part : SplitKeyPath(path)) key = &key->AddSubkey(part);
    return *key;
}

/// Names go into the hive file as they are: a control character or invalid UTF-8 would damage it.
void CheckName(std::string_view name, const char* what)
{
    const bool control =
        std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (control || !IsValidUtf8(name))
        throw ERegistryException(std::string("Invalid registry ") + what + " name \"" + std::string(name) +
                                 "\"");
}

}  // namespace

TRegistry::TRegistry() : TRegistry(TrovantaHome()) {}

TRegistry::TRegistry(std::filesystem::path folder) : folder_(std::move(folder)) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY rootKey)
{
    if (hive_ && hive_->InTransaction())
        throw ERegistryException("The root key cannot change during a registry transaction");
    CloseKey();
    rootKey_ = rootKey;
    hive_.reset();
}

HiveFile& TRegistry::Hive()
{
    if (!hive_) {
        const std::string name = RootName(rootKey_);
        hive_ = std::make_unique<HiveFile>(folder_ / (name + ".reg"), name);
    }
    return *hive_;
}

std::string TRegistry::Resolve(std::string_view key) const
{
    std::string path;
    if (!key.starts_with('\\') && open_) path = currentPath_ + "\\";
    path += key;
    return JoinKeyPath(SplitKeyPath(path));
}

std::string TRegistry::KeyDisplayName() const
{
    return std::string(RootName(rootKey_)) + (currentPath_.empty() ? "" : "\\" + currentPath_);
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate)
{
    const std::string path = Resolve(key);
    if (FindKey(Hive().Root(), path) == nullptr) {
        if (!canCreate) return false;
        for (const std::string& part : SplitKeyPath(path)) CheckName(part, "key");
        Hive().Change([&path](RegKey& root) { CreateKey(root, path); });
    }
    currentPath_ = path;
    open_ = true;
    readOnly_ = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key)
{
    if (!OpenKey(key, false)) return false;
    readOnly_ = true;
    return true;
}

void TRegistry::CloseKey() noexcept
{
    currentPath_.clear();
    open_ = false;
    readOnly_ = false;
}

bool TRegistry::KeyExists(std::string_view key)
{
    return FindKey(Hive().Root(), Resolve(key)) != nullptr;
}

bool TRegistry::DeleteKey(std::string_view key)
{
    const std::vector<std::string> parts = SplitKeyPath(Resolve(key));
    if (parts.empty())
        throw ERegistryException(std::string("The root key ") + RootName(rootKey_) + " cannot be deleted");
    if (FindKey(Hive().Root(), JoinKeyPath(parts)) == nullptr) return false;
    const std::string parent = JoinKeyPath({parts.begin(), parts.end() - 1});
    bool removed = false;
    Hive().Change([&](RegKey& root) {
        if (RegKey* owner = FindKey(root, parent)) removed = owner->RemoveSubkey(parts.back());
    });
    return removed;
}

const RegKey* TRegistry::CurrentKey()
{
    if (!open_) throw ERegistryException("No registry key is open");
    return FindKey(Hive().Root(), currentPath_);
}

const RegValue* TRegistry::FindValue(std::string_view name)
{
    const RegKey* key = CurrentKey();
    return key == nullptr ? nullptr : key->FindValue(name);
}

const RegValue& TRegistry::RequireValue(std::string_view name, RegType type)
{
    const RegValue* value = FindValue(name);
    if (value == nullptr)
        throw ERegistryException("Registry value \"" + std::string(name) + "\" does not exist in key \"" +
                                 KeyDisplayName() + "\"");
    if (value->type != static_cast<std::uint32_t>(type))
        throw ERegistryException("Registry value \"" + std::string(name) + "\" in key \"" + KeyDisplayName() +
                                 "\" is not of the expected type");
    return *value;
}

bool TRegistry::ValueExists(std::string_view name)
{
    return FindValue(name) != nullptr;
}

std::vector<std::string> TRegistry::GetKeyNames()
{
    std::vector<std::string> names;
    if (const RegKey* key = CurrentKey())
        for (const auto& subkey : key->subkeys) names.push_back(subkey->name);
    return names;
}

std::vector<std::string> TRegistry::GetValueNames()
{
    std::vector<std::string> names;
    if (const RegKey* key = CurrentKey())
        for (const RegValue& value : key->values) names.push_back(value.name);
    return names;
}

TRegDataType TRegistry::GetDataType(std::string_view name)
{
    const RegValue* value = FindValue(name);
    switch (value == nullptr ? RegType::None : static_cast<RegType>(value->type)) {
        case RegType::Sz:
            return TRegDataType::rdString;
        case RegType::ExpandSz:
            return TRegDataType::rdExpandString;
        case RegType::Dword:
            return TRegDataType::rdInteger;
        case RegType::Binary:
            return TRegDataType::rdBinary;
        case RegType::MultiSz:
            return TRegDataType::rdMultiString;
        default:
            return TRegDataType::rdUnknown;
    }
}

std::string TRegistry::ReadString(std::string_view name)
{
    const RegValue* value = FindValue(name);
    if (value == nullptr) return {};
    if (value->type == static_cast<std::uint32_t>(RegType::ExpandSz)) return RegStringFromUtf16(value->data);
    return RequireValue(name, RegType::Sz).data;
}

int TRegistry::ReadInteger(std::string_view name)
{
    return static_cast<int>(RequireValue(name, RegType::Dword).dword);
}

bool TRegistry::ReadBool(std::string_view name)
{
    return ReadInteger(name) != 0;
}

std::string TRegistry::ReadBinary(std::string_view name)
{
    const RegValue* value = FindValue(name);
    const bool raw = value != nullptr && value->type != static_cast<std::uint32_t>(RegType::Sz) &&
                     value->type != static_cast<std::uint32_t>(RegType::Dword);
    return raw ? value->data : RequireValue(name, RegType::Binary).data;
}

std::vector<std::string> TRegistry::ReadMultiString(std::string_view name)
{
    const std::string text = Utf16ToUtf8(RequireValue(name, RegType::MultiSz).data);
    std::vector<std::string> strings;
    std::size_t start = 0;
    // Strings end with NUL; the list ends with an empty string.
    for (std::size_t end = text.find('\0'); end != std::string::npos && end > start;
         end = text.find('\0', start)) {
        strings.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size() && text.find('\0', start) == std::string::npos)
        strings.push_back(text.substr(start));
    return strings;
}

void TRegistry::WriteValue(std::string_view name, RegValue value)
{
    if (!open_) throw ERegistryException("No registry key is open to write \"" + std::string(name) + "\"");
    if (readOnly_)
        throw ERegistryException("Cannot write registry value \"" + std::string(name) + "\": key \"" +
                                 KeyDisplayName() + "\" is open for reading only");
    CheckName(name, "value");
    value.name = std::string(name);
    // A key removed meanwhile by another program is created again rather than losing the value.
    Hive().Change([this, &value](RegKey& root) { CreateKey(root, currentPath_).SetValue(std::move(value)); });
}

void TRegistry::WriteString(std::string_view name, std::string_view value)
{
    WriteValue(name, RegValue{{}, static_cast<std::uint32_t>(RegType::Sz), std::string(value), 0});
}

void TRegistry::WriteExpandString(std::string_view name, std::string_view value)
{
    WriteValue(name, RegValue{{},
                              static_cast<std::uint32_t>(RegType::ExpandSz),
                              Utf8ToUtf16LE(value) + std::string(2, '\0'),
                              0});
}

void TRegistry::WriteInteger(std::string_view name, int value)
{
    WriteValue(
        name,
        RegValue{{}, static_cast<std::uint32_t>(RegType::Dword), {}, static_cast<std::uint32_t>(value)});
}

void TRegistry::WriteBool(std::string_view name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteBinary(std::string_view name, std::string_view bytes)
{
    WriteValue(name, RegValue{{}, static_cast<std::uint32_t>(RegType::Binary), std::string(bytes), 0});
}

void TRegistry::WriteMultiString(std::string_view name, const std::vector<std::string>& values)
{
    std::string utf16;
    for (const std::string& value : values) utf16 += Utf8ToUtf16LE(value) + std::string(2, '\0');
    utf16 += std::string(2, '\0');
    WriteValue(name, RegValue{{}, static_cast<std::uint32_t>(RegType::MultiSz), std::move(utf16), 0});
}

bool TRegistry::DeleteValue(std::string_view name)
{
    if (FindValue(name) == nullptr) return false;
    if (readOnly_)
        throw ERegistryException("Cannot delete registry value \"" + std::string(name) + "\": key \"" +
                                 KeyDisplayName() + "\" is open for reading only");
    bool removed = false;
    Hive().Change([&](RegKey& root) {
        if (RegKey* key = FindKey(root, currentPath_)) removed = key->RemoveValue(name);
    });
    return removed;
}

TRegistryTransaction::TRegistryTransaction(TRegistry& registry) : hive_(registry.Hive())
{
    hive_.Begin();
}

TRegistryTransaction::~TRegistryTransaction()
{
    if (!done_) hive_.Rollback();
}

void TRegistryTransaction::Commit()
{
    done_ = true;
    hive_.Commit();
}
