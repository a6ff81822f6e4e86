#include "util/IcuCalendar.h"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <ctime>

namespace vm::icu_calendar {

namespace {

std::unique_ptr<icu::Calendar> make(icu::TimeZone* zone, Date at, bool gregorian) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar;
    if (gregorian) {
        calendar =
            std::make_unique<icu::GregorianCalendar>(zone, icu::Locale::getDefault(), status);
    } else {
        calendar.reset(icu::Calendar::createInstance(zone, icu::Locale::getDefault(), status));
    }
    if (U_FAILURE(status) || !calendar) {
        calendar =
            std::make_unique<icu::GregorianCalendar>(icu::TimeZone::getGMT()->clone(), status);
    }
    status = U_ZERO_ERROR;
    calendar->setTime(toUDate(at), status);
    return calendar;
}

}  // namespace

std::unique_ptr<icu::TimeZone> hostTimeZone() {
    ::tzset();
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::detectHostTimeZone());
}

std::unique_ptr<icu::Calendar> host(Date at) { return make(hostTimeZone().release(), at, false); }

std::unique_ptr<icu::Calendar> hostGregorian(Date at) {
    return make(hostTimeZone().release(), at, true);
}

std::unique_ptr<icu::Calendar> utc(Date at) {
    return make(icu::TimeZone::getGMT()->clone(), at, true);
}

}  // namespace vm::icu_calendar
