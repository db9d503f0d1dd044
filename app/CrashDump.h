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

// Finds the dump folder and resolves the system's dump function, once. Called
// at start-up, before the bridge is loaded, so that writing a dump after a
// fault loads no library and asks the shell for nothing: the faulting thread
// may hold the loader lock. False when no dump can be written.
bool PrepareCrashDump();

// Writes the dump of this process for an exception of `faultingThreadId`.
// Must run on another thread than the faulting one: that one may have no
// stack left. Older dumps beyond the newest few are deleted afterwards.
CrashDumpResult WriteCrashDump(DWORD faultingThreadId, EXCEPTION_POINTERS* pointers);

#endif
