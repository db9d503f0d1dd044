#ifndef QUILO_TESTS_UIA_LAUNCHINSTALL_H
#define QUILO_TESTS_UIA_LAUNCHINSTALL_H

// Install directories whose launcher really starts a main application: the
// runtime stand-in (tests/standins/runtime_standin.cpp) parked as "ertmcache"
// with its digest recorded in "AppConf.ini", and what the stand-in recorded
// about its start, read back.

#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include "ScratchInstall.h"

// The upper-case hexadecimal MD5 digest of a file, computed independently of
// the launcher's own code; empty when the file cannot be read.
std::string FileMd5Hex(const std::wstring& path);
std::string Md5Hex(const std::string& bytes);

// The scriptable test bridge (loads, answers status 1, rebuilds by copying
// the stand-in), the stand-in parked as "ertmcache", an empty data store and
// an "AppConf.ini" recording both digests in plain hexadecimal.
void LayOutScriptedLaunch(ScratchInstall& install);
// The packaged install directory of the fixture (reference bridge, real
// encrypted data store, the stand-in as the runtime executable).
void LayOutPackagedLaunch(ScratchInstall& install);
// The packaged directory whose "runtime executable" is a text file.
void LayOutPackagedNotAProgram(ScratchInstall& install);

// Writes "AppConf.ini" from its lines.
void WriteConfig(ScratchInstall& install, const std::vector<std::string>& lines);
// The updater stand-in under the given name.
void InstallUpdater(ScratchInstall& install, const std::wstring& name = L"orloupd.exe");
// An update marker: the count, then the bytes (the count may differ from the size).
std::string MarkerBytes(int count, const std::string& text);

// What the runtime stand-in recorded about its last start ("runtime-args.txt").
struct RuntimeStart {
    bool recorded = false;
    std::string commandLine;
    std::vector<std::string> argv;  // UTF-8, as CommandLineToArgvW parsed it
    DWORD pid = 0;
};
RuntimeStart ReadRuntimeStart(const ScratchInstall& install);
// Waits (bounded) until the stand-in has recorded a start.
RuntimeStart WaitForRuntimeStart(const ScratchInstall& install, DWORD timeoutMs = 20000);
// How often the stand-in has started in this directory.
int RuntimeStartCount(const ScratchInstall& install);
// Waits (bounded) until a file exists in the install directory.
bool WaitForFileIn(const ScratchInstall& install, const std::wstring& name, DWORD timeoutMs = 20000);

// Starts the install's launcher as a new Wine process whose Unix locale is
// `locale` (for example "zh_CN.UTF-8"): Wine takes a process's system locale
// and ANSI code page from its Unix LC_ALL, which a Windows environment block
// does not reach, so the launcher is started through /usr/bin/env. Returns the
// launcher's process id, or 0 after a gtest failure when none appeared in time.
DWORD StartLauncherInUnixLocale(const ScratchInstall& install, const std::string& locale,
                                DWORD timeoutMs = 20000);

#endif
