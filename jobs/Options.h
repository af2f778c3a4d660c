#pragma once
// The option records of a job: which items a manual job takes, how it narrows them, and one
// record per action; the rules for incoming e-mails, the send option and the own addresses.
// Records are value types: Clear sets the defaults, Assign (and copying) makes a deep copy.
// Every record loads and saves itself under a registry key and, for the parts of a manual
// job, in a section of a job definition file (OptionsRegistry.cpp, OptionsIni.cpp).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/DateTime.h"
#include "platform/runtime/StringList.h"

class TRegistry;
class TIniFile;

/// The product's registry key below HKEY_CURRENT_USER, and the keys of the settings below it.
inline constexpr const char* RegKeyProduct = "\\Software\\VONT-Software\\Trovanta";
inline constexpr const char* RegKeyAdHoc = "\\Software\\VONT-Software\\Trovanta\\AdHoc";
inline constexpr const char* RegKeyAuto = "\\Software\\VONT-Software\\Trovanta\\Auto";
inline constexpr const char* RegKeySend = "\\Software\\VONT-Software\\Trovanta\\Send";
inline constexpr const char* RegKeyMe = "\\Software\\VONT-Software\\Trovanta\\Me";

/// Which items a manual job processes.
class TOptions_Source {
public:
    /// 0 = the items selected in the active explorer; 1 = all items of one folder.
    /// Any other value counts as 0.
    std::uint8_t Source = 0;
    std::string Entry;
    std::string Store;
    /// The folder's display path when it was chosen ("Mailbox \ Inbox").
    std::string FullName;
    bool InclSubFolders = false;

    void Clear();
    void Assign(const TOptions_Source& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;
};

/// Optional narrowing of the items. The lists hold one wildcard mask per line.
class TOptions_Filter {
public:
    bool Active = false;
    TDateTime DateFrom = 0;
    TDateTime DateTo = 0;
    bool HasAtt = false;
    bool HasNoAtt = false;

    TStringList& SenderIncl() { return FSenderIncl; }
    TStringList& SenderExcl() { return FSenderExcl; }
    TStringList& RecipientIncl() { return FRecipientIncl; }
    TStringList& RecipientExcl() { return FRecipientExcl; }
    TStringList& SubjectIncl() { return FSubjectIncl; }
    TStringList& SubjectExcl() { return FSubjectExcl; }
    const TStringList& SenderIncl() const { return FSenderIncl; }
    const TStringList& SenderExcl() const { return FSenderExcl; }
    const TStringList& RecipientIncl() const { return FRecipientIncl; }
    const TStringList& RecipientExcl() const { return FRecipientExcl; }
    const TStringList& SubjectIncl() const { return FSubjectIncl; }
    const TStringList& SubjectExcl() const { return FSubjectExcl; }

    void Clear();
    void Assign(const TOptions_Filter& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;

private:
    TStringList FSenderIncl;
    TStringList FSenderExcl;
    TStringList FRecipientIncl;
    TStringList FRecipientExcl;
    TStringList FSubjectIncl;
    TStringList FSubjectExcl;
};

/// Copy or move the e-mails into a folder of the mail store (first copy, second copy, move).
class TOptions_CopyMove {
public:
    bool Active = false;
    std::string Entry;
    std::string Store;
    std::string FullName;
    /// Subfolder mask below the destination; empty = the destination itself.
    std::string Mask;

    void Clear();
    void Assign(const TOptions_CopyMove& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;
};

/// Save each e-mail as a file.
class TOptions_ExportEmails {
public:
    bool Active = false;
    /// 0 ".txt", 1 ".msg", 2 ".htm", 3 ".eml", 4 ".mht".
    std::uint8_t SaveFormat = 0;
    std::string DestPath;
    std::string Mask;
    /// 0 = add a counter, 1 = overwrite.
    std::uint8_t DuplicateMode = 0;
    std::string PrefixSubject;
    bool AlsoAttachments = false;
    bool Log = false;
    std::string LogPath;

    void Clear();
    void Assign(const TOptions_ExportEmails& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;
};

/// Put back original files in place of shortcut attachments.
class TOptions_Reimport {
public:
    bool Active = false;

