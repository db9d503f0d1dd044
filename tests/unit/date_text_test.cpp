#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "util/DateText.h"

namespace {

DateValue Valid(double days) {
    return DateValue{days, DateValue::Status::Valid};
}

struct DateCase {
    double days;
    const wchar_t* pattern;
    const wchar_t* expected;
};

const DateCase kDateCases[] = {
    {0.0, L"%Y-%m-%d", L"1899-12-30"},
    {1.0, L"%Y-%m-%d", L"1899-12-31"},
    {2.0, L"%Y-%m-%d", L"1900-01-01"},
    {-1.0, L"%Y-%m-%d", L"1899-12-29"},
    {-365.0, L"%Y-%m-%d", L"1898-12-30"},
    {25569.0, L"%Y-%m-%d", L"1970-01-01"},
    {36526.0, L"%Y-%m-%d", L"2000-01-01"},
    {36585.0, L"%Y-%m-%d", L"2000-02-29"},
    {2958465.0, L"%Y-%m-%d", L"9999-12-31"},
    {-657434.0, L"%Y-%m-%d", L"0100-01-01"},
    // The fraction is the time of day; for days before the epoch its magnitude counts.
    {0.5, L"%Y-%m-%d %H:%M:%S", L"1899-12-30 12:00:00"},
    {2.75, L"%Y-%m-%d %H:%M:%S", L"1900-01-01 18:00:00"},
    {-1.25, L"%Y-%m-%d %H:%M:%S", L"1899-12-29 06:00:00"},
    {-0.5, L"%Y-%m-%d %H:%M:%S", L"1899-12-30 12:00:00"},
    // Rounded to the nearest second.
    {0.99999999, L"%Y-%m-%d %H:%M:%S", L"1899-12-31 00:00:00"},
    {1.0 / 86400.0 * 59.4, L"%H:%M:%S", L"00:00:59"},
    // Day of week and day of year come from the same split: 30 December 1899 was a Saturday.
    {0.0, L"%w %j", L"6 364"},
    {2.0, L"%w %j", L"1 001"},
    {36585.0, L"%w %j", L"2 060"},
    {0.0, L"", L""},
};

}  // namespace

TEST(FormatDate, SplitsTheDayCountFrom30December1899) {
    for (const DateCase& item : kDateCases) {
        EXPECT_EQ(std::wstring(item.expected), FormatDate(Valid(item.days), item.pattern))
            << "days " << item.days << ", pattern " << std::wstring(item.pattern).size() << " characters";
    }
}

TEST(FormatDate, AFreshDateIs30December1899) {
    EXPECT_EQ(L"1899-12-30", FormatDate(DateValue(), L"%Y-%m-%d"));
}

TEST(FormatDate, NullIsEmptyAndInvalidOrUnsplittableIsInvalidDateTime) {
    EXPECT_EQ(L"", FormatDate(DateValue{0.0, DateValue::Status::Null}, L"%Y-%m-%d"));
    EXPECT_EQ(L"", FormatDate(DateValue{1e300, DateValue::Status::Null}, L"%Y-%m-%d"));
    EXPECT_EQ(L"Invalid DateTime", FormatDate(DateValue{0.0, DateValue::Status::Invalid}, L"%Y-%m-%d"));
    for (double days : {2958466.0, -657435.0, 1e18, -1e18, std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity(), std::nan("")}) {
        EXPECT_EQ(L"Invalid DateTime", FormatDate(Valid(days), L"%Y-%m-%d")) << "days " << days;
    }
}

TEST(FormatDate, TextLongerThanTheBufferComesOutEmpty) {
    // wcsftime writes nothing it cannot fit into the 256 characters.
    const std::wstring longPattern(300, L'x');
    EXPECT_EQ(L"", FormatDate(DateValue(), longPattern.c_str()));
}
