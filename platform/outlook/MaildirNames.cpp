#include "platform/outlook/MaildirNames.h"

#include <charconv>

#include "platform/runtime/TempFiles.h"

namespace outlook {

namespace {

constexpr std::string_view kInfoMark = ":2,";
constexpr char kHex[] = "0123456789ABCDEF";

constexpr int kFlagLetters = 52;

/// What Dovecot and Courier keep in a Maildir beside cur/, new/ and tmp/: these names, and
/// those that start with one of the prefixes.
constexpr std::string_view kOtherProgramsNames[] = {
    "maildirfolder",        "maildirsize",      "subscriptions",     "dovecot-uidlist",
    "dovecot-keywords",     "dovecot-shared",   "dovecot-lda-dupes", "courierimapkeywords",
    "courierimaphieracl",   "courierimapuiddb", "courierimapacl",    "courierimapsubscribed",
    "courierpop3dsizelist",
};
constexpr std::string_view kOtherProgramsPrefixes[] = {
    "dovecot.index", "dovecot.list.index", "dovecot.mailbox.log", "dovecot-uidvalidity", "dovecot-acl"};

bool IsMaildirSubdirName(std::string_view name)
{
    return name == "cur" || name == "new" || name == "tmp";
}

/// The bit of a flag letter in MaildirFlags; -1 for anything else.
int FlagBit(char flag)
{
    if (flag >= 'A' && flag <= 'Z') return flag - 'A';
    if (flag >= 'a' && flag <= 'z') return 26 + (flag - 'a');
    return -1;
}

char FlagLetter(int bit) { return static_cast<char>(bit < 26 ? 'A' + bit : 'a' + (bit - 26)); }

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void AppendEscaped(std::string& out, char c)
{
    const auto byte = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

}  // namespace

bool MaildirFlags::Has(char flag) const
{
    const int bit = FlagBit(flag);
    return bit >= 0 && (bits_ & (std::uint64_t{1} << bit)) != 0;
}

void MaildirFlags::Set(char flag, bool on)
{
    const int bit = FlagBit(flag);
    if (bit < 0) return;
    if (on) {
        bits_ |= std::uint64_t{1} << bit;
    } else {
        bits_ &= ~(std::uint64_t{1} << bit);
    }
}

std::string MaildirFlags::Letters() const
{
    std::string letters;
    for (int bit = 0; bit < kFlagLetters; ++bit) {
        if (bits_ & (std::uint64_t{1} << bit)) letters += FlagLetter(bit);
    }
    return letters;
}

std::string MaildirName::FileName() const
{
    if (!hasInfo) return unique;
    return unique + std::string(kInfoMark) + flags.Letters();
}

void MaildirName::SetFlag(char flag, bool on)
{
    hasInfo = true;
    flags.Set(flag, on);
}

MaildirName ParseMaildirName(std::string_view fileName)
{
    MaildirName name;
    const std::string_view unique = UniquePartOf(fileName);
    name.unique = std::string(unique);
    name.hasInfo = unique.size() != fileName.size();
    name.flags = FlagsOf(fileName);
    return name;
}

std::string_view UniquePartOf(std::string_view fileName)
{
    return fileName.substr(0, fileName.rfind(kInfoMark));
}

MaildirFlags FlagsOf(std::string_view fileName)
{
    MaildirFlags flags;
    const auto mark = fileName.rfind(kInfoMark);
    if (mark == std::string_view::npos) return flags;
    for (const char c : fileName.substr(mark + kInfoMark.size())) flags.Set(c, true);
    return flags;
}

std::optional<std::time_t> DeliveryTimeOf(std::string_view unique)
{
    long long seconds = 0;
    const auto* end = unique.data() + unique.size();
    const auto [ptr, ec] = std::from_chars(unique.data(), end, seconds);
    if (ec != std::errc() || ptr == unique.data() || seconds <= 0) return std::nullopt;
    if (ptr != end && *ptr != '.' && *ptr != '_') return std::nullopt;
    return static_cast<std::time_t>(seconds);
}

std::string NewUniqueName()
{
    return UniqueStamp();
}

bool IsKeptByOtherPrograms(std::string_view name)
{
    for (const std::string_view exact : kOtherProgramsNames) {
        if (name == exact) return true;
    }
    for (const std::string_view prefix : kOtherProgramsPrefixes) {
        if (name.substr(0, prefix.size()) == prefix) return true;
    }
    return false;
}

std::string EncodeFolderName(std::string_view name, bool dotSeparated)
{
    std::string out;
    const bool reserved = IsMaildirSubdirName(name) || IsKeptByOtherPrograms(name);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool escape = c == '%' || c == '/' || c == '\0' || (c == '.' && (i == 0 || dotSeparated)) ||
                            (i == 0 && reserved);
        if (escape) AppendEscaped(out, c);
        else out += c;
    }
    return out;
}

std::string DecodeFolderName(std::string_view encoded)
{
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            const int hi = HexValue(encoded[i + 1]);
            const int lo = HexValue(encoded[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += encoded[i];
    }
    return out;
}

std::string HexEncode(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
    return out;
}

std::optional<std::string> HexDecode(std::string_view hex)
{
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexValue(hex[i]);
        const int lo = HexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

std::optional<std::vector<std::string>> FolderIdParts(std::string_view path)
{
    std::vector<std::string> parts;
    if (path.empty()) return parts;
    for (std::size_t start = 0;;) {
        const auto slash = path.find('/', start);
        const auto part =
            path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        const bool names = !part.empty() && part != "." && part != ".." && !IsMaildirSubdirName(part) &&
                           part.find('\0') == std::string_view::npos &&
                           EncodeFolderName(DecodeFolderName(part)) == part;
        if (!names) return std::nullopt;
        parts.emplace_back(part);
        if (slash == std::string_view::npos) return parts;
        start = slash + 1;
    }
}

std::string JoinPath(const std::vector<std::string>& parts)
{
    std::string out;
    for (const auto& part : parts) {
        if (!out.empty()) out += '/';
        out += part;
    }
    return out;
}

}  // namespace outlook
