// A library planted where it has no business being loaded from (the current
// directory, a folder on PATH). It exports what the test bridge's missing
// dependency would export, and leaves "planted-dll-loaded.txt" beside itself
// the moment any process loads it.
#include <windows.h>

#include <cstdio>
#include <string>

extern "C" __declspec(dllexport) int TestBridgeLabVersion() { return 99; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(instance, path, MAX_PATH);
    std::wstring marker = path;
    marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"planted-dll-loaded.txt";
    FILE* file = ::_wfopen(marker.c_str(), L"ab");
    if (file) {
        std::fprintf(file, "loaded by process %lu\n", ::GetCurrentProcessId());
        std::fclose(file);
    }
    return TRUE;
}
