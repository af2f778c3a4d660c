#include "platform/runtime/IniFile.h"

#include "platform/runtime/Exception.h"
#include "platform/runtime/Profile.h"
#include "platform/runtime/Text.h"

#include <utility>

TIniFile::TIniFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {}

profile::Document& TIniFile::Content() const
{
    if (!loaded_ || (!updating_ && !stamp_.Current(fileName_))) {
        const auto bytes = stamp_.Load(fileName_);
        document_ = bytes ? profile::Document(DecodeToUtf8(*bytes)) : profile::Document();
        loaded_ = true;
    }
    return document_;
}

void TIniFile::Store()
{
    if (updating_) {
        dirty_ = true;  // held in memory; it reaches the file at commit
        return;
    }
    try {
        WriteFileAtomically(fileName_, document_.Text());
    } catch (const EOSError& e) {
        stamp_.Invalidate();  // memory may hold the change that did not reach the file
        throw EIniFileException("Unable to write to " + fileName_.string() + " (" + e.Message() + ")");
    }
    stamp_.Invalidate();  // read back on next use, with whatever else changed the file meanwhile
}

std::string TIniFile::ReadString(std::string_view section, std::string_view ident,
                                 std::string_view defaultValue) const
{
    auto value = Content().Read(section, ident);
    return value ? std::move(*value) : std::string(defaultValue);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view ident, int defaultValue) const
{
    const auto value = Content().Read(section, ident);
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
    Content().Write(AsUtf8(section), AsUtf8(ident), AsUtf8(value));
    Store();
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
    return Content().SectionExists(section);
}

bool TIniFile::ValueExists(std::string_view section, std::string_view ident) const
{
    return Content().Read(section, ident).has_value();
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    return Content().Keys(section);
}

void TIniFile::EraseSection(std::string_view section)
{
    if (Content().EraseSection(section)) Store();
}

void TIniFile::DeleteKey(std::string_view section, std::string_view ident)
{
    if (Content().DeleteKey(section, ident)) Store();
}

void TIniFile::EndUpdate(bool commit)
{
    updating_ = false;
    const bool pending = std::exchange(dirty_, false);
    if (!pending) return;
    if (commit) {
        Store();
    } else {
        stamp_.Invalidate();  // drop the writes held in memory: read the file again
    }
}

TIniFileUpdate::TIniFileUpdate(TIniFile& ini) : ini_(ini)
{
    ini_.Content();  // the file as it is now is the base of the pending writes
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
