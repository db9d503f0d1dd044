#ifndef QUILO_UTIL_DATETEXT_H
#define QUILO_UTIL_DATETEXT_H

// A date as days since 30 December 1899 at midnight (the whole part is the
// day, the fraction the time of day), with a validity status.

#include <string>

struct DateValue {
    enum class Status { Valid, Invalid, Null };

    double days = 0.0;
    Status status = Status::Valid;
};

constexpr wchar_t kInvalidDateText[] = L"Invalid DateTime";

// Formats the date with a wcsftime pattern: empty for a null date, "Invalid
// DateTime" for an invalid one or one that cannot be split into calendar fields.
std::wstring FormatDate(const DateValue& date, const wchar_t* pattern);

#endif
