#ifndef QUILO_APP_LASTRESORT_H
#define QUILO_APP_LASTRESORT_H

// What the launcher says when something nobody handled ends it: a C++
// exception that reached the framework's boundaries, a structured exception
// (an access violation, a stack overflow...), most likely inside the maker's
// bridge library, or a loader window that could not be created. Without these
// the launcher would vanish without a word.

#include <exception>
#include <string>

#include <windows.h>

// "加载失败！\n" and the exception's text, reduced as the launch reduces its
// own failure texts; a null `error` (not a std::exception) gives the system-error reason.
std::wstring UncaughtExceptionMessage(const std::exception* error);

// The warning after a structured exception: its code in hexadecimal and the
// file name of the module in which it happened (empty when none is known).
std::wstring CrashMessage(DWORD exceptionCode, const std::wstring& moduleName);

// The warning when the loader window cannot be created, with the system's reason.
std::wstring LoaderWindowFailureMessage(DWORD error);

// What the last-resort filter hands to the thread that reports a fault.
struct CrashReport {
    DWORD code;
    const void* address;
    DWORD faultingThreadId;
    EXCEPTION_POINTERS* pointers;
    // Set, when given, once the warning is answered (or could not be shown)
    // and once the dump and the record are written. Not owned.
    HANDLE answered = nullptr;
    HANDLE done = nullptr;
};

// The report's two thread procedures, each given a CrashReport: the warning;
// the crash dump and then, once the warning is answered, the trace's record.
// No exception leaves them: the 32-bit build cannot unwind out of a thread
// procedure, and the process would end at once.
DWORD WINAPI WarnOfCrash(void* crashReport);
DWORD WINAPI DumpAndRecordCrash(void* crashReport);

// Installs the process's last-resort filter for structured exceptions: one
// warning box, then the process ends. Everything the report needs is made
// ready here (the report's thread, the dump folder and function, the trace
// folder), so it runs before the bridge is loaded.
void InstallCrashFilter();

#endif
