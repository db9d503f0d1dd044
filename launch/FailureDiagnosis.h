#ifndef QUILO_LAUNCH_FAILUREDIAGNOSIS_H
#define QUILO_LAUNCH_FAILUREDIAGNOSIS_H

// Turns a failed rebuild of the runtime executable into one message the user
// can act on: an install path the system's code page cannot carry to the
// bridge, a missing .NET Framework, or the bridge's own words.

#include <string>

#include "launch/FailureClassification.h"
#include "launch/LaunchMessages.h"

// Whether the system default locale is Chinese (PRC), 0x0804.
bool IsSystemLocaleZhCn();

// Shows the message for a failed rebuild of the runtime executable.
void DiagnoseRegenerationFailure(const std::wstring& bridgeError, const std::wstring& storePath);

#endif
