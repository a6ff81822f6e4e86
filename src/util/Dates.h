#pragma once
// Dates: an instant as seconds since the reference date 2001-01-01 00:00:00 UTC, with calendar
// questions, calendar arithmetic and the fixed text formats of amateur-radio logging (ADIF and
// cluster spots). Calendar questions use the user's current calendar and time zone (they follow
// TZ and the locale); the fixed formats are always UTC in the "en_US_POSIX" locale.
#include <compare>
#include <string>

namespace vm {

struct Date {
    static constexpr double kUnixTimeAtReferenceDate = 978307200.0;

    double secondsSinceReferenceDate = 0;

    static Date now();
    static Date fromUnixTime(double seconds) { return Date{seconds - kUnixTimeAtReferenceDate}; }
    double unixTime() const { return secondsSinceReferenceDate + kUnixTimeAtReferenceDate; }
    Date operator+(double seconds) const { return Date{secondsSinceReferenceDate + seconds}; }
    auto operator<=>(const Date&) const = default;
};

enum class DateStyle { None = 0, Short = 1, Medium = 2, Long = 3 };

// A difference between two dates in calendar units.
struct DateComponents {
    long year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    long weekday = 0, weekdayOrdinal = 0, weekOfMonth = 0;
    bool operator==(const DateComponents&) const = default;
};

namespace dates {

// --- fixed formats (UTC, "en_US_POSIX")
std::string adifDate(Date d);                   // yyyyMMdd
std::string adifDateNoSeconds(Date d);          // yyyy-MM-dd HH:mm
std::string adifDateSeconds(Date d);            // yyyy-MM-dd HH:mm:ss
std::string adifDateHourMinute(Date d);         // HH:mm
std::string clusterTime(Date d);                // HHmm
std::string adifDateHourMinuteSeconds(Date d);  // HH:mm:ss

// --- other text (the user's locale and time zone)
std::string stringWithFormat(Date d, const std::string& pattern);
std::string stringWithDateStyle(Date d, DateStyle dateStyle, DateStyle timeStyle);
std::string shortString(Date d);
std::string shortTimeString(Date d);
std::string shortDateString(Date d);
std::string mediumString(Date d);
std::string mediumTimeString(Date d);
std::string mediumDateString(Date d);
std::string longString(Date d);
std::string longTimeString(Date d);
std::string longDateString(Date d);
double fractionalJulianDate(Date d);

// --- comparisons (strict: equal instants are neither earlier nor later)
bool isEqualToDateIgnoringTime(Date d, Date other);
bool isToday(Date d);
bool isTomorrow(Date d);
bool isYesterday(Date d);
bool isSameWeekAsDate(Date d, Date other);
bool isThisWeek(Date d);
bool isNextWeek(Date d);
bool isLastWeek(Date d);
bool isSameMonthAsDate(Date d, Date other);
bool isThisMonth(Date d);
bool isNextMonth(Date d);
bool isLastMonth(Date d);
bool isSameYearAsDate(Date d, Date other);
bool isThisYear(Date d);
bool isNextYear(Date d);
bool isLastYear(Date d);
bool isEarlierThanDate(Date d, Date other);
bool isLaterThanDate(Date d, Date other);
bool isInFuture(Date d);
bool isInPast(Date d);
bool isBetweenDate(Date d, Date after, Date before);
bool isTypicallyWeekend(Date d);
bool isTypicallyWorkday(Date d);
bool lessThanHours(Date d, double hours);

// --- components
long hour(Date d);
long minute(Date d);
long seconds(Date d);
long day(Date d);
long month(Date d);
long week(Date d);        // week of year
long weekday(Date d);     // 1 = Sunday ... 7 = Saturday
long nthWeekday(Date d);  // which occurrence of its weekday within the month
long year(Date d);
// From `other` to `d` in years, months, days, hours, minutes and seconds (the week fields stay 0:
// the days hold them).
DateComponents componentsWithOffsetFromDate(Date d, Date other);
long nearestHour();  // the hour of now + 30 minutes

// --- arithmetic
Date dateByAddingYears(Date d, long years);
Date dateBySubtractingYears(Date d, long years);
Date dateByAddingMonths(Date d, long months);  // the day is clamped to the month's length
Date dateBySubtractingMonths(Date d, long months);
Date dateByAddingDays(Date d, long days);
Date dateBySubtractingDays(Date d, long days);
Date dateByAddingHours(Date d, long hours);  // plain seconds, no calendar
Date dateBySubtractingHours(Date d, long hours);
Date dateByAddingMinutes(Date d, long minutes);
Date dateBySubtractingMinutes(Date d, long minutes);
Date dateByRoundingSeconds(Date d);  // to the nearest whole minute
Date nextMidnight(Date d);
Date dateAtStartOfDay(Date d);  // 00:00:00
Date dateAtEndOfDay(Date d);    // 23:59:59
Date dateAtBreakfast(Date d);   // 08:59:59
Date dateAtStartOfDayUTC(Date d);
Date dateAtEndOfDayUTC(Date d);
long minutesAfterDate(Date d, Date other);
long minutesBeforeDate(Date d, Date other);
long hoursAfterDate(Date d, Date other);
long hoursBeforeDate(Date d, Date other);
long daysAfterDate(Date d, Date other);
long daysBeforeDate(Date d, Date other);
long distanceInDaysToDate(Date d, Date other);

// --- relative to now
Date dateWithDaysFromNow(long days);
Date dateWithDaysBeforeNow(long days);
Date dateTomorrow();
Date dateYesterday();
Date dateWithHoursFromNow(long hours);
Date dateWithHoursBeforeNow(long hours);
Date dateWithMinutesFromNow(long minutes);
Date dateWithMinutesBeforeNow(long minutes);
// The start of the next whole second of the clock (whole seconds since the reference date are
// whole seconds of UTC).
Date dateNextSecond();

}  // namespace dates
}  // namespace vm
