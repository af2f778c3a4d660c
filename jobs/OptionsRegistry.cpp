// Part records and settings in the registry (HKEY_CURRENT_USER).
#include <algorithm>
#include <cerrno>

#include <fmt/printf.h>

#include "jobs/FileTools.h"
#include "jobs/Options.h"
#include "jobs/OptionsFields.h"
#include "jobs/ShortcutFolders.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Registry.h"

namespace {

/// A rule count above this is taken for a damaged key: no rules are loaded.
constexpr int kMaxRuleCount = 100000;

/// Reads every field from its value. A missing number raises the registry's read error
/// naming it; a missing text reads as "".
struct RegLoader {
    TRegistry& reg;
    static constexpr bool Loading = true;

    void Bool(const char* name, bool& field, bool) { field = reg.ReadInteger(name) != 0; }
    void Byte(const char* name, std::uint8_t& field, int) { field = static_cast<std::uint8_t>(reg.ReadInteger(name)); }
    void Int(const char* name, std::int32_t& field, int) { field = reg.ReadInteger(name); }
    void Str(const char* name, std::string& field) { field = reg.ReadString(name); }
    void Date(const char* name, TDateTime& field) { field = RegReadDate(reg, name); }
    void List(const char* name, TStringList& list) { list.SetText(reg.ReadString(name)); }
};

struct RegSaver {
    TRegistry& reg;
    static constexpr bool Loading = false;

