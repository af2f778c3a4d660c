// Part records in job definition files (INI sections), and the manual job's file.
#include <sys/stat.h>

#include <filesystem>

#include <fmt/format.h>

#include "jobs/FileTools.h"
#include "jobs/Options.h"
#include "jobs/OptionsFields.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/IniFile.h"
#include "platform/runtime/Text.h"

namespace {

/// A list count above this is taken for a damaged file: the list stays empty.
constexpr int kMaxListCount = 100000;

/// Reads every field from its key; a missing or unreadable key gives the file default.
struct IniLoader {
    TIniFile& ini;
    const std::string& section;
    static constexpr bool Loading = true;

    void Bool(const char* name, bool& field, bool def) { field = ini.ReadBool(section, name, def); }
    void Byte(const char* name, std::uint8_t& field, int def)
    {
        field = static_cast<std::uint8_t>(ini.ReadInteger(section, name, def));
    }
    void Int(const char* name, std::int32_t& field, int def) { field = ini.ReadInteger(section, name, def); }
    void Str(const char* name, std::string& field) { field = ini.ReadString(section, name, ""); }
    void Date(const char* name, TDateTime& field) { field = IniReadDate(ini, section, name); }
    void List(const char* name, TStringList& list) { IniReadStrings(ini, section, name, list); }
};

/// Writes every field's key in order.
struct IniSaver {
    TIniFile& ini;
    const std::string& section;
    static constexpr bool Loading = false;

    void Bool(const char* name, bool field, bool) { ini.WriteBool(section, name, field); }
    void Byte(const char* name, std::uint8_t field, int) { ini.WriteInteger(section, name, field); }
    void Int(const char* name, std::int32_t field, int) { ini.WriteInteger(section, name, field); }
    void Str(const char* name, const std::string& field) { ini.WriteString(section, name, field); }
    void Date(const char* name, TDateTime field) { IniWriteDate(ini, section, name, field); }
    void List(const char* name, const TStringList& list) { IniWriteStrings(ini, section, name, list); }
};

template <class R>
void LoadPart(R& record, TIniFile& ini, const std::string& section)
{
    IniLoader loader{ini, section};
    options_fields::Visit(loader, record);
}

template <class R>
void SavePart(const R& record, TIniFile& ini, const std::string& section)
{
    IniSaver saver{ini, section};
    options_fields::Visit(saver, record);
}

/// A job file name without a folder lies in the Windows folder.
std::filesystem::path ResolveJobFile(const std::string& fileName)
{
    const std::filesystem::path path(fileName);
    if (path.has_parent_path()) return path;
    return std::filesystem::path(GetWindowsDir()) / path;
}

/// A job file is read only when it is a regular file or missing (which reads as an empty job):
/// a named pipe, device or folder is refused at once instead of waited on. Should one be
/// swapped in after this look, the file reader finds it no regular file and reads nothing.
void RequireRegularJobFile(const std::filesystem::path& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        throw Exception(fmt::format("The definition file \"{}\" is not a regular file.", path.string()));
    }
}

}  // namespace

#define TROVANTA_INI_OPERATIONS(Class)                                     \
    void Class::LoadFromIni(TIniFile& ini, const std::string& section)     \
    {                                                                      \
        LoadPart(*this, ini, section);                                     \
    }                                                                      \
    void Class::SaveToIni(TIniFile& ini, const std::string& section) const \
    {                                                                      \
        SavePart(*this, ini, section);                                     \
    }

TROVANTA_INI_OPERATIONS(TOptions_Source)
TROVANTA_INI_OPERATIONS(TOptions_Filter)
TROVANTA_INI_OPERATIONS(TOptions_CopyMove)
TROVANTA_INI_OPERATIONS(TOptions_ExportEmails)
TROVANTA_INI_OPERATIONS(TOptions_Reimport)
TROVANTA_INI_OPERATIONS(TOptions_SaveAttachments)
TROVANTA_INI_OPERATIONS(TOptions_DeleteAttachments)
TROVANTA_INI_OPERATIONS(TOptions_ReadUnread)
TROVANTA_INI_OPERATIONS(TOptions_DeleteEmails)

#undef TROVANTA_INI_OPERATIONS

void TManualOptions::LoadFromFile(const std::string& fileName)
{
    const std::filesystem::path path = ResolveJobFile(fileName);
    RequireRegularJobFile(path);
    TIniFile ini(path);
    // A scope that is never committed: every part is read from one version of the file, which
    // is looked at once instead of once per key.
    const TIniFileUpdate oneVersion(ini);
    FSource.LoadFromIni(ini, "Source");
    FFilter.LoadFromIni(ini, "Filter");
    FCopyEmails1.LoadFromIni(ini, "CopyEmails1");
    FExportEmails.LoadFromIni(ini, "ExportEmails");
    FReimport.LoadFromIni(ini, "Reimport");
    FSaveAttachments.LoadFromIni(ini, "SaveAttachments");
    FDeleteAttachments.LoadFromIni(ini, "DeleteAttachments");
    FReadUnread.LoadFromIni(ini, "ReadUnread");
    FCopyEmails2.LoadFromIni(ini, "CopyEmails2");
    FMoveEmails.LoadFromIni(ini, "MoveEmails");
    FDeleteEmails.LoadFromIni(ini, "DeleteEmails");
}

namespace {

template <class R>
void RewriteSection(const R& record, TIniFile& ini, const std::string& section)
{
    ini.EraseSection(section);
    record.SaveToIni(ini, section);
}

}  // namespace

void TManualOptions::SaveToFile(const std::string& fileName) const
{
    TIniFile ini(ResolveJobFile(fileName));
    TIniFileUpdate update(ini);  // the whole job file is stored once, or not at all
    RewriteSection(FSource, ini, "Source");
    RewriteSection(FFilter, ini, "Filter");
    RewriteSection(FCopyEmails1, ini, "CopyEmails1");
    RewriteSection(FExportEmails, ini, "ExportEmails");
    RewriteSection(FReimport, ini, "Reimport");
    RewriteSection(FSaveAttachments, ini, "SaveAttachments");
    RewriteSection(FDeleteAttachments, ini, "DeleteAttachments");
    RewriteSection(FReadUnread, ini, "ReadUnread");
    RewriteSection(FCopyEmails2, ini, "CopyEmails2");
    RewriteSection(FMoveEmails, ini, "MoveEmails");
    RewriteSection(FDeleteEmails, ini, "DeleteEmails");
    update.Commit();
}

TDateTime IniReadDate(TIniFile& ini, const std::string& section, const std::string& name)
{
    return StrToDateYMD(ini.ReadString(section, name, ""));
}

void IniWriteDate(TIniFile& ini, const std::string& section, const std::string& name, TDateTime date)
{
    ini.WriteString(section, name, DateToStrYMD(date));
}

void IniReadStrings(TIniFile& ini, const std::string& section, const std::string& name, TStringList& list)
{
    list.Clear();
    int count = ini.ReadInteger(section, name + "Count", 0);
    if (count > kMaxListCount) count = 0;
    for (int i = 1; i <= count; ++i) list.Add(ini.ReadString(section, name + IntToStr(i), ""));
}

void IniWriteStrings(TIniFile& ini, const std::string& section, const std::string& name,
                     const TStringList& list)
{
    ini.WriteInteger(section, name + "Count", static_cast<int>(list.Count()));
    int index = 0;
    for (const std::string& item : list) ini.WriteString(section, name + IntToStr(++index), item);
}
