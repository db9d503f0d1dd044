#ifndef QUILO_UTIL_TRACE_H
#define QUILO_UTIL_TRACE_H

// The support trace: each start of the launcher gathers one record of a few
// lines and appends it, whole, to a log file in the user's local application
// data folder. Tracing never fails and never delays the launch: whatever
// cannot be written is dropped.

#include <string>

#include <windows.h>

// Adds one line to this start's record. Lines never hold the store password.
void TraceLine(const std::wstring& line);

// "name: value" — one verdict of a check or a step.
void TraceValue(const std::wstring& name, const std::wstring& value);

// "phase <name>: <milliseconds> ms" — the time one phase of start-up took.
// Benchmarks read these lines back.
void TracePhase(const std::wstring& name, double milliseconds);

// Appends the record gathered so far to the log file in one write and starts
// an empty one. Called when the launcher ends, and by the last-resort filter.
void FlushTrace();

// A monotonic stopwatch for the phases.
class TraceStopwatch {
public:
    TraceStopwatch();
    double ElapsedMilliseconds() const;
    void Restart();

private:
    LARGE_INTEGER start_ = {};
};

#endif
