#ifndef QUILO_UTIL_DOTNETREGISTRY_H
#define QUILO_UTIL_DOTNETREGISTRY_H

// What the .NET Framework setup key says about the managed runtime the main
// application needs. Both readers answer false for anything they cannot read.

#include <string>

#include <windows.h>

constexpr wchar_t kDotNetSetupKey[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full";
constexpr wchar_t kDotNetReleaseValue[] = L"Release";
constexpr wchar_t kDotNetInstallValue[] = L"Install";
// .NET Framework 4.5.2, the oldest release the main application runs on.
constexpr DWORD kDotNetMinimumRelease = 379893;

// Pure rules over one registry read: the status of the read, the value's type
// and the number read. A value of another type than REG_DWORD counts as absent.
bool IsReleaseValueSufficient(LONG readStatus, DWORD type, DWORD value);
bool IsInstallValueSet(LONG readStatus, DWORD type, DWORD value);

bool IsDotNetReleaseSufficient();
bool IsDotNet4Installed();

// The release value as support reads it: the number, or why there is none.
std::wstring DotNetReleaseText();

#endif
