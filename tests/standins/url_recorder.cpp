// Registered as the test prefix's http and https handler: instead of opening a
// browser it appends each address it is given, one UTF-8 line each, to
// "opened-urls.log" next to itself, so scenarios can read what the launcher opened.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring log = self;
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"opened-urls.log";
    // Several launchers may open pages at once: the log is appended under a lock.
    HANDLE lock = ::CreateMutexW(nullptr, FALSE, L"QuiloUrlRecorderLog");
    ::WaitForSingleObject(lock, 5000);
    FILE* file = ::_wfopen(log.c_str(), L"ab");
    for (int i = 1; file && i < count; ++i) {
        char utf8[4096] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, utf8, sizeof(utf8) - 1, nullptr, nullptr);
        std::fprintf(file, "%s\n", utf8);
    }
    if (file) {
        std::fclose(file);
    }
    ::ReleaseMutex(lock);
    ::CloseHandle(lock);
    ::LocalFree(arguments);
    return 0;
}
