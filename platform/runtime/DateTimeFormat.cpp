// Text forms of TDateTime: the token formatter and the locale's date and time strings.

#include "platform/runtime/DateTime.h"

#include <langinfo.h>

#include <cctype>
#include <cstdio>
#include <string>

namespace {

struct Fields {
    int year, month, day, hour, minute, second, msec;
};

Fields Decode(TDateTime dt)
{
    Fields f{};
    DecodeDate(dt, f.year, f.month, f.day);
    DecodeTime(dt, f.hour, f.minute, f.second, f.msec);
    return f;
}

std::string Padded(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

std::size_t RunLength(std::string_view text, std::size_t pos)
{
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
    std::size_t end = pos;
    while (end < text.size() && std::tolower(static_cast<unsigned char>(text[end])) == c) ++end;
    return end - pos;
}

/// Appends the value of the token starting at `pos`; returns the characters it used (0 when the
/// character is no token).
std::size_t AppendToken(std::string& out, std::string_view format, std::size_t pos, const Fields& f)
{
    const std::size_t run = RunLength(format, pos);
    const auto pair = [&](int value) {
        out += Padded(value, run >= 2 ? 2 : 1);
        return run >= 2 ? std::size_t{2} : std::size_t{1};
    };
    switch (std::tolower(static_cast<unsigned char>(format[pos]))) {
        case 'y':
            if (run >= 3) {
                out += Padded(f.year, 4);
                return run >= 4 ? 4 : run;
            }
            out += Padded(f.year % 100, 2);
            return run;
        case 'm':
            return pair(f.month);
        case 'd':
            return pair(f.day);
        case 'h':
            return pair(f.hour);
        case 'n':
            return pair(f.minute);
        case 's':
            return pair(f.second);
        case 'z':
            out += Padded(f.msec, run >= 3 ? 3 : 1);
            return run >= 3 ? 3 : 1;
        default:
            return 0;
    }
}

/// The broken-down time for strftime, weekday included.
struct tm ToTm(TDateTime dt)
{
    const Fields f = Decode(dt);
    struct tm t {};
    t.tm_year = f.year - 1900;
    t.tm_mon = f.month - 1;
    t.tm_mday = f.day;
    t.tm_hour = f.hour;
    t.tm_min = f.minute;
    t.tm_sec = f.second;
    t.tm_isdst = -1;
    // 1899-12-30, day 0, was a Saturday.
    const long long day = static_cast<long long>(DateOf(dt));
    t.tm_wday = static_cast<int>(((day % 7) + 7 + 6) % 7);
    return t;
}

std::string StrFTime(const std::string& format, const struct tm& t)
{
    char buffer[256];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format.c_str(), &t);
    return std::string(buffer, n);
}

/// A long date format in the order of the locale's short date (day, month and year fields).
std::string LongDateFormat()
{
    const std::string shortFormat = nl_langinfo(D_FMT);
    const auto position = [&](const char* a, const char* b) {
        const std::size_t pa = shortFormat.find(a);
        return pa != std::string::npos ? pa : shortFormat.find(b);
    };
    const std::size_t day = position("%d", "%e");
    const std::size_t month = position("%m", "%b");
    const std::size_t year = position("%y", "%Y");
    if (year < month && year < day) return "%A, %Y %B %-d";
    if (day < month) return "%A, %-d %B %Y";
    return "%A, %B %-d, %Y";
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime dt)
{
    const Fields fields = Decode(dt);
    std::string out;
    for (std::size_t pos = 0; pos < format.size();) {
        const char c = format[pos];
        if (c == '\'' || c == '"') {
            const std::size_t close = format.find(c, pos + 1);
            const std::size_t end = close == std::string_view::npos ? format.size() : close;
            out.append(format.substr(pos + 1, end - pos - 1));
            pos = end + 1;
            continue;
        }
        const std::size_t used = AppendToken(out, format, pos, fields);
        if (used == 0) {
            out.push_back(c);
            ++pos;
        } else {
            pos += used;
        }
    }
    return out;
}

std::string ShortDateLongTimeString(TDateTime dt)
{
    const struct tm t = ToTm(dt);
    return StrFTime(nl_langinfo(D_FMT), t) + " " + StrFTime(nl_langinfo(T_FMT), t);
}

std::string DateTimeToStr(TDateTime dt)
{
    int hour = 0, minute = 0, second = 0, msec = 0;
    DecodeTime(dt, hour, minute, second, msec);
    if (hour == 0 && minute == 0 && second == 0 && msec == 0) return StrFTime(nl_langinfo(D_FMT), ToTm(dt));
    return ShortDateLongTimeString(dt);
}

std::string LongDateLongTimeString(TDateTime dt)
{
    const struct tm t = ToTm(dt);
    return StrFTime(LongDateFormat(), t) + " " + StrFTime(nl_langinfo(T_FMT), t);
}
