#ifndef QUILO_UTIL_STARTUPPHASES_H
#define QUILO_UTIL_STARTUPPHASES_H

// Start-up measured phase by phase for the support trace ("phase <name>: <ms> ms").
// Each EndPhase traces the time since the previous one. The time spent in the
// bridge's own calls and in file digests is summed apart, so that the
// launcher's own share can be told from work that is not its own.

#include <string_view>

// Traces "startup" (the process's creation up to now) and starts the clock.
void BeginPhases();
void EndPhase(std::wstring_view name) noexcept;

void AddBridgeCallTime(double milliseconds);
void AddDigestTime(double milliseconds);
// Traces "bridge calls" and "digests", once; later calls trace nothing.
void TraceCosts();

#endif
