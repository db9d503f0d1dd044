// The smallest GUI program built the way the launcher is (same compiler,
// static run-time libraries): the baseline for the launcher's file size and
// imported DLLs.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