    void Clear();
    void Assign(const TOptions_Reimport& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;
};

/// The include and exclude masks of attachment file names, one mask per line: shared by the
/// records that pick attachments.
class TAttachmentMaskLists {
public:
    TStringList& AttIncl() { return FAttIncl; }
    TStringList& AttExcl() { return FAttExcl; }
    const TStringList& AttIncl() const { return FAttIncl; }
    const TStringList& AttExcl() const { return FAttExcl; }

private:
    TStringList FAttIncl;
    TStringList FAttExcl;
};

/// Save attachments to disk.
class TOptions_SaveAttachments : public TAttachmentMaskLists {
public:
    bool Active = false;
    bool RecurseMSG = false;
    std::string DestPath;
    std::string Mask;
    /// 0 = add a counter, 1 = overwrite.
    std::uint8_t DuplicateMode = 0;
    /// 0 = nothing, 1 = replace the attachment by a shortcut file, 2 = remove it.
    std::uint8_t AfterSaveMode = 0;
    bool SaveOnlyIfSize = false;
    std::int32_t SaveOnlyIfSizeKB = 0;

    void Clear();
    void Assign(const TOptions_SaveAttachments& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;
};

/// Delete attachments from the e-mails.
class TOptions_DeleteAttachments : public TAttachmentMaskLists {
public:
    bool Active = false;

    void Clear();
    void Assign(const TOptions_DeleteAttachments& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;
};

/// Mark the e-mails read or unread: 0 = off, 1 = read, 2 = unread.
class TOptions_ReadUnread {
public:
    std::uint8_t Mode = 0;

    void Clear();
    void Assign(const TOptions_ReadUnread& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;
};

/// Delete the e-mails.
class TOptions_DeleteEmails {
public:
    bool Active = false;
    bool DeleteWithoutAtt = false;
    bool DeleteWithAtt = false;

    void Clear();
    void Assign(const TOptions_DeleteEmails& other) { *this = other; }
    /// `reg` is opened on HKEY_CURRENT_USER by the caller; `key` is an absolute key path.
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    void LoadFromIni(TIniFile& ini, const std::string& section);
    void SaveToIni(TIniFile& ini, const std::string& section) const;
};

/// One manual job: the source, the filter and the nine actions in the order the engine
/// carries them out. Constructed with every part cleared.
class TManualOptions {
public:
    TManualOptions();

    TOptions_Source& Source() { return FSource; }
    TOptions_Filter& Filter() { return FFilter; }
    TOptions_CopyMove& CopyEmails1() { return FCopyEmails1; }
    TOptions_ExportEmails& ExportEmails() { return FExportEmails; }
    TOptions_Reimport& Reimport() { return FReimport; }
    TOptions_SaveAttachments& SaveAttachments() { return FSaveAttachments; }
    TOptions_DeleteAttachments& DeleteAttachments() { return FDeleteAttachments; }
    TOptions_ReadUnread& ReadUnread() { return FReadUnread; }
    TOptions_CopyMove& CopyEmails2() { return FCopyEmails2; }
    TOptions_CopyMove& MoveEmails() { return FMoveEmails; }
    TOptions_DeleteEmails& DeleteEmails() { return FDeleteEmails; }
    const TOptions_Source& Source() const { return FSource; }
    const TOptions_Filter& Filter() const { return FFilter; }
    const TOptions_CopyMove& CopyEmails1() const { return FCopyEmails1; }
    const TOptions_ExportEmails& ExportEmails() const { return FExportEmails; }
    const TOptions_Reimport& Reimport() const { return FReimport; }
    const TOptions_SaveAttachments& SaveAttachments() const { return FSaveAttachments; }
    const TOptions_DeleteAttachments& DeleteAttachments() const { return FDeleteAttachments; }
    const TOptions_ReadUnread& ReadUnread() const { return FReadUnread; }
    const TOptions_CopyMove& CopyEmails2() const { return FCopyEmails2; }
    const TOptions_CopyMove& MoveEmails() const { return FMoveEmails; }
    const TOptions_DeleteEmails& DeleteEmails() const { return FDeleteEmails; }

    void Clear();
    void Assign(const TManualOptions& other) { *this = other; }
    /// Loads every part from the subkey of its name below `key` of HKEY_CURRENT_USER. The
    /// overloads without `reg` use the registry of TrovantaHome(). Saving is one commit and
    /// deletes nothing first.
    void LoadFromRegistry(const std::string& key);
    void SaveToRegistry(const std::string& key) const;
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
    /// A job definition file; a name without a folder lies in the Windows folder. A missing
    /// file reads as an empty job; a name that is no regular file (a named pipe, a device, a
    /// folder) raises Exception and changes nothing.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

private:
    TOptions_Source FSource;
    TOptions_Filter FFilter;
    TOptions_CopyMove FCopyEmails1;
    TOptions_ExportEmails FExportEmails;
    TOptions_Reimport FReimport;
    TOptions_SaveAttachments FSaveAttachments;
    TOptions_DeleteAttachments FDeleteAttachments;
    TOptions_ReadUnread FReadUnread;
    TOptions_CopyMove FCopyEmails2;
    TOptions_CopyMove FMoveEmails;
    TOptions_DeleteEmails FDeleteEmails;
};

/// One rule for incoming e-mails. Constructed cleared: "*" in all three masks, both parts off.
class TJobOptions {
public:
    TJobOptions();

