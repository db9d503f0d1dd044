#ifndef QUILO_APP_QUILOMFCAPP_H
#define QUILO_APP_QUILOMFCAPP_H

// The application object. Start-up runs entirely in InitInstance, before any
// window exists: single instance, elevation, install directory, prerequisite
// checks, then the loader window, run modally. InitInstance always answers
// false, so the framework runs ExitInstance and the process ends.

#include "app/StartupState.h"
#include "framework/WinApp.h"
#include "launch/EarlyDigests.h"

// Keeps planted libraries out of the process: see the definition.
void RestrictLibrarySearchPath();

class QuiloMfcApp : public CWinApp {
public:
    QuiloMfcApp();

    BOOL InitInstance() override;
    int ExitInstance() override;
    // One warning, then the launcher ends as its close command ends it.
    void ProcessWndProcException(const std::exception* error) override;

    // The elevation rule.
    bool IsRunAsAdmin();
    bool IsOnSystemDrive();

    // Prerequisite checks, in the order start-up runs them. A false answer means
    // the user has been told and start-up must end.
    bool CheckRequiredFiles();
    // Settles the framework, bridge and online flags, the GUI font face and the
    // updater name; false only when the user refused to run without the runtime.
    bool PrepareRuntime();
    bool CheckInstallLocation();

private:
    // Takes hold of the single-instance mutex; false when another launcher runs.
    bool ClaimSingleInstance();
    // Asks the system to start this executable with administrator rights.
    void RelaunchElevated();
    // Ends start-up early: the exit routine runs, and start-up answers false.
    BOOL EndStartup();
    void RunLoaderWindow(EarlyDigests& digests);
};

#endif
