#include "util/DateText.h"

#include <cmath>
#include <ctime>
#include <cwchar>

namespace {

// The range a day count can be split over: 1 January 100 to 31 December 9999,
// the span the automation date type has always accepted. Anything beyond (or
// not a number) has no calendar fields.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDayEnd = 2958466.0;

constexpr double kSecondsPerDay = 86400.0;
constexpr double kHalfSecondInDays = 0.5 / kSecondsPerDay;

// Day 0 of the count, 30 December 1899, lies this many days before 1 January 1970.
constexpr long long kDaysFrom1899To1970 = 25569;

constexpr size_t kFormatBufferLength = 256;

struct CivilDate {
    long long year;
    unsigned month;  // 1-12
    unsigned day;    // 1-31
};

// Proleptic Gregorian calendar from a day count relative to 1 January 1970.
CivilDate CivilFromDays(long long days) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    date.month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    date.year = static_cast<long long>(yearOfEra) + era * 400 + (date.month <= 2 ? 1 : 0);
    return date;
}

bool IsLeapYear(long long year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DayOfYear(const CivilDate& date) {
    static const int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int dayOfYear = kDaysBeforeMonth[date.month - 1] + static_cast<int>(date.day) - 1;
    if (date.month > 2 && IsLeapYear(date.year)) {
        ++dayOfYear;
    }
    return dayOfYear;
}

// Splits a day count into calendar fields. The whole part (towards zero) is
// the day and the fraction's magnitude the time of day, so -1.25 is
// 29 December 1899 at 06:00; times are rounded to the nearest second.
bool SplitDays(double value, std::tm& fields) {
    if (!std::isfinite(value) || value < kFirstDay || value >= kLastDayEnd) {
        return false;
    }
    const double rounded = value + (value >= 0.0 ? kHalfSecondInDays : -kHalfSecondInDays);
    const double wholeDays = std::trunc(rounded);
    const double fraction = std::fabs(rounded - wholeDays);
    long long secondsInDay = static_cast<long long>(fraction * kSecondsPerDay);
    if (secondsInDay >= 86400) {
        secondsInDay = 86399;
    }
    const long long daysFrom1970 = static_cast<long long>(wholeDays) - kDaysFrom1899To1970;
    const CivilDate date = CivilFromDays(daysFrom1970);
    if (date.year < 100 || date.year > 9999) {
        return false;
    }
    fields = std::tm();
    fields.tm_year = static_cast<int>(date.year - 1900);
    fields.tm_mon = static_cast<int>(date.month) - 1;
    fields.tm_mday = static_cast<int>(date.day);
    fields.tm_hour = static_cast<int>(secondsInDay / 3600);
    fields.tm_min = static_cast<int>(secondsInDay / 60 % 60);
    fields.tm_sec = static_cast<int>(secondsInDay % 60);
    // 1 January 1970 was a Thursday (4).
    fields.tm_wday = static_cast<int>(((daysFrom1970 % 7) + 7 + 4) % 7);
    fields.tm_yday = DayOfYear(date);
    fields.tm_isdst = 0;
    return true;
}

}  // namespace

std::wstring FormatDate(const DateValue& date, const wchar_t* pattern) {
    if (date.status == DateValue::Status::Null) {
        return std::wstring();
    }
    std::tm fields;
    if (date.status == DateValue::Status::Invalid || !SplitDays(date.days, fields)) {
        return kInvalidDateText;
    }
    wchar_t buffer[kFormatBufferLength] = {};
    const size_t length = std::wcsftime(buffer, kFormatBufferLength, pattern, &fields);
    // Text that does not fit is reported as 0 by some C libraries and as the
    // full buffer, unterminated, by others: either way there is no text.
    if (length == 0 || length >= kFormatBufferLength) {
        return std::wstring();
    }
    return std::wstring(buffer, length);
}
