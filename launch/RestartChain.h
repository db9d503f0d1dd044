#ifndef QUILO_LAUNCH_RESTARTCHAIN_H
#define QUILO_LAUNCH_RESTARTCHAIN_H

// Exit code 4 asks the launcher to restart itself. A main application that
// asks on every start would have the launcher restart for ever, so every
// restarted copy inherits, in one environment variable, how many restarts its
// chain has made and the system time of the first (100 ns units since 1601):
// "<restarts>,<time>". A start by the user carries none; a value left over
// from anywhere else stops mattering 60 s after the time it names.

#include <string>

constexpr wchar_t kRestartChainVariable[] = L"QUILO_LAUNCHER_RESTARTS";
// Restarts in a row that the window allows; the next request is refused.
constexpr unsigned long long kMostRestartsInWindow = 3;
constexpr unsigned long long kRestartWindow = 60ULL * 10000000ULL;

struct RestartDecision {
    bool restart = false;
    // The variable's value for the restarted copy; empty when not restarting.
    std::wstring chainForNextCopy;
};

// Whether the main application's request is honoured, given the inherited
// value (empty, malformed, from the future or older than the window: a new
// chain) and the current system time.
RestartDecision DecideRestart(const std::wstring& inheritedChain, unsigned long long now);

// The value this process was started with, removed from its environment so
// that nothing it starts but its restarted copy inherits it.
std::wstring TakeInheritedRestartChain();
// Sets the value for the copy about to be started.
void PassRestartChainOn(const std::wstring& chain);
// The system time, in the variable's units.
unsigned long long CurrentSystemTime();

#endif
