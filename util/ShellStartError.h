#ifndef QUILO_UTIL_SHELLSTARTERROR_H
#define QUILO_UTIL_SHELLSTARTERROR_H

// The system error behind a program start that the shell refused.

#include <windows.h>

// ShellExecuteW and ShellExecuteExW do not always leave the reason as the last
// error: a shell that shows its own report of the failure may lose it there,
// and a message would then give "success" as the reason. Their own result
// code (the return value, or hInstApp) still says what failed: its values up
// to 32 are the system's codes of the same value, except a few of the shell's
// own, which are mapped to the system code that says the same; 0 means the
// system was out of memory or resources.
DWORD ShellStartError(DWORD lastError, INT_PTR shellResult);

#endif
