#pragma once
// Dates and times as the system stores and compares them: the OLE automation date,
// days since 1899-12-30 00:00 as a double, in local time. 0 means "no date".
// This module is the only place that does date arithmetic.
//
// The integer part counts days from the epoch, the fraction is the time of day. Before the
// epoch the fraction still counts forward from the day, as OLE dates do: -1.25 is
// 1899-12-29 06:00 (day -1, a quarter of a day), not 1899-12-28 18:00.
// Conversions to and from time_t use the C library's local time (TZ), field by field, so a day
// with a daylight saving change still runs from 0:00 to 24:00 here.

#include <ctime>
#include <string>
#include <string_view>

using TDateTime = double;

/// Milliseconds in a day.
inline constexpr double MSecsPerDay = 86400000.0;

/// The date (time 0) of a calendar day; false when year (1..9999), month or day is out of range.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
/// TryEncodeDate, or EConvertError "Invalid argument to date encode".
TDateTime EncodeDate(int year, int month, int day);
/// A time of day as a fraction of a day; false when out of range (hour 0..23 etc.).
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
/// TryEncodeTime, or EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(int hour, int minute, int second, int msec);
/// A date and a time of day joined (before the epoch the time is subtracted, see above).
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

/// Calendar day of `dt` (rounded to the millisecond first).
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
/// Time of day of `dt`, rounded to the millisecond.
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec);
/// The day of `dt` at 0:00.
TDateTime DateOf(TDateTime dt);
/// The time of day of `dt` as a fraction in [0, 1).
TDateTime TimeOf(TDateTime dt);

/// The current local date and time, to the millisecond.
TDateTime Now();
/// Today at 0:00.
TDateTime Today();

/// Local date and time of a time_t.
TDateTime DateTimeFromTimeT(std::time_t t);
/// time_t of a local date and time, as mktime gives it: a time in the gap of a spring-forward
/// change moves forward by the gap; one in the repeated hour of a fall-back change is taken
/// once, either way.
std::time_t DateTimeToTimeT(TDateTime dt);
/// Local date and time of a file time (st_mtim etc.), to the millisecond.
TDateTime DateTimeFromFileTime(const struct timespec& ts);
/// File time of a local date and time, to the millisecond.
struct timespec DateTimeToFileTime(TDateTime dt);

/// Formats with the tokens yyyy, yy, mm, m, dd, d, hh, h, nn, n, ss, s, zzz (mm and m are
/// always the month, nn and n the minutes); text in '...' or "..." is copied without quotes;
/// every other character is copied. Example: FormatDateTime("yyyy-mm-dd hh:nn:ss", dt).
std::string FormatDateTime(std::string_view format, TDateTime dt);

/// The locale's short date and long time: strftime with nl_langinfo(D_FMT) and T_FMT joined by a
/// blank. Under LANG=C this prints "12/31/24 23:59:58".
std::string ShortDateLongTimeString(TDateTime dt);
/// The locale's short date, followed by a blank and the long time unless the time of day is
/// exactly midnight (to the millisecond): how a date with an optional time is shown to a user.
/// Under LANG=C: "12/31/24 23:59:58", "12/31/24".
std::string DateTimeToStr(TDateTime dt);
/// The locale's long date and long time. The C library has no long date format, so the long date
/// is the weekday, day, month name and year (strftime %A %B) in the order of the locale's short
/// date: month first "Tuesday, December 31, 2024", day first "Tuesday, 31 December 2024", year
/// first "Tuesday, 2024 December 31". Under LANG=C: "Tuesday, December 31, 2024 23:59:58".
std::string LongDateLongTimeString(TDateTime dt);
