#include <windows.h>

#include "launch/RestartChain.h"

std::wstring TakeInheritedRestartChain() {
    // Longer than any value the launcher writes: such a value is malformed anyway.
    wchar_t value[64] = {};
    const DWORD length = ::GetEnvironmentVariableW(kRestartChainVariable, value, 64);
    ::SetEnvironmentVariableW(kRestartChainVariable, nullptr);
    return length > 0 && length < 64 ? std::wstring(value, length) : std::wstring();
}

void PassRestartChainOn(const std::wstring& chain) {
    ::SetEnvironmentVariableW(kRestartChainVariable, chain.c_str());
}

unsigned long long CurrentSystemTime() {
    FILETIME now = {};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}
