#include "ShellRecorder.h"

#include <windows.h>

#include <cstdio>

#include "TestPaths.h"
#include "UiAutomation.h"

namespace {

std::wstring RecorderProgram() { return BuildFile("standins/url_recorder.exe"); }
std::wstring RecorderLog() { return BuildFile("standins/opened-urls.log"); }

void SetDefaultValue(const std::wstring& keyPath, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
}

}  // namespace

void RegisterUrlRecorder() {
    const std::wstring command = L"\"" + RecorderProgram() + L"\" \"%1\"";
    for (const wchar_t* scheme : {L"http", L"https"}) {
        SetDefaultValue(scheme, std::wstring(L"URL:") + scheme);
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, scheme, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            ::RegSetValueExW(key, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
            ::RegCloseKey(key);
        }
        SetDefaultValue(std::wstring(scheme) + L"\\shell\\open\\command", command);
        // Wine asks DDE first when a ddeexec key exists; the recorder speaks none.
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(scheme) + L"\\shell\\open\\ddeexec").c_str());
    }
}

void ClearOpenedUrls() { ::DeleteFileW(RecorderLog().c_str()); }

std::vector<std::string> OpenedUrls() {
    std::vector<std::string> urls;
    FILE* file = ::_wfopen(RecorderLog().c_str(), L"rb");
    if (!file) {
        return urls;
    }
    char line[4096];
    while (std::fgets(line, sizeof(line), file)) {
        std::string url = line;
        while (!url.empty() && (url.back() == '\n' || url.back() == '\r')) {
            url.pop_back();
        }
        urls.push_back(url);
    }
    std::fclose(file);
    return urls;
}

std::vector<std::string> WaitForOpenedUrls(size_t count, unsigned long timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    std::vector<std::string> urls = OpenedUrls();
    while (urls.size() < count && ::GetTickCount64() < deadline) {
        PumpFor(50);
        urls = OpenedUrls();
    }
    return urls;
}
