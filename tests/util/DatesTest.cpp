#include "util/Dates.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace vm {
namespace {

using namespace dates;

// Every test runs in New York (UTC-5, daylight saving from 2024-03-10 02:00) and in US English.
class DatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        savedTz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
        useZone("America/New_York");
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale("en_US"), status);
    }
    void TearDown() override {
        savedTz_ ? ::setenv("TZ", savedTz_->c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }
    static void useZone(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    std::optional<std::string> savedTz_;
};

const Date kSaturdayEvening = Date::fromUnixTime(1710041400);  // Sat 2024-03-09 22:30 EST
const Date kJan31Noon2024 = Date::fromUnixTime(1706720400);    // Wed 2024-01-31 12:00 EST

TEST_F(DatesTest, FixedFormatsAreUtc) {
    // Late on Saturday evening in New York it is already Sunday in UTC.
    EXPECT_EQ(adifDate(kSaturdayEvening), "20240310");
    EXPECT_EQ(adifDateNoSeconds(kSaturdayEvening), "2024-03-10 03:30");
    EXPECT_EQ(adifDateSeconds(kSaturdayEvening + 7.9), "2024-03-10 03:30:07");
    EXPECT_EQ(adifDateHourMinute(kSaturdayEvening), "03:30");
    EXPECT_EQ(clusterTime(kSaturdayEvening), "0330");
    EXPECT_EQ(adifDateHourMinuteSeconds(kSaturdayEvening), "03:30:00");
}

TEST_F(DatesTest, LocalTextFollowsLocaleAndZone) {
    EXPECT_EQ(stringWithFormat(kSaturdayEvening, "yyyy/MM/dd HH:mm"), "2024/03/09 22:30");
    EXPECT_EQ(shortDateString(kSaturdayEvening), "3/9/24");
    EXPECT_EQ(mediumDateString(kSaturdayEvening), "Mar 9, 2024");
    EXPECT_EQ(longDateString(kSaturdayEvening), "March 9, 2024");
    EXPECT_NE(shortTimeString(kSaturdayEvening).find("10:30"), std::string::npos);
    EXPECT_NE(mediumString(kSaturdayEvening).find("Mar 9, 2024"), std::string::npos);
    EXPECT_EQ(stringWithDateStyle(kSaturdayEvening, DateStyle::None, DateStyle::None), "");
    useZone("Asia/Tokyo");  // a changed zone takes effect at once
    EXPECT_EQ(stringWithFormat(kSaturdayEvening, "yyyy/MM/dd HH:mm"), "2024/03/10 12:30");
}

TEST_F(DatesTest, Components) {
    EXPECT_EQ(year(kSaturdayEvening), 2024);
    EXPECT_EQ(month(kSaturdayEvening), 3);
    EXPECT_EQ(day(kSaturdayEvening), 9);
    EXPECT_EQ(hour(kSaturdayEvening), 22);
    EXPECT_EQ(minute(kSaturdayEvening), 30);
    EXPECT_EQ(seconds(kSaturdayEvening + 42), 42);
    EXPECT_EQ(weekday(kSaturdayEvening), 7);
    EXPECT_EQ(nthWeekday(kSaturdayEvening), 2);  // the second Saturday of March
    EXPECT_EQ(week(kSaturdayEvening), 10);
    EXPECT_TRUE(isTypicallyWeekend(kSaturdayEvening));
    EXPECT_TRUE(isTypicallyWorkday(kJan31Noon2024));
    EXPECT_DOUBLE_EQ(fractionalJulianDate(Date::fromUnixTime(0)), 2440587.5);
    EXPECT_DOUBLE_EQ(fractionalJulianDate(Date::fromUnixTime(946728000)), 2451545.0);  // J2000

    const auto offset =
        componentsWithOffsetFromDate(Date::fromUnixTime(1709314215),   // 2024-03-01 12:30:15
                                     Date::fromUnixTime(1706713200));  // 2024-01-31 10:00
    EXPECT_EQ(offset, (DateComponents{0, 1, 1, 2, 30, 15}));
    useZone("Asia/Tokyo");
    EXPECT_EQ(hour(kSaturdayEvening), 12);
}

TEST_F(DatesTest, CalendarArithmeticClampsAndFollowsWallClock) {
    const Date feb29 = dateByAddingMonths(kJan31Noon2024, 1);
    EXPECT_EQ(stringWithFormat(feb29, "yyyy-MM-dd HH:mm"), "2024-02-29 12:00");
    EXPECT_EQ(stringWithFormat(dateByAddingMonths(Date::fromUnixTime(1675184400), 1), "yyyy-MM-dd"),
              "2023-02-28");
    EXPECT_EQ(
        stringWithFormat(dateBySubtractingMonths(Date::fromUnixTime(1710090000), 1), "yyyy-MM-dd"),
        "2024-02-10");
    EXPECT_EQ(stringWithFormat(dateByAddingYears(feb29, 1), "yyyy-MM-dd"), "2025-02-28");
    EXPECT_EQ(stringWithFormat(dateBySubtractingYears(kJan31Noon2024, 2), "yyyy-MM-dd"),
              "2022-01-31");

    // Across the change to daylight saving: a calendar day keeps the wall clock, 24 hours do not.
    EXPECT_EQ(stringWithFormat(dateByAddingDays(kSaturdayEvening, 1), "MM-dd HH:mm"),
              "03-10 22:30");
    EXPECT_EQ(stringWithFormat(dateByAddingHours(kSaturdayEvening, 24), "MM-dd HH:mm"),
              "03-10 23:30");
    EXPECT_EQ(stringWithFormat(dateBySubtractingDays(dateByAddingDays(kSaturdayEvening, 1), 1),
                               "MM-dd HH:mm"),
              "03-09 22:30");
    EXPECT_EQ(dateBySubtractingHours(kSaturdayEvening, 2), kSaturdayEvening + -7200.0);
    EXPECT_EQ(dateByAddingMinutes(kSaturdayEvening, 5), kSaturdayEvening + 300.0);
    EXPECT_EQ(dateBySubtractingMinutes(kSaturdayEvening, 5), kSaturdayEvening + -300.0);

    EXPECT_EQ(dateByRoundingSeconds(Date{89.5}), Date{60});
    EXPECT_EQ(dateByRoundingSeconds(Date{90}), Date{120});
    EXPECT_EQ(dateByRoundingSeconds(Date{-90}), Date{-120});
}

TEST_F(DatesTest, DayBoundaries) {
    const auto text = [](Date d) { return stringWithFormat(d, "yyyy-MM-dd HH:mm:ss"); };
    EXPECT_EQ(text(dateAtStartOfDay(kSaturdayEvening)), "2024-03-09 00:00:00");
    EXPECT_EQ(text(dateAtEndOfDay(kSaturdayEvening)), "2024-03-09 23:59:59");
    EXPECT_EQ(text(dateAtBreakfast(kSaturdayEvening)), "2024-03-09 08:59:59");
    EXPECT_EQ(text(nextMidnight(kSaturdayEvening)), "2024-03-10 00:00:00");
    // The UTC day of the same instant is already Sunday.
    EXPECT_EQ(adifDateSeconds(dateAtStartOfDayUTC(kSaturdayEvening)), "2024-03-10 00:00:00");
    EXPECT_EQ(adifDateSeconds(dateAtEndOfDayUTC(kSaturdayEvening)), "2024-03-10 23:59:59");
}

TEST_F(DatesTest, ComparisonsAreStrict) {
    const Date d = kSaturdayEvening;
    EXPECT_FALSE(isEarlierThanDate(d, d));
    EXPECT_FALSE(isLaterThanDate(d, d));
    EXPECT_TRUE(isEarlierThanDate(d, d + 0.001));
    EXPECT_TRUE(isLaterThanDate(d + 0.001, d));
    EXPECT_TRUE(isBetweenDate(d, d + -1, d + 1));
    EXPECT_FALSE(isBetweenDate(d, d, d + 1));
    EXPECT_FALSE(isBetweenDate(d, d + -1, d));
    EXPECT_FALSE(isBetweenDate(d, d + 1, d + -1));  // a reversed pair

    EXPECT_TRUE(isEqualToDateIgnoringTime(d, dateAtStartOfDay(d)));
    EXPECT_FALSE(isEqualToDateIgnoringTime(d, nextMidnight(d)));
    EXPECT_TRUE(isSameMonthAsDate(d, Date::fromUnixTime(1710522000)));
    EXPECT_FALSE(isSameMonthAsDate(d, dateByAddingYears(d, 1)));
    EXPECT_TRUE(isSameYearAsDate(d, kJan31Noon2024));
}

TEST_F(DatesTest, SameWeek) {
    const Date sunday = Date::fromUnixTime(1710090000);        // Sun 2024-03-10
    const Date friday = Date::fromUnixTime(1710522000);        // Fri 2024-03-15
    const Date nextSaturday = Date::fromUnixTime(1710608400);  // Sat 2024-03-16
    EXPECT_TRUE(isSameWeekAsDate(sunday, nextSaturday));
    EXPECT_FALSE(isSameWeekAsDate(kSaturdayEvening, friday));  // 6 days apart, across the boundary
    // Week 1 of two years: the same number, but far apart.
    const Date week1of2023 = Date::fromUnixTime(1672851600);
    const Date week1of2024 = Date::fromUnixTime(1704301200);
    ASSERT_EQ(week(week1of2023), week(week1of2024));
    EXPECT_FALSE(isSameWeekAsDate(week1of2023, week1of2024));
}

TEST_F(DatesTest, Differences) {
    const Date d = kSaturdayEvening;
    EXPECT_EQ(hoursAfterDate(d, d + -5400), 1);
    EXPECT_EQ(hoursAfterDate(d, d + 5400), -1);
    EXPECT_EQ(hoursBeforeDate(d, d + 5400), 1);
    EXPECT_EQ(minutesAfterDate(d, d + -119), 1);
    EXPECT_EQ(minutesBeforeDate(d, d + -119), -1);
    EXPECT_EQ(daysAfterDate(d, d + -86399), 0);
    EXPECT_EQ(daysBeforeDate(d, d + 2 * 86400), 2);
    const Date mondayMorning = Date::fromUnixTime(1710165600);  // Mon 2024-03-11 10:00 EDT
    EXPECT_EQ(distanceInDaysToDate(d, mondayMorning), 1);
    EXPECT_EQ(distanceInDaysToDate(mondayMorning, d), -1);
}

TEST_F(DatesTest, RelativeToNow) {
    const Date now = Date::now();
    EXPECT_TRUE(isToday(now));
    EXPECT_TRUE(isTomorrow(dateTomorrow()));
    EXPECT_TRUE(isYesterday(dateYesterday()));
    EXPECT_FALSE(isToday(dateWithDaysFromNow(2)));
    EXPECT_TRUE(isThisWeek(now));
    EXPECT_TRUE(isNextWeek(now + 604800));
    EXPECT_TRUE(isLastWeek(now + -604800));
    EXPECT_TRUE(isThisMonth(now));
    EXPECT_TRUE(isNextMonth(dateByAddingMonths(now, 1)));
    EXPECT_TRUE(isLastMonth(dateBySubtractingMonths(now, 1)));
    EXPECT_TRUE(isThisYear(now));
    EXPECT_TRUE(isNextYear(dateByAddingYears(now, 1)));
    EXPECT_TRUE(isLastYear(dateBySubtractingYears(now, 1)));
    EXPECT_TRUE(isInFuture(dateWithMinutesFromNow(1)));
    EXPECT_TRUE(isInPast(dateWithMinutesBeforeNow(1)));
    EXPECT_TRUE(isInFuture(dateWithHoursFromNow(1)));
    EXPECT_TRUE(isInPast(dateWithHoursBeforeNow(1)));
    EXPECT_TRUE(isInPast(dateWithDaysBeforeNow(1)));
    EXPECT_TRUE(lessThanHours(now + -1800, 1));
    EXPECT_FALSE(lessThanHours(now + -7200, 1));
    EXPECT_TRUE(lessThanHours(now + 7200, 1));  // the future is always within
    const Date before = Date::now();
    const Date next = dateNextSecond();
    const Date after = Date::now();
    EXPECT_EQ(next.secondsSinceReferenceDate, std::floor(next.secondsSinceReferenceDate));
    EXPECT_GT(next, before);
    EXPECT_LE(next.secondsSinceReferenceDate, after.secondsSinceReferenceDate + 1);
    const long nearest = nearestHour();
    EXPECT_TRUE(nearest == hour(now + 1800) || nearest == hour(Date::now() + 1800));
}

}  // namespace
}  // namespace vm
