// Stands in for the updater (installed as "orloupd.exe" or "AutoUpdate.exe"):
// appends to "updater-started.txt" next to itself how it was started (its
// command line and current directory), then ends.
#include <windows.h>

#include <string>

#include "StandinFiles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t currentDirectory[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, currentDirectory);
    AppendSibling(L"updater-started.txt",
                  "cmdline=" + ToUtf8(::GetCommandLineW()) + "\ncwd=" + ToUtf8(currentDirectory) + "\n");
    return 0;
}
