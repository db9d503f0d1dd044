#ifndef QUILO_UTIL_TRACE_H
#define QUILO_UTIL_TRACE_H

// The support trace: each start of the launcher gathers one record of a few
// lines and appends it, whole, to a log file in the user's local application
// data folder. Tracing never fails and never delays the launch: whatever
// cannot be written is dropped.

#include <string>
#include <string_view>

#include <windows.h>

// Adds one line to this start's record. Lines never hold the store password.
// Taking views, these calls build nothing before their own guard: whatever
// fails inside (no memory) drops the line and never reaches the caller.
void TraceLine(std::wstring_view line) noexcept;

// "name: value" — one verdict of a check or a step.
void TraceValue(std::wstring_view name, std::wstring_view value) noexcept;

// "phase <name>: <milliseconds> ms" — the time one phase of start-up took.
// Benchmarks read these lines back.
void TracePhase(std::wstring_view name, double milliseconds) noexcept;

// For a line or a value that has to be put together first (joined texts,
// numbers as text): `make` runs inside the trace's guard, so that building it
// cannot change what the caller does next, such as acting on the answer the
// user just gave to a message box.
template <typename MakeLine>
void TraceLineOf(MakeLine&& make) noexcept {
    try {
        TraceLine(make());
    } catch (...) {
    }
}

template <typename MakeValue>
void TraceValueOf(std::wstring_view name, MakeValue&& make) noexcept {
    try {
        TraceValue(name, make());
    } catch (...) {
    }
}

// Finds the trace folder once, ahead of any fault: the last-resort report
// flushes the record without asking the shell for it (the faulting thread may
// hold the loader lock).
void PrepareTrace();

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
