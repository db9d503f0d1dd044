// Stands in for the online-support program ("Pelko.exe" in an install
// directory). It records how it was started next to itself, then stays alive
// for a while so that a second click on the link finds it running.
//
// Files written beside the executable, named after it (for "Pelko.exe"):
//   Pelko.commandline.txt  the raw command line, UTF-8, no line break
//   Pelko.argv.txt         the arguments as the C runtime splits them, one per line
//   Pelko.starts.txt       one line per start (appended)
#include <cstdio>
#include <cstdlib>
#include <string>

#include <windows.h>
#include <shellapi.h>

#include "StandinFiles.h"

namespace {

constexpr DWORD kDefaultLifetimeMs = 30000;

void WriteText(const std::wstring& path, const std::string& text, const wchar_t* mode) {
    FILE* file = ::_wfopen(path.c_str(), mode);
    if (!file) {
        return;
    }
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

DWORD Lifetime() {
    wchar_t value[32] = {};
    if (::GetEnvironmentVariableW(L"QUILO_STANDIN_LIFETIME_MS", value, 32) > 0) {
        return static_cast<DWORD>(std::wcstoul(value, nullptr, 10));
    }
    return kDefaultLifetimeMs;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t modulePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    std::wstring stem = modulePath;
    const size_t dot = stem.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > stem.find_last_of(L'\\')) {
        stem.erase(dot);
    }
    const std::wstring commandLine = ::GetCommandLineW();
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine.c_str(), &count);
    std::string argv;
    for (int i = 0; arguments && i < count; ++i) {
        argv += ToUtf8(arguments[i]) + "\n";
    }
    ::LocalFree(arguments);

    WriteText(stem + L".commandline.txt", ToUtf8(commandLine), L"wb");
    WriteText(stem + L".argv.txt", argv, L"wb");
    WriteText(stem + L".starts.txt", std::to_string(::GetCurrentProcessId()) + "\n", L"ab");
    ::Sleep(Lifetime());
    return 0;
}