    /// Masks the sender must match, several separated by ";".
    std::string Sender;
    /// Masks a recipient must match, several separated by ";".
    std::string Recipient;
    /// One mask the subject must match.
    std::string Subject;

    TOptions_ExportEmails& ExportEmails() { return FExportEmails; }
    TOptions_SaveAttachments& SaveAttachments() { return FSaveAttachments; }
    const TOptions_ExportEmails& ExportEmails() const { return FExportEmails; }
    const TOptions_SaveAttachments& SaveAttachments() const { return FSaveAttachments; }

    void Clear();
    void Assign(const TJobOptions& other) { *this = other; }
    void LoadFromRegistry(const std::string& key);
    void SaveToRegistry(const std::string& key) const;
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;

private:
    TOptions_ExportEmails FExportEmails;
    TOptions_SaveAttachments FSaveAttachments;
};

/// The ordered rules. Owns its rules; a rule keeps its identity (address) while the list
/// reorders, so references to it stay valid until it is deleted.
class TJobList {
public:
    /// A new cleared rule appended at the end.
    TJobOptions& NewJob();
    /// The rule at a zero-based index; an index outside the list raises EListError.
    TJobOptions& Jobs(int index);
    const TJobOptions& Jobs(int index) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    /// Removes and frees the rule.
    void Delete(int index);
    /// Moves the rule at `curIndex` to `newIndex`.
    void Move(int curIndex, int newIndex);
    void Clear() { FItems.clear(); }

private:
    void CheckIndex(int index) const;
    std::vector<std::unique_ptr<TJobOptions>> FItems;
};

/// Processing of incoming e-mails: the switch and the rules in order. Saving deletes the key
/// and writes it again as one commit, so rules that no longer exist leave no key behind.
class TAutoOptions {
public:
    TAutoOptions() = default;
    virtual ~TAutoOptions() = default;
    TAutoOptions(const TAutoOptions&) = delete;
    TAutoOptions& operator=(const TAutoOptions&) = delete;

    bool Active = false;
    TJobList& Jobs() { return FJobs; }
    const TJobList& Jobs() const { return FJobs; }

    void Clear();
    void LoadFromRegistry(const std::string& key);
    void SaveToRegistry(const std::string& key) const;
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;

private:
    TJobList FJobs;
};

/// What happens at send time with shortcut attachments: 0 ask, 1 always replace,
/// 2 never replace, 3 replace only where the original file exists, without asking.
class TSendOptions {
public:
    std::uint8_t ReplaceMode = 0;

    void Clear();
    void LoadFromRegistry(const std::string& key);
    void SaveToRegistry(const std::string& key) const;
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;
};

/// The user's own names and addresses, one wildcard mask per line.
class TMeOptions {
public:
    TMeOptions() = default;
    virtual ~TMeOptions() = default;
    TMeOptions(const TMeOptions&) = default;
    TMeOptions& operator=(const TMeOptions&) = default;

    TStringList& Values() { return FValues; }
    const TStringList& Values() const { return FValues; }

    void Clear();
    void LoadFromRegistry(const std::string& key);
    void SaveToRegistry(const std::string& key) const;
    void LoadFromRegistry(TRegistry& reg, const std::string& key);
    void SaveToRegistry(TRegistry& reg, const std::string& key) const;

private:
    TStringList FValues;
};

// Encodings shared by the records and by whoever stores the same kinds of values.

/// "YYYYMMDD" for a date (time of day dropped), "" for 0.
std::string DateToStrYMD(TDateTime date);
/// Exactly eight digits of a valid date, else 0.
TDateTime StrToDateYMD(const std::string& text);
/// Date as a REG_SZ value of the open key.
TDateTime RegReadDate(TRegistry& reg, const std::string& name);
void RegWriteDate(TRegistry& reg, const std::string& name, TDateTime date);
/// Date as an INI key; a missing key reads as 0.
TDateTime IniReadDate(TIniFile& ini, const std::string& section, const std::string& name);
void IniWriteDate(TIniFile& ini, const std::string& section, const std::string& name, TDateTime date);
/// A string list as "<name>Count" and "<name>1".."<name>N" keys.
void IniReadStrings(TIniFile& ini, const std::string& section, const std::string& name,
                    TStringList& list);
void IniWriteStrings(TIniFile& ini, const std::string& section, const std::string& name,
                     const TStringList& list);
