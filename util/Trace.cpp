#include "util/Trace.h"

#include <cstdio>

#include "util/SystemFacts.h"
#include "util/TraceFile.h"
#include "util/TraceRecord.h"

namespace {

// Lines may come from any thread; the last-resort filter flushes from a
// thread of its own while the faulting thread stands still.
SRWLOCK g_recordLock = SRWLOCK_INIT;

struct PendingTrace {
    std::wstring lines;
    bool written = false;  // a record of this start has reached the writer
};

PendingTrace& Pending() {
    static PendingTrace pending;
    return pending;
}

// The faulting thread may have stopped while holding the lock (a fault in
// the middle of a line): the lock is only ever tried, for a short while, so
// that the record goes out without those lines rather than waiting for ever.
bool TryTakeRecordLock() {
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (::TryAcquireSRWLockExclusive(&g_recordLock)) {
            return true;
        }
        ::Sleep(5);
    }
    return false;
}

bool TakePendingLines(std::wstring& lines, bool& writtenBefore) {
    if (!TryTakeRecordLock()) {
        return false;
    }
    lines.swap(Pending().lines);
    writtenBefore = Pending().written;
    Pending().written = true;
    ::ReleaseSRWLockExclusive(&g_recordLock);
    return true;
}

std::wstring& PreparedFolder() {
    static std::wstring folder;
    return folder;
}

// The record is dated by the process's start, so that every record of one
// start carries the same time whenever it is written.
SYSTEMTIME StartTimeOfThisProcess() {
    FILETIME created = {};
    FILETIME exited = {};
    FILETIME kernel = {};
    FILETIME user = {};
    SYSTEMTIME utc = {};
    SYSTEMTIME local = {};
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user) &&
        ::FileTimeToSystemTime(&created, &utc) && ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return local;
    }
    ::GetLocalTime(&local);
    return local;
}

std::wstring YesNo(bool value) {
    return value ? L"yes" : L"no";
}

// What support asks first, at the top of every record.
std::wstring SystemFactLines() {
    return L"launcher version: " + GetOwnFileVersion() + L"\r\n" + L"windows: " + GetWindowsVersionText() +
           L"\r\n" + L"wow64: " + YesNo(IsRunningUnderWow64()) + L"\r\n";
}

}  // namespace

void TraceLine(std::wstring_view line) noexcept {
    try {
        const std::wstring escaped = EscapeTraceLine(std::wstring(line)) + L"\r\n";
        if (!TryTakeRecordLock()) {
            return;
        }
        try {
            Pending().lines += escaped;
        } catch (...) {
        }
        ::ReleaseSRWLockExclusive(&g_recordLock);
    } catch (...) {
        // Tracing never fails the launch.
    }
}

void TraceValue(std::wstring_view name, std::wstring_view value) noexcept {
    try {
        std::wstring line(name);
        line += L": ";
        line += value;
        TraceLine(line);
    } catch (...) {
    }
}

void TracePhase(std::wstring_view name, double milliseconds) noexcept {
    try {
        wchar_t figure[32] = {};
        std::swprintf(figure, sizeof(figure) / sizeof(figure[0]), L"%.1f", milliseconds);
        std::wstring line = L"phase ";
        line += name;
        line += L": ";
        line += figure;
        line += L" ms";
        TraceLine(line);
    } catch (...) {
    }
}

void PrepareTrace() {
    try {
        PreparedFolder() = GetTraceFolder();
    } catch (...) {
    }
}

void FlushTrace() {
    try {
        std::wstring lines;
        bool writtenBefore = false;
        const bool complete = TakePendingLines(lines, writtenBefore);
        // A start always leaves one record, even with nothing traced; a later
        // flush with nothing new adds nothing.
        if (complete && lines.empty() && writtenBefore) {
            return;
        }
        if (!complete) {
            lines = L"(the record's lines could not be read)\r\n";
        }
        const std::string record = EncodeTraceRecord(
            FormatTraceHeader(StartTimeOfThisProcess(), ::GetCurrentProcessId()), SystemFactLines() + lines);
        AppendTraceRecord(PreparedFolder().empty() ? GetTraceFolder() : PreparedFolder(), record);
    } catch (...) {
        // Tracing never fails the launch.
    }
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
