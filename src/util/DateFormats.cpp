// Dates as text.
#include "util/Dates.h"
#include "util/IcuCalendar.h"

#include <unicode/datefmt.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <mutex>

namespace vm::dates {

namespace {

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// One of the six fixed formats: created once, UTC, "en_US_POSIX"; formatting is serialised.
class FixedFormat {
public:
    explicit FixedFormat(const char* pattern) {
        UErrorCode status = U_ZERO_ERROR;
        format_ = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(pattern),
                                                          icu::Locale("en_US_POSIX"), status);
        format_->adoptTimeZone(icu::TimeZone::getGMT()->clone());
    }
    std::string operator()(Date d) {
        std::lock_guard lock(mutex_);
        icu::UnicodeString text;
        format_->format(icu_calendar::toUDate(d), text);
        return toUtf8(text);
    }

private:
    std::mutex mutex_;
    std::unique_ptr<icu::SimpleDateFormat> format_;
};

icu::DateFormat::EStyle icuStyle(DateStyle style) {
    switch (style) {
        case DateStyle::Short: return icu::DateFormat::kShort;
        case DateStyle::Medium: return icu::DateFormat::kMedium;
        case DateStyle::Long: return icu::DateFormat::kLong;
        case DateStyle::None: break;
    }
    return icu::DateFormat::kNone;
}

std::string formatInHostZone(icu::DateFormat* format, Date d) {
    if (!format) {
        return {};
    }
    std::unique_ptr<icu::DateFormat> owned(format);
    owned->adoptTimeZone(icu_calendar::hostTimeZone().release());
    icu::UnicodeString text;
    owned->format(icu_calendar::toUDate(d), text);
    return toUtf8(text);
}

}  // namespace

std::string adifDate(Date d) {
    static FixedFormat format("yyyyMMdd");
    return format(d);
}

std::string adifDateNoSeconds(Date d) {
    static FixedFormat format("yyyy-MM-dd HH:mm");
    return format(d);
}

std::string adifDateSeconds(Date d) {
    static FixedFormat format("yyyy-MM-dd HH:mm:ss");
    return format(d);
}

std::string adifDateHourMinute(Date d) {
    static FixedFormat format("HH:mm");
    return format(d);
}

std::string clusterTime(Date d) {
    static FixedFormat format("HHmm");
    return format(d);
}

std::string adifDateHourMinuteSeconds(Date d) {
    static FixedFormat format("HH:mm:ss");
    return format(d);
}

std::string stringWithFormat(Date d, const std::string& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    auto* format = new icu::SimpleDateFormat(icu::UnicodeString::fromUTF8(pattern),
                                             icu::Locale::getDefault(), status);
    if (U_FAILURE(status)) {
        delete format;
        return {};
    }
    return formatInHostZone(format, d);
}

std::string stringWithDateStyle(Date d, DateStyle dateStyle, DateStyle timeStyle) {
    if (dateStyle == DateStyle::None && timeStyle == DateStyle::None) {
        return {};
    }
    return formatInHostZone(
        icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle), icuStyle(timeStyle),
                                                icu::Locale::getDefault()),
        d);
}

std::string shortString(Date d) {
    return stringWithDateStyle(d, DateStyle::Short, DateStyle::Short);
}
std::string shortTimeString(Date d) {
    return stringWithDateStyle(d, DateStyle::None, DateStyle::Short);
}
std::string shortDateString(Date d) {
    return stringWithDateStyle(d, DateStyle::Short, DateStyle::None);
}
std::string mediumString(Date d) {
    return stringWithDateStyle(d, DateStyle::Medium, DateStyle::Medium);
}
std::string mediumTimeString(Date d) {
    return stringWithDateStyle(d, DateStyle::None, DateStyle::Medium);
}
std::string mediumDateString(Date d) {
    return stringWithDateStyle(d, DateStyle::Medium, DateStyle::None);
}
std::string longString(Date d) { return stringWithDateStyle(d, DateStyle::Long, DateStyle::Long); }
std::string longTimeString(Date d) {
    return stringWithDateStyle(d, DateStyle::None, DateStyle::Long);
}
std::string longDateString(Date d) {
    return stringWithDateStyle(d, DateStyle::Long, DateStyle::None);
}

double fractionalJulianDate(Date d) { return d.unixTime() / 86400.0 + 2440587.5; }

}  // namespace vm::dates
