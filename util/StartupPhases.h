#ifndef QUILO_UTIL_STARTUPPHASES_H
#define QUILO_UTIL_STARTUPPHASES_H

// Start-up measured phase by phase for the support trace ("phase <name>: <ms> ms").
// Each EndPhase traces the time since the previous one. The time spent in the
// bridge's own calls and waiting for file digests (read ahead on worker
// threads, or computed on the spot) is summed apart, so that the launcher's
// own share can be told from work that is not its own.

#include <string_view>

// Traces "startup" (the process's creation up to now) and starts the clock.
void BeginPhases();
void EndPhase(std::wstring_view name) noexcept;

void AddBridgeCallTime(double milliseconds);
void AddDigestTime(double milliseconds);
// Traces "bridge calls" and "digests", once; later calls trace nothing.
void TraceCosts();

// The phases as a part of the launcher reports them, handed to it rather than
// reached through this file's functions: the process-wide recorder traces
// them, a test records them.
class PhaseRecorder {
public:
    virtual void EndPhase(std::wstring_view name) noexcept = 0;
    virtual void AddDigestTime(double milliseconds) = 0;
    virtual void TraceCosts() = 0;

protected:
    ~PhaseRecorder() = default;
};

// The recorder that traces to the process's start-up phases above.
PhaseRecorder& StartupPhaseRecorder();

#endif
