#include "platform/runtime/DateTime.h"

#include "platform/runtime/Exception.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr long long MSecsPerDayInt = 86400000;

/// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

/// Days from 1970-01-01 back to the epoch 1899-12-30.
constexpr long long EpochOffsetDays = 25569;

/// A TDateTime as whole days from the epoch and milliseconds into that day (0..86399999).
struct DayAndTime {
    long long day;
    long long msec;
};

DayAndTime Split(TDateTime dt)
{
    const double whole = std::trunc(dt);
    DayAndTime result{static_cast<long long>(whole), std::llround(std::fabs(dt - whole) * MSecsPerDay)};
    if (result.msec >= MSecsPerDayInt) {
        result.msec -= MSecsPerDayInt;
        ++result.day;  // forward in time, also before the epoch
    }
    return result;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

/// The local date and time of `t` plus `msec` milliseconds of the second.
TDateTime FromLocalTime(std::time_t t, int msec)
{
    struct tm local {};
    if (localtime_r(&t, &local) == nullptr) throw EConvertError("Invalid argument to date encode");
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return ComposeDateTime(EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                           EncodeTime(local.tm_hour, local.tm_min, second, msec));
}

/// The offset of local time from UTC at `t`. localtime_r reads the time zone once, where
/// mktime looks at the zone file again on every call.
long LocalOffsetAt(std::time_t t)
{
    struct tm local {};
    localtime_r(&t, &local);
    return local.tm_gmtoff;
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& result)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    result = static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + EpochOffsetDays);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result)) throw EConvertError("Invalid argument to date encode");
    return result;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
        msec > 999)
        return false;
    result = (((hour * 60LL + minute) * 60 + second) * 1000 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime result = 0;
    if (!TryEncodeTime(hour, minute, second, msec, result))
        throw EConvertError("Invalid argument to time encode");
    return result;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time)
{
    const double day = std::trunc(date);
    return day < 0 ? day - std::fabs(time) : day + std::fabs(time);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day)
{
    CivilFromDays(Split(dt).day - EpochOffsetDays, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec)
{
    const long long ms = Split(dt).msec;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

TDateTime DateOf(TDateTime dt)
{
    return static_cast<double>(Split(dt).day);
}

TDateTime TimeOf(TDateTime dt)
{
    return static_cast<double>(Split(dt).msec) / MSecsPerDay;
}

TDateTime Now()
{
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    return DateTimeFromFileTime(ts);
}

TDateTime Today()
{
    return DateOf(Now());
}

TDateTime DateTimeFromTimeT(std::time_t t)
{
    return FromLocalTime(t, 0);
}

std::time_t DateTimeToTimeT(TDateTime dt)
{
    const DayAndTime parts = Split(dt);
    // The local time read as UTC, less the offset in force at the instant it names: the offset
    // near it, and if that one does not hold there, the one that holds there.
    const auto asUtc = static_cast<std::time_t>((parts.day - EpochOffsetDays) * 86400 + parts.msec / 1000);
    const long nearby = LocalOffsetAt(asUtc);
    const long there = LocalOffsetAt(asUtc - nearby);
    if (there == nearby) return asUtc - nearby;
    if (LocalOffsetAt(asUtc - there) == there) return asUtc - there;
    // Neither holds: the time lies in the gap of a change that puts the clocks forward, and
    // is read with the offset before the change, which moves it forward by the gap.
    return asUtc - std::min(nearby, there);
}

TDateTime DateTimeFromFileTime(const struct timespec& ts)
{
    return FromLocalTime(ts.tv_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

struct timespec DateTimeToFileTime(TDateTime dt)
{
    struct timespec ts {};
    ts.tv_sec = DateTimeToTimeT(dt);
    ts.tv_nsec = static_cast<long>(Split(dt).msec % 1000) * 1000000;
    return ts;
}
