#ifndef QUILO_APP_STARTUPSTATE_H
#define QUILO_APP_STARTUPSTATE_H

// Process-wide values that start-up writes once and later steps read.

#include <string>

#include <windows.h>

#include "util/ScopedHandle.h"

constexpr wchar_t kDefaultUpdaterFileName[] = L"orloupd.exe";
constexpr wchar_t kFallbackUpdaterFileName[] = L"AutoUpdate.exe";
constexpr wchar_t kInitialGuiFontFace[] = L"SimSun";

struct StartupState {
    // Held until the process ends, except in the three documented early releases.
    ScopedKernelHandle singleInstanceMutex;
    std::wstring installDirectory;
    bool frameworkReady = false;
    bool bridgeLoaded = false;
    bool online = false;
    std::wstring updaterFileName = kDefaultUpdaterFileName;
    std::wstring defaultGuiFontFace = kInitialGuiFontFace;
    // How many restarts the chain of launchers that led to this copy has made
    // (see launch/RestartChain.h); empty for a start by the user.
    std::wstring inheritedRestartChain;
};

StartupState& TheStartupState();

// Closes the single-instance mutex early (relaunch, restart) and forgets it.
void ReleaseSingleInstanceMutex();
// Creates and owns the mutex again after an early release; false (and nothing
// held) when another launcher has claimed it since.
bool ReclaimSingleInstanceMutex();

#endif
