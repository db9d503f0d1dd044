#ifndef QUILO_LAUNCH_SYSTEMERRORTEXT_H
#define QUILO_LAUNCH_SYSTEMERRORTEXT_H

#include <string>

#include <windows.h>

// The system's message for an error code in the user's default language,
// with the line break the system puts at its end; empty when there is none.
std::wstring SystemErrorText(DWORD errorCode);

// A failure text that names the runtime executable or its cache is replaced
// by a short reason the user can act on; any other text stays as it is.
std::wstring ReduceFailureText(const std::wstring& failureText);

constexpr wchar_t kFileOrPathReason[] = L"原因：文件或路径错误。";

#endif
