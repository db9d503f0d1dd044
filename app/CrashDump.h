#ifndef QUILO_APP_CRASHDUMP_H
#define QUILO_APP_CRASHDUMP_H

// A minidump of the launcher when a structured exception ends it, written
// beside the support trace so that support gets both from one folder.

#include <string>

#include <windows.h>

struct CrashDumpResult {
    std::wstring fileName;  // empty when no dump was written
    DWORD error = 0;        // why not
};

// Writes the dump of this process for an exception of `faultingThreadId`.
// Must run on another thread than the faulting one: that one may have no
// stack left. Older dumps beyond the newest few are deleted afterwards.
CrashDumpResult WriteCrashDump(DWORD faultingThreadId, EXCEPTION_POINTERS* pointers);

#endif