    void Bool(const char* name, bool field, bool) { reg.WriteInteger(name, field ? 1 : 0); }
    void Byte(const char* name, std::uint8_t field, int) { reg.WriteInteger(name, field); }
    void Int(const char* name, std::int32_t field, int) { reg.WriteInteger(name, field); }
    void Str(const char* name, const std::string& field) { reg.WriteString(name, field); }
    void Date(const char* name, TDateTime field) { RegWriteDate(reg, name, field); }
    void List(const char* name, const TStringList& list) { reg.WriteString(name, list.Text()); }
};

/// Closes the registry's open key when the scope ends, also on an exception.
class KeyCloser {
public:
    explicit KeyCloser(TRegistry& reg) : reg_(reg) {}
    ~KeyCloser() { reg_.CloseKey(); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    TRegistry& reg_;
};

/// Opens a key for writing, creating it when missing; a key that cannot be opened or
/// created raises the operating system's error.
void OpenKeyForWriting(TRegistry& reg, const std::string& key)
{
    errno = 0;
    if (!reg.OpenKey(key, true)) throw EOSError(errno != 0 ? errno : EACCES, key);
}

template <class R>
void LoadPart(R& record, TRegistry& reg, const std::string& key)
{
    record.Clear();
    if (!reg.OpenKeyReadOnly(key)) return;
    KeyCloser closer(reg);
    RegLoader loader{reg};
    options_fields::Visit(loader, record);
}

template <class R>
void SavePart(const R& record, TRegistry& reg, const std::string& key)
{
    OpenKeyForWriting(reg, key);
    KeyCloser closer(reg);
    RegSaver saver{reg};
    options_fields::Visit(saver, record);
}

std::string RuleKey(const std::string& key, int position)
{
    return JoinKey(key, fmt::sprintf("Job%d", position));
}

}  // namespace

#define TROVANTA_REGISTRY_OPERATIONS(Class)                                          \
    void Class::LoadFromRegistry(TRegistry& reg, const std::string& key)             \
    {                                                                                \
        LoadPart(*this, reg, key);                                                   \
    }                                                                                \
    void Class::SaveToRegistry(TRegistry& reg, const std::string& key) const         \
    {                                                                                \
        SavePart(*this, reg, key);                                                   \
    }

TROVANTA_REGISTRY_OPERATIONS(TOptions_Source)
TROVANTA_REGISTRY_OPERATIONS(TOptions_Filter)
TROVANTA_REGISTRY_OPERATIONS(TOptions_CopyMove)
TROVANTA_REGISTRY_OPERATIONS(TOptions_ExportEmails)
TROVANTA_REGISTRY_OPERATIONS(TOptions_Reimport)
TROVANTA_REGISTRY_OPERATIONS(TOptions_SaveAttachments)
TROVANTA_REGISTRY_OPERATIONS(TOptions_DeleteAttachments)
TROVANTA_REGISTRY_OPERATIONS(TOptions_ReadUnread)
TROVANTA_REGISTRY_OPERATIONS(TOptions_DeleteEmails)

#undef TROVANTA_REGISTRY_OPERATIONS

TDateTime RegReadDate(TRegistry& reg, const std::string& name)
{
    return StrToDateYMD(reg.ReadString(name));
}

void RegWriteDate(TRegistry& reg, const std::string& name, TDateTime date)
{
    reg.WriteString(name, DateToStrYMD(date));
}

// ---- the manual job

void TManualOptions::LoadFromRegistry(const std::string& key)
{
    TRegistry reg;
    LoadFromRegistry(reg, key);
}

void TManualOptions::LoadFromRegistry(TRegistry& reg, const std::string& key)
{
    FSource.LoadFromRegistry(reg, JoinKey(key, "Source"));
    FFilter.LoadFromRegistry(reg, JoinKey(key, "Filter"));
    FCopyEmails1.LoadFromRegistry(reg, JoinKey(key, "CopyEmails1"));
    FExportEmails.LoadFromRegistry(reg, JoinKey(key, "ExportEmails"));
    FReimport.LoadFromRegistry(reg, JoinKey(key, "Reimport"));
    FSaveAttachments.LoadFromRegistry(reg, JoinKey(key, "SaveAttachments"));
    FDeleteAttachments.LoadFromRegistry(reg, JoinKey(key, "DeleteAttachments"));
    FReadUnread.LoadFromRegistry(reg, JoinKey(key, "ReadUnread"));
    FCopyEmails2.LoadFromRegistry(reg, JoinKey(key, "CopyEmails2"));
    FMoveEmails.LoadFromRegistry(reg, JoinKey(key, "MoveEmails"));
    FDeleteEmails.LoadFromRegistry(reg, JoinKey(key, "DeleteEmails"));
}

void TManualOptions::SaveToRegistry(const std::string& key) const
{
    TRegistry reg;
    SaveToRegistry(reg, key);
}

// The whole job is written as one commit: one file replacement instead of one per value,
// and a job is never left half old, half new.
void TManualOptions::SaveToRegistry(TRegistry& reg, const std::string& key) const
{
    TRegistryTransaction transaction(reg);
    FSource.SaveToRegistry(reg, JoinKey(key, "Source"));
    FFilter.SaveToRegistry(reg, JoinKey(key, "Filter"));
    FCopyEmails1.SaveToRegistry(reg, JoinKey(key, "CopyEmails1"));
    FExportEmails.SaveToRegistry(reg, JoinKey(key, "ExportEmails"));
    FReimport.SaveToRegistry(reg, JoinKey(key, "Reimport"));
    FSaveAttachments.SaveToRegistry(reg, JoinKey(key, "SaveAttachments"));
    FDeleteAttachments.SaveToRegistry(reg, JoinKey(key, "DeleteAttachments"));
    FReadUnread.SaveToRegistry(reg, JoinKey(key, "ReadUnread"));
    FCopyEmails2.SaveToRegistry(reg, JoinKey(key, "CopyEmails2"));
    FMoveEmails.SaveToRegistry(reg, JoinKey(key, "MoveEmails"));
    FDeleteEmails.SaveToRegistry(reg, JoinKey(key, "DeleteEmails"));
    transaction.Commit();
}

// ---- rules

void TJobOptions::LoadFromRegistry(const std::string& key)
{
    TRegistry reg;
    LoadFromRegistry(reg, key);
}

void TJobOptions::LoadFromRegistry(TRegistry& reg, const std::string& key)
{
    Clear();
    if (reg.OpenKeyReadOnly(key)) {
        KeyCloser closer(reg);
        Sender = reg.ReadString("Sender");
        Recipient = reg.ReadString("Recipient");
        Subject = reg.ReadString("Subject");
    }
    FExportEmails.LoadFromRegistry(reg, JoinKey(key, "ExportEmails"));
    FSaveAttachments.LoadFromRegistry(reg, JoinKey(key, "SaveAttachments"));
}

void TJobOptions::SaveToRegistry(const std::string& key) const
{
    TRegistry reg;
    SaveToRegistry(reg, key);
}

void TJobOptions::SaveToRegistry(TRegistry& reg, const std::string& key) const
{
    {
        OpenKeyForWriting(reg, key);
        KeyCloser closer(reg);
        reg.WriteString("Sender", Sender);
        reg.WriteString("Recipient", Recipient);
        reg.WriteString("Subject", Subject);
    }
    FExportEmails.SaveToRegistry(reg, JoinKey(key, "ExportEmails"));
    FSaveAttachments.SaveToRegistry(reg, JoinKey(key, "SaveAttachments"));
}

void TAutoOptions::LoadFromRegistry(const std::string& key)
{
    TRegistry reg;
    LoadFromRegistry(reg, key);
}

void TAutoOptions::LoadFromRegistry(TRegistry& reg, const std::string& key)
{
    Clear();
    int count = 0;
    if (reg.OpenKeyReadOnly(key)) {
        KeyCloser closer(reg);
        Active = reg.ReadInteger("Active") != 0;
        count = reg.ReadInteger("Count");
    }
    if (count > kMaxRuleCount) return;
    for (int position = 1; position <= count; ++position) {
        FJobs.NewJob().LoadFromRegistry(reg, RuleKey(key, position));
    }
}

void TAutoOptions::SaveToRegistry(const std::string& key) const
{
    TRegistry reg;
    SaveToRegistry(reg, key);
}

// Deleting first removes the keys of rules that no longer exist; delete and rewrite are
// one commit, so a failure in between loses no rule.
void TAutoOptions::SaveToRegistry(TRegistry& reg, const std::string& key) const
{
    TRegistryTransaction transaction(reg);
    reg.DeleteKey(key);
    {
        OpenKeyForWriting(reg, key);
        KeyCloser closer(reg);
        reg.WriteInteger("Active", Active ? 1 : 0);
        reg.WriteInteger("Count", FJobs.Count());
    }
    for (int i = 0; i < FJobs.Count(); ++i) FJobs.Jobs(i).SaveToRegistry(reg, RuleKey(key, i + 1));
    transaction.Commit();
}

// ---- send option and own addresses

void TSendOptions::LoadFromRegistry(const std::string& key)
{
    TRegistry reg;
    LoadFromRegistry(reg, key);
}

void TSendOptions::LoadFromRegistry(TRegistry& reg, const std::string& key)
{
    Clear();
    if (!reg.OpenKeyReadOnly(key)) return;
    KeyCloser closer(reg);
    ReplaceMode = static_cast<std::uint8_t>(reg.ReadInteger("ReplaceMode"));
}

void TSendOptions::SaveToRegistry(const std::string& key) const
{
    TRegistry reg;
    SaveToRegistry(reg, key);
}

void TSendOptions::SaveToRegistry(TRegistry& reg, const std::string& key) const
{
    TRegistryTransaction transaction(reg);
    reg.DeleteKey(key);
    {
        OpenKeyForWriting(reg, key);
        KeyCloser closer(reg);
        reg.WriteInteger("ReplaceMode", ReplaceMode);
    }
    transaction.Commit();
}

void TMeOptions::LoadFromRegistry(const std::string& key)
{
    TRegistry reg;
    LoadFromRegistry(reg, key);
}

void TMeOptions::LoadFromRegistry(TRegistry& reg, const std::string& key)
{
    Clear();
    if (!reg.OpenKeyReadOnly(key)) return;
    KeyCloser closer(reg);
    FValues.SetText(reg.ReadString("Values"));
}

void TMeOptions::SaveToRegistry(const std::string& key) const
{
    TRegistry reg;
    SaveToRegistry(reg, key);
}

void TMeOptions::SaveToRegistry(TRegistry& reg, const std::string& key) const
{
    TRegistryTransaction transaction(reg);
    reg.DeleteKey(key);
    {
        OpenKeyForWriting(reg, key);
        KeyCloser closer(reg);
        reg.WriteString("Values", FValues.Text());
    }
    transaction.Commit();
}

void TShortcutFolders::LoadFromRegistry(TRegistry& reg, const std::string& key)
{
    FFolders.clear();
    if (!reg.OpenKeyReadOnly(key)) return;
    const KeyCloser closer(reg);
    std::vector<std::string> stored;
    try {
        if (reg.ValueExists("Folders")) stored = reg.ReadMultiString("Folders");
    } catch (const ERegistryException&) {
        return;  // a value of another type holds no folders
    }
    for (const std::string& folder : stored) {
        const bool listed = std::find(FFolders.begin(), FFolders.end(), folder) != FFolders.end();
        if (folder.starts_with('/') && !listed && FFolders.size() < MaxCount) FFolders.push_back(folder);
    }
}

void TShortcutFolders::SaveToRegistry(TRegistry& reg, const std::string& key) const
{
    OpenKeyForWriting(reg, key);
    const KeyCloser closer(reg);
    reg.WriteMultiString("Folders", FFolders);
}
