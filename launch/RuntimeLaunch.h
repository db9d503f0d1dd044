#ifndef QUILO_LAUNCH_RUNTIMELAUNCH_H
#define QUILO_LAUNCH_RUNTIMELAUNCH_H

// The launch of the main application: staging its executable (rebuilt through
// the bridge when missing or stale), the data store's check, the start in a
// kill-on-close job with the exit-code protocol, and the hand-over to the
// updater. It reaches its window only through LaunchWindow.

#include <string>

#include "bridge/LaunchBridge.h"
#include "launch/EarlyDigests.h"
#include "launch/LaunchWindow.h"
#include "util/StartupPhases.h"

// What start-up has learnt that the launch needs: everything the launch uses
// is given here, nothing is reached through the process's globals.
struct LaunchSettings {
    std::wstring installDirectory;
    // The launcher's own executable, started again when the main application asks for a restart.
    std::wstring launcherPath;
    std::wstring updaterFileName;
    // The loaded bridge, which rebuilds the executable; null, or not loaded,
    // when start-up could not load it.
    LaunchBridge* bridge = nullptr;
    // The executable's and the data store's digests, begun at start-up;
    // computed when needed when null.
    EarlyDigests* earlyDigests = nullptr;
    // Where staging and the start report their phases; none traced when null.
    PhaseRecorder* phases = nullptr;
    bool online = false;
    // The restart chain that led to this copy of the launcher (launch/RestartChain.h).
    std::wstring inheritedRestartChain;
    // Lets go of the single-instance mutex, so that the launcher's second copy
    // passes the single-instance test.
    void (*releaseSingleInstance)() = nullptr;
    // Takes it again when the second copy could not be started, so that no
    // start by the user runs while this copy parks the executable and tells
    // why; false when another launcher has taken it meanwhile.
    bool (*reclaimSingleInstance)() = nullptr;
};

class RuntimeLaunch {
public:
    RuntimeLaunch(LaunchWindow& window, LaunchSettings settings);

    // Puts the executable in place under its live name; false after telling the user.
    bool StageRuntime();
    // Whether the data store matches its recorded digest; false after telling
    // the user when the configuration does not record one.
    bool CheckDataStore();

    // Starts the main application, waits for it and acts on its exit code.
    void LaunchRuntime();

    bool IsUpdatePending();
    bool StartUpdater(bool reportMissing);

private:
    void ParkRuntime();
    void RestartLauncher();
    void ActOnExitCode(unsigned long exitCode);

    bool IsBridgeLoaded() const { return settings_.bridge && settings_.bridge->IsLoaded(); }

    LaunchWindow& window_;
    LaunchSettings settings_;
    PhaseRecorder& phases_;
};

#endif
