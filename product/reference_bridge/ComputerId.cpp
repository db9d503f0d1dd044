#include "ComputerId.h"

#include <windows.h>

#include <cstdio>

#include "util/FileDigest.h"
#include "util/TextConvert.h"

std::string FormatComputerId(const std::wstring& computerName, unsigned long volumeSerial) {
    std::wstring name = computerName;
    for (wchar_t& c : name) {
        c = static_cast<wchar_t>(towupper(c));
    }
    char serial[9];
    std::snprintf(serial, sizeof(serial), "%08lX", volumeSerial);
    return WideToNarrow(GetBytesMd5(WideToNarrow(name, CP_UTF8) + "|" + serial), CP_UTF8);
}

bool ReadComputerId(std::string& id, std::string& error) {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD nameLength = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &nameLength)) {
        error = "computer name unavailable (system error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    wchar_t windowsDirectory[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windowsDirectory, MAX_PATH);
    if (length < 3 || length >= MAX_PATH) {
        error = "system folder unavailable (system error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    // The volume root of the system folder, e.g. "C:\".
    const std::wstring root(windowsDirectory, 3);
    DWORD serial = 0;
    if (!::GetVolumeInformationW(root.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) {
        error =
            "system volume serial number unavailable (system error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    id = FormatComputerId(std::wstring(name, nameLength), serial);
    return true;
}
