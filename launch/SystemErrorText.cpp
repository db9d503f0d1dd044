#include "launch/SystemErrorText.h"

#include "util/ScopedHandle.h"

std::wstring SystemErrorText(DWORD errorCode) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
        errorCode, 0x400, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    ScopedLocalMemory owner(buffer);
    if (length == 0 || !buffer) {
        return std::wstring();
    }
    return std::wstring(buffer, length);
}

std::wstring ReduceFailureText(const std::wstring& failureText) {
    if (failureText.find(L"InPrRtm.exe") != std::wstring::npos ||
        failureText.find(L"CacheDat") != std::wstring::npos) {
        return kFileOrPathReason;
    }
    return failureText;
}
