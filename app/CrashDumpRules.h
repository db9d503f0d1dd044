#ifndef QUILO_APP_CRASHDUMPRULES_H
#define QUILO_APP_CRASHDUMPRULES_H

// Names of the launcher's crash dumps and which of them to keep. Pure rules
// behind app/CrashDump.cpp.

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

// Dumps of a launcher that crashes at every start would fill the user's disk;
// the newest few are all support needs.
constexpr size_t kCrashDumpsKept = 5;

constexpr size_t kCrashDumpFileNameLength = 64;

// "launcher-20261210-232049-1234.dmp": local time of the crash and process id.
std::wstring CrashDumpFileName(const SYSTEMTIME& localTime, DWORD processId);
// The same into a buffer of the caller's: the crash path allocates nothing.
void FormatCrashDumpFileName(const SYSTEMTIME& localTime, DWORD processId,
                             wchar_t (&name)[kCrashDumpFileNameLength]);
// True for the names CrashDumpFileName gives ("launcher-*.dmp", any case).
bool IsCrashDumpFileName(const std::wstring& name);

struct CrashDumpFile {
    std::wstring name;
    std::uint64_t lastWriteTime = 0;  // FILETIME as one number
};

// The dumps beyond the newest `kept`: newest by last write, then by name
// (which holds the time to the second), so that equal times still give one order.
std::vector<std::wstring> CrashDumpsToDelete(std::vector<CrashDumpFile> dumps, size_t kept = kCrashDumpsKept);

#endif
