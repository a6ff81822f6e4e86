#pragma once
// ICU calendars for the date helpers: the user's calendar in the host's time zone as it is now
// (TZ is read again on every call, so a changed zone takes effect at once), or a Gregorian one
// in UTC. Each call gives a calendar of its own, set to the instant, so no two threads share one.
#include "util/Dates.h"

#include <unicode/calendar.h>

#include <memory>

namespace vm::icu_calendar {

inline UDate toUDate(Date d) { return d.unixTime() * 1000.0; }
inline Date fromUDate(UDate u) { return Date::fromUnixTime(u / 1000.0); }

std::unique_ptr<icu::TimeZone> hostTimeZone();
std::unique_ptr<icu::Calendar> host(Date at);
std::unique_ptr<icu::Calendar> hostGregorian(Date at);
std::unique_ptr<icu::Calendar> utc(Date at);

}  // namespace vm::icu_calendar
