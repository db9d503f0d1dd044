#ifndef QUILO_LAUNCH_QUITREQUEST_H
#define QUILO_LAUNCH_QUITREQUEST_H

#include <windows.h>

// Posts WM_QUIT to the application's main window (the loader window, or
// `fallback` when none is set): its modal loop ends and the launcher with it.
void PostQuitRequest(HWND fallback);

#endif
