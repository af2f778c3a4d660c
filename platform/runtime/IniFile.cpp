#include "platform/runtime/IniFile.h"

#include "platform/runtime/Exception.h"
#include "platform/runtime/Profile.h"
#include "platform/runtime/Text.h"

#include <utility>

TIniFile::TIniFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {}

const std::vector<std::string>& TIniFile::Lines() const
{
    if (!loaded_ || (!updating_ && !stamp_.Current(fileName_))) {
        const auto bytes = stamp_.Load(fileName_);
        lines_ = bytes ? profile::SplitLines(DecodeToUtf8(*bytes)) : std::vector<std::string>{};
        loaded_ = true;
    }
    return lines_;
}

void TIniFile::Store(const std::vector<std::string>& lines)
{
    if (updating_) {
        lines_ = lines;  // held in memory; it reaches the file at commit
        dirty_ = true;
        return;
    }
    try {
        WriteFileAtomically(fileName_, profile::JoinLines(lines));
    } catch (const EOSError& e) {
        stamp_.Invalidate();  // memory may hold the change that did not reach the file
        throw EIniFileException("Unable to write to " + fileName_.string() + " (" + e.Message() + ")");
    }
    stamp_.Invalidate();  // read back on next use, with whatever else changed the file meanwhile
}

std::string TIniFile::ReadString(std::string_view section, std::string_view ident,
                                 std::string_view defaultValue) const
{
    auto value = profile::Read(Lines(), section, ident);
    return value ? std::move(*value) : std::string(defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view ident, int defaultValue) const
{
    const auto value = profile::Read(Lines(), section, ident);
    return value ? StrToIntDef(*value, defaultValue) : defaultValue;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

namespace {

/// Text that is not UTF-8 is taken as Windows-1252: one stray byte must not turn the whole file
/// into something that reads back as Windows-1252.
std::string AsUtf8(std::string_view text)
{
    return IsValidUtf8(text) ? std::string(text) : Windows1252ToUtf8(text);
}

}  // namespace

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value)
{
    std::vector<std::string> lines = Lines();
    profile::Write(lines, AsUtf8(section), AsUtf8(ident), AsUtf8(value));
    Store(lines);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const
{
    return profile::SectionExists(Lines(), section);
}

bool TIniFile::ValueExists(std::string_view section, std::string_view ident) const
{
    return profile::Read(Lines(), section, ident).has_value();
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    return profile::Keys(Lines(), section);
}

void TIniFile::EraseSection(std::string_view section)
{
    std::vector<std::string> lines = Lines();
    if (profile::EraseSection(lines, section)) Store(lines);
}

void TIniFile::DeleteKey(std::string_view section, std::string_view ident)
{
    std::vector<std::string> lines = Lines();
    if (profile::DeleteKey(lines, section, ident)) Store(lines);
}

void TIniFile::EndUpdate(bool commit)
{
    updating_ = false;
    const bool pending = std::exchange(dirty_, false);
    if (!pending) return;
    if (commit) {
        Store(lines_);
    } else {
        stamp_.Invalidate();  // drop the writes held in memory: read the file again
    }
}

TIniFileUpdate::TIniFileUpdate(TIniFile& ini) : ini_(ini)
{
    ini_.Lines();  // the file as it is now is the base of the pending writes
    ini_.updating_ = true;
}

TIniFileUpdate::~TIniFileUpdate()
{
    if (open_) ini_.EndUpdate(false);
}

void TIniFileUpdate::Commit()
{
    open_ = false;
    ini_.EndUpdate(true);
}
