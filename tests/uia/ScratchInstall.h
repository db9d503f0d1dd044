#ifndef QUILO_TESTS_UIA_SCRATCHINSTALL_H
#define QUILO_TESTS_UIA_SCRATCHINSTALL_H

// A throw-away install directory with a copy of the real launcher in it.
// By default it lies on drive D: (a folder of the build tree), away from the
// system drive, and is named after the running test.

#include <string>
#include <vector>

#include <windows.h>

#include "TestProcess.h"

class ScratchInstall {
public:
    // `root`: the folder to create the install directory in (default D:\scenarios).
    explicit ScratchInstall(const std::wstring& name = std::wstring(), const std::wstring& root = std::wstring());
    ~ScratchInstall();
    ScratchInstall(const ScratchInstall&) = delete;
    ScratchInstall& operator=(const ScratchInstall&) = delete;

    const std::wstring& Directory() const { return directory_; }
    std::wstring PathOf(const std::wstring& name) const;
    std::wstring LauncherPath() const { return PathOf(L"TarvexLauncher.exe"); }

    // The three files start-up requires; empty stand-ins are enough to pass the file check.
    ScratchInstall& WithRequiredFiles();
    ScratchInstall& CopyIn(const std::wstring& source, const std::wstring& name);
    ScratchInstall& WriteFile(const std::wstring& name, const std::string& bytes);
    ScratchInstall& MakeFolder(const std::wstring& name);
    void Remove(const std::wstring& name);
    bool Exists(const std::wstring& name) const;
    std::string ReadFile(const std::wstring& name) const;

    TestProcess StartLauncher(const StartOptions& options = StartOptions()) const;

private:
    std::wstring directory_;
};

// Deletes a folder and everything in it.
void DeleteTree(const std::wstring& folder);

// A whole file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// Writes `bytes` over the file's bytes at `offset` and puts its last write
// back as it was: nothing the system tells of the file has changed.
void ChangeBytesUnnoticed(const std::wstring& path, long offset, const std::string& bytes);
// Puts another file in the place of `path`: `bytes`, with the last write of
// the file it replaces. Of the same length, only the file itself differs.
void ReplaceWithLookalike(const std::wstring& path, const std::string& bytes);
// The text's lines, without their line ends; empty lines are left out.
std::vector<std::string> SplitLines(const std::string& text);
// The running gtest's "Suite.Test" name with characters unsafe for a folder replaced.
std::wstring CurrentTestName();

#endif
