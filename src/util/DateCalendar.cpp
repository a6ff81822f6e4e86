// Calendar questions and arithmetic on dates.
#include "util/Dates.h"
#include "util/IcuCalendar.h"

#include <chrono>
#include <cmath>

namespace vm {

Date Date::now() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return fromUnixTime(std::chrono::duration<double>(since).count());
}

namespace dates {

namespace {

constexpr double kWeek = 604800.0;

long field(Date d, UCalendarDateFields f) {
    UErrorCode status = U_ZERO_ERROR;
    return icu_calendar::host(d)->get(f, status);
}

Date add(Date d, UCalendarDateFields f, long amount) {
    auto calendar = icu_calendar::host(d);
    UErrorCode status = U_ZERO_ERROR;
    calendar->add(f, static_cast<int32_t>(amount), status);
    return icu_calendar::fromUDate(calendar->getTime(status));
}

// The instant's calendar day at the given time of day.
Date atTime(std::unique_ptr<icu::Calendar> calendar, int hour, int minute, int second) {
    calendar->set(UCAL_HOUR_OF_DAY, hour);
    calendar->set(UCAL_MINUTE, minute);
    calendar->set(UCAL_SECOND, second);
    calendar->set(UCAL_MILLISECOND, 0);
    UErrorCode status = U_ZERO_ERROR;
    return icu_calendar::fromUDate(calendar->getTime(status));
}

long truncated(double seconds, double unit) {
    return static_cast<long>(std::trunc(seconds / unit));
}

}  // namespace

bool isEqualToDateIgnoringTime(Date d, Date other) {
    return year(d) == year(other) && month(d) == month(other) && day(d) == day(other);
}

bool isToday(Date d) { return isEqualToDateIgnoringTime(d, Date::now()); }
bool isTomorrow(Date d) { return isEqualToDateIgnoringTime(d, dateTomorrow()); }
bool isYesterday(Date d) { return isEqualToDateIgnoringTime(d, dateYesterday()); }

bool isSameWeekAsDate(Date d, Date other) {
    return week(d) == week(other) &&
           std::fabs(d.secondsSinceReferenceDate - other.secondsSinceReferenceDate) < kWeek;
}

bool isThisWeek(Date d) { return isSameWeekAsDate(d, Date::now()); }
bool isNextWeek(Date d) { return isSameWeekAsDate(d, Date::now() + kWeek); }
bool isLastWeek(Date d) { return isSameWeekAsDate(d, Date::now() + -kWeek); }

bool isSameMonthAsDate(Date d, Date other) {
    return month(d) == month(other) && year(d) == year(other);
}
bool isThisMonth(Date d) { return isSameMonthAsDate(d, Date::now()); }
bool isNextMonth(Date d) { return isSameMonthAsDate(d, dateByAddingMonths(Date::now(), 1)); }
bool isLastMonth(Date d) { return isSameMonthAsDate(d, dateBySubtractingMonths(Date::now(), 1)); }

bool isSameYearAsDate(Date d, Date other) { return year(d) == year(other); }
bool isThisYear(Date d) { return isSameYearAsDate(d, Date::now()); }
bool isNextYear(Date d) { return year(d) == year(Date::now()) + 1; }
bool isLastYear(Date d) { return year(d) == year(Date::now()) - 1; }

bool isEarlierThanDate(Date d, Date other) { return d < other; }
bool isLaterThanDate(Date d, Date other) { return d > other; }
bool isInFuture(Date d) { return d > Date::now(); }
bool isInPast(Date d) { return d < Date::now(); }
bool isBetweenDate(Date d, Date after, Date before) { return d > after && d < before; }

bool isTypicallyWeekend(Date d) {
    const long w = weekday(d);
    return w == 1 || w == 7;
}

bool isTypicallyWorkday(Date d) { return !isTypicallyWeekend(d); }

bool lessThanHours(Date d, double hours) {
    return Date::now().secondsSinceReferenceDate - d.secondsSinceReferenceDate < hours * 3600.0;
}

long hour(Date d) { return field(d, UCAL_HOUR_OF_DAY); }
long minute(Date d) { return field(d, UCAL_MINUTE); }
long seconds(Date d) { return field(d, UCAL_SECOND); }
long day(Date d) { return field(d, UCAL_DATE); }
long month(Date d) { return field(d, UCAL_MONTH) + 1; }
long week(Date d) { return field(d, UCAL_WEEK_OF_YEAR); }
long weekday(Date d) { return field(d, UCAL_DAY_OF_WEEK); }
long nthWeekday(Date d) { return field(d, UCAL_DAY_OF_WEEK_IN_MONTH); }
long year(Date d) { return field(d, UCAL_YEAR); }

DateComponents componentsWithOffsetFromDate(Date d, Date other) {
    auto calendar = icu_calendar::host(other);
    const UDate target = icu_calendar::toUDate(d);
    UErrorCode status = U_ZERO_ERROR;
    DateComponents c;
    c.year = calendar->fieldDifference(target, UCAL_YEAR, status);
    c.month = calendar->fieldDifference(target, UCAL_MONTH, status);
    c.day = calendar->fieldDifference(target, UCAL_DATE, status);
    c.hour = calendar->fieldDifference(target, UCAL_HOUR_OF_DAY, status);
    c.minute = calendar->fieldDifference(target, UCAL_MINUTE, status);
    c.second = calendar->fieldDifference(target, UCAL_SECOND, status);
    return c;
}

long nearestHour() { return hour(Date::now() + 1800.0); }

Date dateByAddingYears(Date d, long years) { return add(d, UCAL_YEAR, years); }
Date dateBySubtractingYears(Date d, long years) { return add(d, UCAL_YEAR, -years); }
Date dateByAddingMonths(Date d, long months) { return add(d, UCAL_MONTH, months); }
Date dateBySubtractingMonths(Date d, long months) { return add(d, UCAL_MONTH, -months); }
Date dateByAddingDays(Date d, long days) { return add(d, UCAL_DATE, days); }
Date dateBySubtractingDays(Date d, long days) { return add(d, UCAL_DATE, -days); }
Date dateByAddingHours(Date d, long hours) { return d + static_cast<double>(hours) * 3600.0; }
Date dateBySubtractingHours(Date d, long hours) { return dateByAddingHours(d, -hours); }
Date dateByAddingMinutes(Date d, long minutes) { return d + static_cast<double>(minutes) * 60.0; }
Date dateBySubtractingMinutes(Date d, long minutes) { return dateByAddingMinutes(d, -minutes); }

Date dateByRoundingSeconds(Date d) {
    return Date{std::round(d.secondsSinceReferenceDate / 60.0) * 60.0};
}

Date nextMidnight(Date d) { return dateByAddingDays(dateAtStartOfDay(d), 1); }
Date dateAtStartOfDay(Date d) { return atTime(icu_calendar::host(d), 0, 0, 0); }
Date dateAtEndOfDay(Date d) { return atTime(icu_calendar::host(d), 23, 59, 59); }
Date dateAtBreakfast(Date d) { return atTime(icu_calendar::host(d), 8, 59, 59); }
Date dateAtStartOfDayUTC(Date d) { return atTime(icu_calendar::utc(d), 0, 0, 0); }
Date dateAtEndOfDayUTC(Date d) { return atTime(icu_calendar::utc(d), 23, 59, 59); }

long minutesAfterDate(Date d, Date other) {
    return truncated(d.secondsSinceReferenceDate - other.secondsSinceReferenceDate, 60.0);
}
long minutesBeforeDate(Date d, Date other) { return minutesAfterDate(other, d); }
long hoursAfterDate(Date d, Date other) {
    return truncated(d.secondsSinceReferenceDate - other.secondsSinceReferenceDate, 3600.0);
}
long hoursBeforeDate(Date d, Date other) { return hoursAfterDate(other, d); }
long daysAfterDate(Date d, Date other) {
    return truncated(d.secondsSinceReferenceDate - other.secondsSinceReferenceDate, 86400.0);
}
long daysBeforeDate(Date d, Date other) { return daysAfterDate(other, d); }

long distanceInDaysToDate(Date d, Date other) {
    auto calendar = icu_calendar::hostGregorian(d);
    UErrorCode status = U_ZERO_ERROR;
    return calendar->fieldDifference(icu_calendar::toUDate(other), UCAL_DATE, status);
}

Date dateWithDaysFromNow(long days) { return dateByAddingDays(Date::now(), days); }
Date dateWithDaysBeforeNow(long days) { return dateBySubtractingDays(Date::now(), days); }
Date dateTomorrow() { return dateWithDaysFromNow(1); }
Date dateYesterday() { return dateWithDaysBeforeNow(1); }
Date dateWithHoursFromNow(long hours) { return dateByAddingHours(Date::now(), hours); }
Date dateWithHoursBeforeNow(long hours) { return dateBySubtractingHours(Date::now(), hours); }
Date dateWithMinutesFromNow(long minutes) { return dateByAddingMinutes(Date::now(), minutes); }
Date dateWithMinutesBeforeNow(long minutes) {
    return dateBySubtractingMinutes(Date::now(), minutes);
}
Date dateNextSecond() { return Date{std::floor(Date::now().secondsSinceReferenceDate) + 1}; }

}  // namespace dates
}  // namespace vm
