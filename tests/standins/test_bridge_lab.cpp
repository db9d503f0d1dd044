// The component library beside the test bridge: the launcher only requires
// that it exists, and the missing-dependency variant imports a DLL that never does.
#include <windows.h>

extern "C" __declspec(dllexport) int TestBridgeLabVersion() {
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
