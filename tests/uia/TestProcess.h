#ifndef QUILO_TESTS_UIA_TESTPROCESS_H
#define QUILO_TESTS_UIA_TESTPROCESS_H

// Starts programs the way a person (or a program starter) would, and keeps
// their handles. A process still running when its owner goes away is ended,
// so that one failed scenario cannot leave windows behind for the next.

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

struct StartOptions {
    std::wstring workingDirectory;  // empty: the program's folder
    // Extra environment variables NAME=VALUE on top of this process's environment.
    std::vector<std::wstring> environment;
    // Start with a token whose Administrators group is deny-only (not elevated).
    bool withoutAdministratorRights = false;
    // Start inside a job of the test that forbids breakaway.
    bool insideJobWithoutBreakaway = false;
    // Runs after the process is created and before its first instruction, for
    // changes the program must find in place when it starts.
    std::function<void(const PROCESS_INFORMATION&)> whileSuspended;
};

class TestProcess {
public:
    TestProcess() = default;
    ~TestProcess();
    TestProcess(TestProcess&& other) noexcept;
    TestProcess& operator=(TestProcess&& other) noexcept;
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    static TestProcess Start(const std::wstring& program, const StartOptions& options = StartOptions());

    bool IsStarted() const { return process_ != nullptr; }
    DWORD Id() const { return processId_; }
    HANDLE Handle() const { return process_; }
    bool IsRunning() const;
    // True when the process ended within the time; its exit code is then in `exitCode`.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void Kill();
    // The error of a failed start.
    DWORD StartError() const { return startError_; }

private:
    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    DWORD processId_ = 0;
    DWORD startError_ = 0;
};

// The command line a running process was started with, read from its process
// parameters (the test and the process must have the same width); empty when
// the process is gone or cannot be read.
std::wstring ProcessCommandLine(DWORD processId);

// Ids of every running process whose executable file name matches (ignoring case).
std::vector<DWORD> ProcessIdsByName(const std::wstring& exeName);
// Ends every process of that name; used to clean up after a scenario.
void KillProcessesByName(const std::wstring& exeName);
bool WaitForNoProcess(const std::wstring& exeName, DWORD timeoutMs);

#endif
