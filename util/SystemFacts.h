#ifndef QUILO_UTIL_SYSTEMFACTS_H
#define QUILO_UTIL_SYSTEMFACTS_H

// Facts about the running launcher and the machine that support staff need
// first: which launcher, which Windows, 32-bit on 64-bit or not.

#include <string>

#include <windows.h>

// "1.2.3.4" from the version resource of the launcher's own executable; empty when absent.
std::wstring GetOwnFileVersion();
// "10.0.19045": the version Windows really is, not the one a manifest lets a
// program see through GetVersionEx; empty when unknown.
std::wstring GetWindowsVersionText();
// True for a 32-bit launcher on a 64-bit Windows.
bool IsRunningUnderWow64();

// "a.b.c.d" from the two halves of a fixed file version.
std::wstring FormatFileVersion(DWORD versionMs, DWORD versionLs);

#endif
