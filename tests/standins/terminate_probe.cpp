// Installs the launcher's last-resort handlers (its unhandled-exception filter,
// and its terminate handler, linked in as in the launcher), traces one line so
// that its record can be told apart, and calls std::terminate, as the C++
// library does for an exception that nobody catches.
#include <windows.h>

#include <exception>

#include "app/LastResort.h"
#include "util/Trace.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    InstallCrashFilter();
    TraceValue(L"terminate probe", L"calling std::terminate");
    std::terminate();
}
