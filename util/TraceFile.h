#ifndef QUILO_UTIL_TRACEFILE_H
#define QUILO_UTIL_TRACEFILE_H

// Where the support trace lives and how a record reaches it. The folder is
// the user's local application data folder, never the install directory: that
// one may be read-only for the user, and an update replaces it.

#include <string>

// "%LOCALAPPDATA%\Tarvex", created when missing; empty when it cannot be had
// (no such known folder, or a file of that name stands in the way).
std::wstring GetTraceFolder();

// Appends the record to "launcher.log" in the folder in one write, after
// moving a full file aside to "launcher.old.log" (or, when the older file
// cannot be replaced, starting "launcher.log" afresh). Launchers that end at the
// same moment take turns on a named mutex for a short while, then append
// regardless. Every failure is ignored: the trace must never cost the launch.
void AppendTraceRecord(const std::wstring& folder, const std::string& record);

#endif
