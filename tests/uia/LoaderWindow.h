#ifndef QUILO_TESTS_UIA_LOADERWINDOW_H
#define QUILO_TESTS_UIA_LOADERWINDOW_H

// Brings up the real launcher's loader window and leaves it on the screen.

#include <windows.h>

#include "ScratchInstall.h"
#include "TestProcess.h"

// Lays out an install directory whose start-up reaches the loader window and
// keeps it visible (the required files present but empty, so the bridge does
// not load and the loading sequence stops at its report), starts the launcher
// into `launcher` and answers every message box on the way, No where offered,
// else OK. Returns the visible loader window (class "#32770" with the status
// text control 1011), or null after a gtest failure when none appeared in time.
HWND OpenLoaderWindow(ScratchInstall& install, TestProcess& launcher);

// The same wait for a launcher that is already running.
HWND WaitForVisibleLoaderWindow(const TestProcess& launcher, DWORD timeoutMs = 60000);

#endif
