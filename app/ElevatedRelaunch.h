#ifndef QUILO_APP_ELEVATEDRELAUNCH_H
#define QUILO_APP_ELEVATEDRELAUNCH_H

// The shell request that starts the launcher again with administrator rights.

#include <string>

#include <windows.h>

#include <shellapi.h>

// Asks for the launcher's own executable through the "runas" verb, which makes
// the system ask for administrator rights: no arguments (the launcher reads
// none), no working directory, shown normally, and the new process's handle
// kept so that the caller owns and closes it. The request points into
// `launcherPath`, which must outlive it.
SHELLEXECUTEINFOW ElevatedRelaunchRequest(const std::wstring& launcherPath);

#endif
