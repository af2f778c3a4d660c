#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

/// Runs a test in the given time zone and restores the old one afterwards.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) old_ = old, hadOld_ = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone()
    {
        if (hadOld_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string old_;
    bool hadOld_ = false;
};

struct Parts {
    int year, month, day, hour, minute, second, msec;
    bool operator==(const Parts&) const = default;
};

Parts Decode(TDateTime dt)
{
    Parts p{};
    DecodeDate(dt, p.year, p.month, p.day);
    DecodeTime(dt, p.hour, p.minute, p.second, p.msec);
    return p;
}

TEST(DateTime, EpochAndKnownDays)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_EQ(Decode(0.0), (Parts{1899, 12, 30, 0, 0, 0, 0}));
    EXPECT_EQ(Decode(36526.5), (Parts{2000, 1, 1, 12, 0, 0, 0}));
    EXPECT_EQ(Decode(EncodeDate(2024, 2, 29)), (Parts{2024, 2, 29, 0, 0, 0, 0}));
}

TEST(DateTime, BeforeTheEpochTheFractionCountsFromTheDay)
{
    EXPECT_EQ(Decode(-1.25), (Parts{1899, 12, 29, 6, 0, 0, 0}));
    EXPECT_EQ(Decode(-0.5), (Parts{1899, 12, 30, 12, 0, 0, 0}));
    EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)), -1.25);
    EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 31), EncodeTime(6, 0, 0, 0)), 1.25);
    EXPECT_EQ(DateOf(-1.25), -1.0);
    EXPECT_EQ(TimeOf(-1.25), 0.25);
}

TEST(DateTime, RoundsToTheMillisecondAcrossMidnight)
{
    // Just short of midnight rounds into the next day, before and after the epoch.
    EXPECT_EQ(Decode(1.0 - 1e-10), (Parts{1899, 12, 31, 0, 0, 0, 0}));
    EXPECT_EQ(Decode(-1.0 - (1.0 - 1e-10)), (Parts{1899, 12, 30, 0, 0, 0, 0}));
    EXPECT_EQ(Decode(EncodeDate(2024, 5, 1) + EncodeTime(23, 59, 59, 999)),
              (Parts{2024, 5, 1, 23, 59, 59, 999}));
}

TEST(DateTime, RejectsInvalidFields)
{
    TDateTime dt = 0;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, dt));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, dt));
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, dt));
    EXPECT_FALSE(TryEncodeDate(2024, 13, 1, dt));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, dt));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, dt));
    EXPECT_THROW(EncodeDate(2024, 4, 31), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
}

TEST(DateTime, FormatsWithTokens)
{
    const TDateTime dt = EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 45);
    EXPECT_EQ(FormatDateTime("yyyymmdd", dt), "20240305");
    EXPECT_EQ(FormatDateTime("hhnnss", dt), "070809");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", dt), "2024-03-05 07:08:09.045");
    EXPECT_EQ(FormatDateTime("d.m.yy h:n:s", dt), "5.3.24 7:8:9");
    EXPECT_EQ(FormatDateTime("'yyyy='yyyy \"mm\"", dt), "yyyy=2024 mm");
    EXPECT_EQ(FormatDateTime("YYYYMMDD", dt), "20240305");
    EXPECT_EQ(FormatDateTime("yyyymmdd", 0.0), "18991230");
}

TEST(DateTime, LocaleStringsUnderTheCLocale)
{
    std::setlocale(LC_TIME, "C");
    const TDateTime dt = EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 58, 0);
    EXPECT_EQ(ShortDateLongTimeString(dt), "12/31/24 23:59:58");
    EXPECT_EQ(DateTimeToStr(dt), "12/31/24 23:59:58");
    // The time is left out only at exactly midnight; one millisecond past it is shown.
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 12, 31)), "12/31/24");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 12, 31) + EncodeTime(0, 0, 0, 1)), "12/31/24 00:00:00");
    EXPECT_EQ(LongDateLongTimeString(dt), "Tuesday, December 31, 2024 23:59:58");
    EXPECT_EQ(LongDateLongTimeString(EncodeDate(1899, 12, 30)), "Saturday, December 30, 1899 00:00:00");
    EXPECT_EQ(LongDateLongTimeString(EncodeDate(1899, 12, 29)), "Friday, December 29, 1899 00:00:00");
}

