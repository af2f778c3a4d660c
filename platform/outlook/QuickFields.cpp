#include "platform/outlook/QuickFields.h"

#include <array>

namespace outlook {

namespace {

// --- dates ---------------------------------------------------------------------------------

/// Reads the text from left to right; every step either takes what it expects or fails.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ == text_.size(); }

    bool Take(char c)
    {
        if (pos_ >= text_.size() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }

    /// One or more blanks.
    bool Blanks()
    {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
        return pos_ > start;
    }

    void OptionalBlanks() { Blanks(); }

    /// Between min and max digits.
    std::optional<int> Number(std::size_t min, std::size_t max)
    {
        std::size_t n = 0;
        int value = 0;
        while (n < max && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value = value * 10 + (text_[pos_] - '0');
            ++pos_;
            ++n;
        }
        if (n < min) return std::nullopt;
        return value;
    }

    /// The index of the three-letter name among `names`, written exactly so.
    template <std::size_t N>
    std::optional<int> Name(const std::array<const char*, N>& names)
    {
        if (text_.size() - pos_ < 3) return std::nullopt;
        for (std::size_t i = 0; i < N; ++i) {
            if (text_.compare(pos_, 3, names[i]) == 0) {
                pos_ += 3;
                return static_cast<int>(i);
            }
        }
        return std::nullopt;
    }

    /// A comment without nested parentheses or escapes, such as "(UTC)".
    bool SimpleComment()
    {
        if (!Take('(')) return false;
        while (pos_ < text_.size() && text_[pos_] != ')') {
            const char c = text_[pos_];
            if (c == '(' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
                return false;
            ++pos_;
        }
        return Take(')');
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 1 && IsLeapYear(year) ? 29 : kDays[month];
}

/// Days from 1970-01-01 to the date (proleptic Gregorian calendar); month from 1.
std::int64_t DaysFromCivil(int year, int month, int day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = static_cast<int>(year - era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct DateParts {
    int year, month, day, hour, minute, second, zoneMinutes;
};

std::optional<DateParts> ReadDateParts(Cursor& in)
{
    in.OptionalBlanks();
    if (in.Name(kWeekdays)) {
        if (!in.Take(',')) return std::nullopt;
        in.OptionalBlanks();
    }
    DateParts d{};
    const auto day = in.Number(1, 2);
    if (!day || !in.Blanks()) return std::nullopt;
    const auto month = in.Name(kMonths);
    if (!month || !in.Blanks()) return std::nullopt;
    const auto year = in.Number(4, 4);
    if (!year || !in.Blanks()) return std::nullopt;
    const auto hour = in.Number(2, 2);
    if (!hour || !in.Take(':')) return std::nullopt;
    const auto minute = in.Number(2, 2);
    if (!minute) return std::nullopt;
    std::optional<int> second = 0;
    if (in.Take(':') && !(second = in.Number(2, 2))) return std::nullopt;
    if (!in.Blanks()) return std::nullopt;
    const bool west = in.Take('-');
    if (!west && !in.Take('+')) return std::nullopt;
    const auto zone = in.Number(4, 4);
    if (!zone) return std::nullopt;
    d = {*year, *month, *day, *hour, *minute, *second, (*zone / 100) * 60 + *zone % 100};
    if (west) d.zoneMinutes = -d.zoneMinutes;
    if (in.Blanks() && !in.AtEnd() && !in.SimpleComment()) return std::nullopt;
    in.OptionalBlanks();
    if (!in.AtEnd() || *zone % 100 >= 60 || *zone / 100 > 14) return std::nullopt;
    return d;
}

bool Exists(const DateParts& d)
{
    return d.year >= 1970 && d.day >= 1 && d.day <= DaysInMonth(d.year, d.month) && d.hour < 24 &&
           d.minute < 60 && d.second < 60;
}

// --- addresses -----------------------------------------------------------------------------

constexpr std::array<bool, 256> kAtext = [] {
    std::array<bool, 256> table{};
    for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
    for (int c = '0'; c <= '9'; ++c) table[c] = true;
    for (const char c : std::string_view("!#$%&'*+-/=?^_`{|}~")) table[static_cast<unsigned char>(c)] = true;
    return table;
}();

bool IsAtext(char c) { return kAtext[static_cast<unsigned char>(c)]; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

/// local@domain: a dot-atom before the "@" and plain labels after it.
bool IsPlainAddress(std::string_view addr)
{
    const std::size_t at = addr.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 >= addr.size()) return false;
    const std::string_view local = addr.substr(0, at), domain = addr.substr(at + 1);
    char previous = '.';
    for (const char c : local) {
        if (c == '.' ? previous == '.' : !IsAtext(c)) return false;
        previous = c;
    }
    if (previous == '.') return false;
    previous = '.';
    for (const char c : domain) {
        const bool label = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        if (c == '.' ? previous == '.' : !label) return false;
        previous = c;
    }
    // Punycode labels are shown decoded by GMime.
    return previous != '.' && domain.find("xn--") == std::string_view::npos &&
           domain.find("XN--") == std::string_view::npos;
}

/// A display name of plain words (encoded words included), single blanks between them, or one
/// quoted string of plain characters.
bool IsPlainPhrase(std::string_view phrase)
{
    if (phrase.empty()) return true;
    if (phrase.size() >= 2 && phrase.front() == '"' && phrase.back() == '"') {
        const std::string_view inner = phrase.substr(1, phrase.size() - 2);
        if (inner.find("=?") != std::string_view::npos) return false;
        for (const char c : inner) {
            if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
                return false;
        }
        return true;
    }
    char previous = ' ';
    for (const char c : phrase) {
        if (c == ' ' ? previous == ' ' : !(IsAtext(c) || c == '.')) return false;
        previous = c;
    }
    return previous != ' ';
}

std::string DecodedName(std::string_view phrase)
{
    if (phrase.empty()) return {};
    // GMime drops the blanks at either end of a quoted name.
    if (phrase.front() == '"') return std::string(Trimmed(phrase.substr(1, phrase.size() - 2)));
    if (phrase.find("=?") == std::string_view::npos) return std::string(phrase);
    EnsureGMime();
    return MakeValidUtf8(TakeString(g_mime_utils_header_decode_phrase(nullptr, std::string(phrase).c_str())));
}

std::optional<Address> QuickMailbox(std::string_view item)
{
    item = Trimmed(item);
    if (item.empty()) return std::nullopt;
    if (item.back() != '>') {
        if (!IsPlainAddress(item)) return std::nullopt;
        return Address{{}, std::string(item)};
    }
    const std::size_t open = item.rfind('<');
    if (open == std::string_view::npos) return std::nullopt;
    const std::string_view addr = item.substr(open + 1, item.size() - open - 2);
    const std::string_view phrase = Trimmed(item.substr(0, open));
    if (!IsPlainAddress(addr) || !IsPlainPhrase(phrase)) return std::nullopt;
    return Address{DecodedName(phrase), std::string(addr)};
}

}  // namespace

std::optional<std::string> QuickText(std::string_view raw)
{
    for (const char c : raw) {
        if ((c < 0x20 && c != '\t') || c > 0x7e) return std::nullopt;
    }
    if (raw.find("=?") != std::string_view::npos) return std::nullopt;
    return std::string(Trimmed(raw));
}

std::optional<std::time_t> QuickDate(std::string_view text)
{
    Cursor in(text);
    const std::optional<DateParts> d = ReadDateParts(in);
    if (!d || !Exists(*d)) return std::nullopt;
    const std::int64_t days = DaysFromCivil(d->year, d->month + 1, d->day);
    const std::int64_t seconds =
        days * 86400 + d->hour * 3600 + d->minute * 60 + d->second - std::int64_t{d->zoneMinutes} * 60;
    return static_cast<std::time_t>(seconds);
}

std::optional<std::vector<Address>> QuickAddresses(std::string_view text)
{
    std::vector<Address> out;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ',';
        if (c == '\r' || c == '\n' || c == '(' || c == ';' || c == ':' || static_cast<unsigned char>(c) > 0x7e)
            return std::nullopt;
        if (c == '"') quoted = !quoted;
        if (c != ',' || quoted) continue;
        std::optional<Address> mailbox = QuickMailbox(text.substr(start, i - start));
        if (!mailbox) return std::nullopt;
        out.push_back(std::move(*mailbox));
        start = i + 1;
    }
    if (quoted) return std::nullopt;
    return out;
}

}  // namespace outlook
