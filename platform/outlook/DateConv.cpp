#include "platform/outlook/DateConv.h"

namespace outlook {

namespace {

/// Days from 1970-01-01 to the civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

constexpr long long kDaysFrom1899To1970 = 25569;

}  // namespace

TDateTime LocalDateTime(std::time_t time)
{
    std::tm local{};
    if (!localtime_r(&time, &local)) return 0;
    const long long days = DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                                         static_cast<unsigned>(local.tm_mday)) + kDaysFrom1899To1970;
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return static_cast<double>(days) + seconds / 86400.0;
}

std::string LongDateText(std::time_t time)
{
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                                          "August", "September", "October", "November", "December"};
    std::tm local{};
    if (!localtime_r(&time, &local)) return {};
    char text[80];
    snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d", kDays[local.tm_wday], local.tm_mday,
             kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min);
    return text;
}

}  // namespace outlook
