#include "util/Trace.h"

#include <cstdio>

namespace {

std::wstring& PendingRecord() {
    static std::wstring record;
    return record;
}

}  // namespace

void TraceLine(const std::wstring& line) {
    try {
        PendingRecord() += line;
        PendingRecord() += L"\r\n";
    } catch (...) {
        // Tracing never fails the launch.
    }
}

void TraceValue(const std::wstring& name, const std::wstring& value) {
    TraceLine(name + L": " + value);
}

void TracePhase(const std::wstring& name, double milliseconds) {
    wchar_t figure[32] = {};
    std::swprintf(figure, sizeof(figure) / sizeof(figure[0]), L"%.1f", milliseconds);
    TraceLine(L"phase " + name + L": " + figure + L" ms");
}

void FlushTrace() {
    // The writer comes with the log file; until then the record is dropped.
    PendingRecord().clear();
}

TraceStopwatch::TraceStopwatch() {
    Restart();
}

double TraceStopwatch::ElapsedMilliseconds() const {
    LARGE_INTEGER now = {};
    LARGE_INTEGER frequency = {};
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart ? (now.QuadPart - start_.QuadPart) * 1000.0 / frequency.QuadPart : 0.0;
}

void TraceStopwatch::Restart() {
    ::QueryPerformanceCounter(&start_);
}
