#ifndef QUILO_TESTS_UNIT_TESTTIMES_H
#define QUILO_TESTS_UNIT_TESTTIMES_H

// A moment as the system gives it, written out in a test.

#include <windows.h>

inline SYSTEMTIME MakeSystemTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                                 WORD milliseconds) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}

#endif
