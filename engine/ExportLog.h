#pragma once
// The export log: three text files in a log folder that record every exported e-mail.
//   Eml.log  one line per exported e-mail (16 quoted, TAB-separated columns)
//   Att.log  one line per attachment file saved with it
//   ID.log   the last record number used
// The files are opened, appended to and closed again for every e-mail; while they are
// open no other writer may touch them.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/runtime/DateTime.h"
#include "platform/runtime/StringList.h"

/// What is recorded about one exported e-mail.
struct TLogEntry {
    std::string SenderName;
    std::string SenderEmail;
    std::string RecipientName;
    std::string RecipientEmail;
    std::string Subject;
    TDateTime DateSent = 0;
    std::string MessageID;
    std::string OutlookFolder;
    std::int32_t FileType = 0;
    std::string Filename;
    TDateTime DateExported = 0;
    std::int32_t AttCount = 0;
    /// Full paths of the attachment files saved with the export, in the order written.
    TStringList AttFiles;
};

/// Appends entries to the log files of a folder.
class TExportLog {
public:
    /// Records one e-mail in the log files of `Dir` (created when missing). Errors of
    /// creating, opening (another writer holds a file) and writing are raised; lines
    /// written before a failure stay.
    void AddEntry(const std::string& Dir, const TLogEntry& Entry);
};

// The line codec, without I/O.
namespace exportlog {

inline constexpr const char* EmlFileName = "Eml.log";
inline constexpr const char* AttFileName = "Att.log";
inline constexpr const char* IDFileName = "ID.log";
/// ID.log is read this far from its start.
inline constexpr std::size_t IDReadLimit = 258;

/// A double quote, the text with inner quotes doubled, a double quote.
std::string QuoteField(const std::string& value);
/// The quoted fields joined by TAB, ended by CR LF.
std::string FormatLine(const std::vector<std::string>& fields);

std::string EmlHeaderLine();
std::string AttHeaderLine();
std::string EmlDataLine(std::int32_t recordNumber, const TLogEntry& entry);
/// One line per attachment file, all in one text.
std::string AttDataLines(std::int32_t recordNumber, const TLogEntry& entry);

/// The number that follows what ID.log holds: the run of digits at its start plus 1;
/// 1 when there is no such run, when it is not a 32-bit number, or when adding 1 would
/// leave the 32-bit range.
std::int32_t NextRecordNumber(const std::string& idFileStart);
/// The text written at the start of ID.log.
std::string IDLine(std::int32_t recordNumber);

}  // namespace exportlog
