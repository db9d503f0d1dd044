#include "util/SystemFacts.h"

#include <cwchar>
#include <vector>

#include "util/Paths.h"

std::wstring FormatFileVersion(DWORD versionMs, DWORD versionLs) {
    wchar_t text[48] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%u.%u.%u.%u", HIWORD(versionMs), LOWORD(versionMs),
                  HIWORD(versionLs), LOWORD(versionLs));
    return text;
}

std::wstring GetOwnFileVersion() {
    const std::wstring path = GetLauncherPath();
    if (path.empty()) {
        return std::wstring();
    }
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return std::wstring();
    }
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return std::wstring();
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) || !fixed ||
        fixedLength < sizeof(VS_FIXEDFILEINFO)) {
        return std::wstring();
    }
    return FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

std::wstring GetWindowsVersionText() {
    // RtlGetVersion answers truthfully whatever the manifest declares; it is
    // looked up at run time so that the launcher does not import ntdll.dll.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                                     reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                               : nullptr;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) {
        return std::wstring();
    }
    wchar_t text[48] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%lu.%lu.%lu", version.dwMajorVersion,
                  version.dwMinorVersion, version.dwBuildNumber);
    return text;
}

bool IsRunningUnderWow64() {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}
