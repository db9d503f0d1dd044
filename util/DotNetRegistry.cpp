#include "util/DotNetRegistry.h"

#include "util/ScopedHandle.h"

namespace {

struct DwordRead {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    DWORD value = 0;
};

DwordRead ReadSetupValue(const wchar_t* name) {
    DwordRead read;
    ScopedRegistryKey key;
    read.status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDotNetSetupKey, 0, KEY_READ, key.Receive());
    if (read.status != ERROR_SUCCESS) {
        return read;
    }
    // Four bytes only: a longer value (a string, say) fails with ERROR_MORE_DATA
    // and counts as absent like any value that is not a REG_DWORD.
    DWORD size = sizeof(read.value);
    read.status =
        ::RegQueryValueExW(key.get(), name, nullptr, &read.type, reinterpret_cast<BYTE*>(&read.value), &size);
    return read;
}

}  // namespace

bool IsReleaseValueSufficient(LONG readStatus, DWORD type, DWORD value) {
    return readStatus == ERROR_SUCCESS && type == REG_DWORD && value >= kDotNetMinimumRelease;
}

bool IsInstallValueSet(LONG readStatus, DWORD type, DWORD value) {
    return readStatus == ERROR_SUCCESS && type == REG_DWORD && value == 1;
}

bool IsDotNetReleaseSufficient() {
    const DwordRead read = ReadSetupValue(kDotNetReleaseValue);
    return IsReleaseValueSufficient(read.status, read.type, read.value);
}

bool IsDotNet4Installed() {
    const DwordRead read = ReadSetupValue(kDotNetInstallValue);
    return IsInstallValueSet(read.status, read.type, read.value);
}

std::wstring DotNetReleaseText() {
    const DwordRead read = ReadSetupValue(kDotNetReleaseValue);
    if (read.status != ERROR_SUCCESS) {
        return L"absent (error " + std::to_wstring(read.status) + L")";
    }
    if (read.type != REG_DWORD) {
        return L"not a number (type " + std::to_wstring(read.type) + L")";
    }
    return std::to_wstring(read.value);
}