TEST(DateTime, TimeTRoundTripsInUtc)
{
    const TimeZone zone("UTC");
    EXPECT_EQ(DateTimeFromTimeT(0), EncodeDate(1970, 1, 1));
    EXPECT_EQ(DateTimeToTimeT(EncodeDate(1970, 1, 1)), 0);
    EXPECT_EQ(Decode(DateTimeFromTimeT(1700000000)), (Parts{2023, 11, 14, 22, 13, 20, 0}));
    const struct timespec ts {
        1700000000, 123456789
    };
    EXPECT_EQ(Decode(DateTimeFromFileTime(ts)), (Parts{2023, 11, 14, 22, 13, 20, 123}));
    const struct timespec back = DateTimeToFileTime(DateTimeFromFileTime(ts));
    EXPECT_EQ(back.tv_sec, ts.tv_sec);
    EXPECT_EQ(back.tv_nsec, 123000000);
}

TEST(DateTime, SpringForwardInBerlin)
{
    const TimeZone zone("Europe/Berlin");
    // 2024-03-31 01:00 UTC: clocks jump from 02:00 CET to 03:00 CEST.
    const std::time_t change = 1711846800;
    EXPECT_EQ(Decode(DateTimeFromTimeT(change - 1)), (Parts{2024, 3, 31, 1, 59, 59, 0}));
    EXPECT_EQ(Decode(DateTimeFromTimeT(change)), (Parts{2024, 3, 31, 3, 0, 0, 0}));
    EXPECT_EQ(DateTimeToTimeT(EncodeDate(2024, 3, 31) + EncodeTime(3, 0, 0, 0)), change);
    EXPECT_EQ(DateTimeToTimeT(EncodeDate(2024, 3, 31) + EncodeTime(1, 59, 59, 0)), change - 1);
    // 02:30 does not exist that day; it is read as 03:30, moved forward by the gap.
    EXPECT_EQ(DateTimeToTimeT(EncodeDate(2024, 3, 31) + EncodeTime(2, 30, 0, 0)), change + 1800);
    // Noon on either side is 23 hours apart, yet the days are one apart.
    EXPECT_EQ(DateTimeToTimeT(EncodeDate(2024, 3, 31) + 0.5) - DateTimeToTimeT(EncodeDate(2024, 3, 30) + 0.5),
              23 * 3600);
    EXPECT_EQ(DateOf(DateTimeFromTimeT(change + 3600)), EncodeDate(2024, 3, 31));
    for (std::time_t t = change - 86400; t < change + 86400; t += 900)
        EXPECT_EQ(DateTimeToTimeT(DateTimeFromTimeT(t)), t) << t;
}

TEST(DateTime, FallBackInBerlin)
{
    const TimeZone zone("Europe/Berlin");
    // 2024-10-27 01:00 UTC: clocks go back from 03:00 CEST to 02:00 CET; 02:xx happens twice.
    const std::time_t change = 1729990800;
    EXPECT_EQ(Decode(DateTimeFromTimeT(change - 1800)), (Parts{2024, 10, 27, 2, 30, 0, 0}));
    EXPECT_EQ(Decode(DateTimeFromTimeT(change + 1800)), (Parts{2024, 10, 27, 2, 30, 0, 0}));
    EXPECT_EQ(Decode(DateTimeFromTimeT(change + 3600)), (Parts{2024, 10, 27, 3, 0, 0, 0}));
    const std::time_t ambiguous = DateTimeToTimeT(EncodeDate(2024, 10, 27) + EncodeTime(2, 30, 0, 0));
    EXPECT_TRUE(ambiguous == change - 1800 || ambiguous == change + 1800);
    EXPECT_EQ(DateTimeToTimeT(EncodeDate(2024, 10, 27) + EncodeTime(4, 0, 0, 0)), change + 2 * 3600);
    for (std::time_t t = change + 3600; t < change + 86400; t += 900)
        EXPECT_EQ(DateTimeToTimeT(DateTimeFromTimeT(t)), t) << t;
}

TEST(DateTime, NowIsLocalTimeToday)
{
    const TimeZone zone("Europe/Berlin");
    const std::time_t before = std::time(nullptr);
    const TDateTime now = Now();
    const std::time_t after = std::time(nullptr);
    EXPECT_GE(DateTimeToTimeT(now), before);
    EXPECT_LE(DateTimeToTimeT(now), after);
    EXPECT_GE(Today(), DateOf(now));  // midnight may pass in between
}

}  // namespace
