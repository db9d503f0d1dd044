#ifndef QUILO_LOADER_WINDOW_SUPPORTPROGRAM_H
#define QUILO_LOADER_WINDOW_SUPPORTPROGRAM_H

// The system side of the online-support link: is the support program
// running, which version is the launcher, and starting the program.

#include <string>

// True when two bare executable file names are the same, ignoring letter case
// the way the file system does.
bool IsSameFileName(const std::wstring& left, const std::wstring& right);

// True when a running process has this executable file name (any case). A
// process list that cannot be taken counts as "not running".
bool IsProcessRunning(const std::wstring& fileName);

// Starts `programPath` with `commandLine` and does not wait for it. The
// program is named separately from the command line, so an unquoted path with
// spaces cannot start another program sitting at a prefix of it. False when
// the process could not be created.
bool StartSupportProcess(const std::wstring& programPath, const std::wstring& commandLine);

#endif
