// Placeholders of the masks, file-name cleaning and the text routines that tidy names and
// addresses.

#include "engine/MaskExpansion.h"

#include <fmt/printf.h>

#include <algorithm>

#include "engine/EmailProcessor.h"
#include "jobs/FileTools.h"
#include "jobs/StrTools.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Text.h"

namespace {

// U+00FF as UTF-8: the one character above 127 that a file name may not hold.
constexpr std::string_view kYDiaeresis = "\xC3\xBF";

bool IsBlank(const std::string& s) { return Trim(s).empty(); }

/// Replaces every non-overlapping `from` by `to`, scanning once from left to right.
std::string ReplaceAllOnce(const std::string& s, std::string_view from, std::string_view to)
{
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        out.append(s, pos, hit - pos);
        out += to;
    }
    out.append(s, pos);
    return out;
}

/// Removes the characters that may not stand in a file name; other bytes stay as they are.
std::string RemoveInvalidChars(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s.compare(i, kYDiaeresis.size(), kYDiaeresis) == 0) {
            ++i;
            continue;
        }
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80 && !IsValidFileNameChar(c)) continue;
        out += s[i];
    }
    return out;
}

/// Collapses blanks until no two stand in a row.
std::string CollapseBlanks(std::string s)
{
    while (s.find("  ") != std::string::npos) s = ReplaceAllOnce(s, "  ", " ");
    return s;
}

/// Drops what the file system would drop or misread at the end of a name: dots and blanks.
/// So "." and ".." never reach it as names.
std::string DropTrailingDotsAndBlanks(std::string s)
{
    while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
    return s;
}

std::string Pad(const char* format, int value) { return fmt::sprintf(format, value); }

/// Longer "extensions" are text after a dot (a subject's "v1.2 release ..."), not a file type.
constexpr std::size_t kMaxFileTypeBytes = 16;

bool IsFileType(std::string_view Ext)
{
    return Ext.size() <= kMaxFileTypeBytes && Ext.find(' ') == std::string_view::npos;
}

/// The start of Text in at most MaxBytes bytes, without dots and blanks at its new end.
std::string CutName(std::string_view Text, std::size_t MaxBytes)
{
    return DropTrailingDotsAndBlanks(Utf8CutBytes(Text, MaxBytes));
}

}  // namespace

bool IsValidFileNameChar(char32_t Ch)
{
    if (Ch <= 31) return false;
    switch (Ch) {
        case '"': case '*': case '/': case ':': case '<':
        case '>': case '?': case '\\': case '|': case 0xFF:
            return false;
        default:
            return true;
    }
}

void CheckPathLength(const std::string& Path)
{
    if (Utf8Length(Path) >= MaxPathChars) throw Exception(PathTooLongMessage);
    std::size_t start = 0;
    while (start <= Path.size()) {
        std::size_t end = Path.find('/', start);
        if (end == std::string::npos) end = Path.size();
        if (end - start > MaxNameBytes) throw Exception(PathTooLongMessage);
        start = end + 1;
    }
}

std::string FitNamePart(std::string_view Base, std::string_view Middle, std::string_view Ext,
                        std::size_t MaxBytes)
{
    if (Base.size() + Middle.size() + Ext.size() <= MaxBytes) {
        return std::string(Base).append(Middle).append(Ext);
    }
    const std::size_t tail = Middle.size() + Ext.size();
    if (IsFileType(Ext) && tail < MaxBytes) {
        const std::string base = CutName(Base, MaxBytes - tail);
        if (!base.empty()) return base + std::string(Middle) + std::string(Ext);
    }
    const std::string head =
        CutName(Base, MaxBytes - std::min(Middle.size(), MaxBytes)) + std::string(Middle);
    std::string name = CutName(head + std::string(Ext), MaxBytes);
    return name.empty() ? std::string(EmptyFileNamePart) : name;
}

std::string CleanFileName(const std::string& Name)
{
    std::string s = Trim(RemoveInvalidChars(Trim(Name)));
    s = DropTrailingDotsAndBlanks(CollapseBlanks(std::move(s)));
    if (s.empty()) s = EmptyFileNamePart;
    if (Utf8Length(s) >= MaxPathChars) throw Exception(PathTooLongMessage);
    if (s.size() > MaxNameBytes) {
        const std::string ext = ExtractExtension(s);
        s = FitNamePart(std::string_view(s).substr(0, s.size() - ext.size()), "", ext);
    }
    return s;
}

std::string CleanFilePath(const std::string& Path)
{
    std::string result;
    std::string rest = Path;
    std::string part;
    bool first = true;
    while (!rest.empty()) {
        FetchToken(rest, '\\', part);
        if (first && part.empty()) continue;  // leading backslashes vanish
        if (!first) result += '\\';
        result += CleanFileName(part);
        first = false;
    }
    return result;
}

std::string RemoveQuotes(const std::string& S)
{
    if (S.size() >= 2 && S.front() == S.back() && (S.front() == '"' || S.front() == '\'')) {
        return S.substr(1, S.size() - 2);
    }
    return S;
}

