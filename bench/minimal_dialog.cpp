// The smallest dialog program built the way the launcher is (same compiler,
// flags and static run-time libraries): the baseline for the launcher's own
// part of start-up. Its dialog comes from a resource template and ends at
// once, so that its run time is the cost of starting a program and showing a
// dialog, nothing more. Given a file name, it writes there the performance
// counter's value when its dialog is initialised ("qpc=N"), so that the bench
// can time the start up to the dialog, as the launcher's phases are timed up
// to its child's creation.
#include <windows.h>

#include <cstdio>

namespace {

constexpr int kDialogTemplate = 101;

void RecordInitialisationStamp(const wchar_t* path) {
    LARGE_INTEGER now = {};
    ::QueryPerformanceCounter(&now);
    char line[64] = {};
    const int length = std::snprintf(line, sizeof(line), "qpc=%lld\n", static_cast<long long>(now.QuadPart));
    HANDLE file =
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    ::CloseHandle(file);
}

INT_PTR CALLBACK MinimalDialogProc(HWND dialog, UINT message, WPARAM, LPARAM parameter) {
    switch (message) {
        case WM_INITDIALOG:
            if (parameter) {
                RecordInitialisationStamp(reinterpret_cast<const wchar_t*>(parameter));
            }
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case WM_CLOSE:
            ::EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const LPARAM stampPath = commandLine && *commandLine ? reinterpret_cast<LPARAM>(commandLine) : 0;
    return static_cast<int>(::DialogBoxParamW(instance, MAKEINTRESOURCEW(kDialogTemplate), nullptr,
                                              &MinimalDialogProc, stampPath));
}
