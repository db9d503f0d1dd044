#include "util/StartupPhases.h"

#include <windows.h>

#include "util/Trace.h"

namespace {

struct PhaseState {
    TraceStopwatch clock;
    double bridgeCallsMs = 0;
    double digestsMs = 0;
    bool costsTraced = false;
};

PhaseState& Phases() {
    static PhaseState state;
    return state;
}

ULONGLONG AsTicks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The finer clock where Windows has it (8 and later), else the ordinary one.
FILETIME CurrentFileTime() {
    using PreciseTimeFunction = void(WINAPI*)(LPFILETIME);
    static const auto precise = reinterpret_cast<PreciseTimeFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now = {};
    if (precise) {
        precise(&now);
    } else {
        ::GetSystemTimeAsFileTime(&now);
    }
    return now;
}

}  // namespace

void BeginPhases() {
    FILETIME created = {};
    FILETIME exited = {};
    FILETIME kernel = {};
    FILETIME user = {};
    const FILETIME now = CurrentFileTime();
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user) &&
        AsTicks(now) >= AsTicks(created)) {
        TracePhase(L"startup", (AsTicks(now) - AsTicks(created)) / 10000.0);
    }
    Phases().clock.Restart();
}

void EndPhase(std::wstring_view name) noexcept {
    TracePhase(name, Phases().clock.ElapsedMilliseconds());
    Phases().clock.Restart();
}

void AddBridgeCallTime(double milliseconds) {
    Phases().bridgeCallsMs += milliseconds;
}

void AddDigestTime(double milliseconds) {
    Phases().digestsMs += milliseconds;
}

void TraceCosts() {
    PhaseState& state = Phases();
    if (state.costsTraced) {
        return;
    }
    state.costsTraced = true;
    TracePhase(L"bridge calls", state.bridgeCallsMs);
    TracePhase(L"digests", state.digestsMs);
}

namespace {

class TracedPhases final : public PhaseRecorder {
public:
    void EndPhase(std::wstring_view name) noexcept override { ::EndPhase(name); }
    void AddDigestTime(double milliseconds) override { ::AddDigestTime(milliseconds); }
    void TraceCosts() override { ::TraceCosts(); }
};

}  // namespace

PhaseRecorder& StartupPhaseRecorder() {
    static TracedPhases phases;
    return phases;
}
