#include <windows.h>

#include "app/QuiloMfcApp.h"
#include "util/Trace.h"

// The one application object; the framework finds it through AfxGetApp.
QuiloMfcApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const int exitCode = AfxWinMain(instance);
    // Every way start-up ends comes back here, so each start leaves its record.
    FlushTrace();
    return exitCode;
}