std::string NormalizeSmtpAddress(const std::string& Value, const std::string& Fallback)
{
    std::string s = Value;
    for (const char cut : {' ', '\t', ';'}) s = s.substr(0, s.find(cut));
    std::string local;
    FetchToken(s, '@', local);
    const std::string& domain = s;
    const std::size_t dot = domain.find('.');
    if (!local.empty() && dot != std::string::npos && dot >= 1 && domain.find('@') == std::string::npos) {
        return RemoveQuotes(local + "@" + domain);
    }
    return Fallback;
}

std::string ValueOrNA(const std::string& Value) { return IsBlank(Value) ? EmptyPlaceholder : Value; }

std::string JoinMaskPath(const std::string& Dir, const std::string& Name)
{
    std::string result = Dir.empty() ? "\\" : Dir;
    if (result.back() != '\\') result += '\\';
    result += (!Name.empty() && Name.front() == '\\') ? Name.substr(1) : Name;
    return result;
}

std::string MaskPathToFileSystem(const std::string& CleanPath)
{
    std::string out = CleanPath;
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return out;
}

std::string ExtractNamePart(const std::string& FileName)
{
    const std::size_t sep = FileName.find_last_of("\\/:");
    return sep == std::string::npos ? FileName : FileName.substr(sep + 1);
}

std::string ExtractExtension(const std::string& FileName)
{
    const std::size_t sep = FileName.find_last_of("\\/:");
    const std::size_t dot = FileName.rfind('.');
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
    return FileName.substr(dot);
}

namespace {

/// The values of the placeholders for one expansion.
struct MaskValues {
    int iy = 0, im = 0, id = 0;  // item date
    int cy = 0, cm = 0, cd = 0;  // current date
    std::string base, ext;       // of the attachment's name
};

/// Tidies an expanded mask: trimmed, blanks around "\" removed, no empty folder levels.
std::string TidyExpanded(const std::string& text)
{
    std::string s = ReplaceAllOnce(Trim(text), "  ", " ");
    s = ReplaceAllOnce(s, " \\", "\\");
    s = ReplaceAllOnce(s, "\\ ", "\\");
    for (std::size_t pos; (pos = s.find("\\\\")) != std::string::npos;) s.erase(pos, 1);
    return s;
}

}  // namespace

std::string TEmailProcessor::ExpandMask(const std::string& Mask, const std::string& FileName) const
{
    MaskValues v;
    DecodeDate(FNow, v.cy, v.cm, v.cd);
    if (FItemDate != 0) DecodeDate(FItemDate, v.iy, v.im, v.id);
    v.ext = ExtractExtension(FileName);
    v.base = FileName.substr(0, FileName.size() - v.ext.size());
    if (!v.ext.empty()) v.ext.erase(0, 1);

    const auto value = [&](const std::string& token, std::string& result) {
        const std::string t = AsciiUpperCase(token);
        if (t == "SN") result += ValueOrNA(FSenderName);
        else if (t == "SE") result += ValueOrNA(FSenderAddress);
        else if (t == "RN") result += ValueOrNA(FRecipientName);
        else if (t == "RE") result += ValueOrNA(FRecipientAddress);
        else if (t == "B") result += ValueOrNA(Trim(Utf8Cut(FSubject, 64)));
        else if (t == "BX") result += ValueOrNA(Trim(Utf8Cut(FSubjectNoPrefix, 64)));
        else if (t == "T") result += fmt::sprintf("%.4d%.2d%.2d", v.iy, v.im, v.id);
        else if (t == "Y") result += Pad("%.4d", v.iy);
        else if (t == "M") result += Pad("%.2d", v.im);
        else if (t == "D") result += Pad("%.2d", v.id);
        else if (t == "C") result += fmt::sprintf("%.4d%.2d%.2d", v.cy, v.cm, v.cd);
        else if (t == "CY") result += Pad("%.4d", v.cy);
        else if (t == "CM") result += Pad("%.2d", v.cm);
        else if (t == "CD") result += Pad("%.2d", v.cd);
        else if (t == "U") result += ValueOrNA(FOutlookUser);
        else if (t == "W") result += ValueOrNA(FWindowsUser);
        else if (t == "O") result = JoinMaskPath(result, "\\" + FFolderPath + "\\");
        else if (t == "OR") result = JoinMaskPath(result, "\\" + FFolderPathRel + "\\");
        else if (t == "FE") result += FileName;
        else if (t == "F") result += ValueOrNA(v.base);
        else if (t == "E") result += ValueOrNA(v.ext);
        else if (t == "F1") result += ValueOrNA(Utf8Cut(v.base, 1));
        else if (t == "E1") result += ValueOrNA(Utf8Cut(v.ext, 1));
        else if (t == "ME") result += ValueOrNA(FMyAddress);
        else if (t == "MN") result += ValueOrNA(FMyName);
        else if (t == "NE") result += ValueOrNA(FOtherAddress);
        else if (t == "NN") result += ValueOrNA(FOtherName);
        else result += "[" + token + "]";
    };

    std::string result;
    std::string rest = Mask;
    for (std::size_t open; (open = rest.find('[')) != std::string::npos;) {
        result.append(rest, 0, open);
        rest.erase(0, open + 1);
        const std::size_t close = rest.find(']');
        if (close == std::string::npos) {
            result += '[';
            break;
        }
        value(rest.substr(0, close), result);
        rest.erase(0, close + 1);
    }
    return TidyExpanded(result + rest);
}
