// Stands in for the main application (installed as "InPrRtm.exe"). Next to
// itself it records how it was started, then behaves as the scenario asks
// through files placed beside it:
//   runtime-args.txt      written: pid, start time (and performance-counter
//                         stamp of its first instruction), command line, argv as
//                         CommandLineToArgvW parsed it, current directory
//   runtime-starts.txt    appended: one line per start
//   runtime-exit-code.txt read: exit codes separated by blanks, one used per
//                         start (the last one stays), default 0
//   runtime-hold.txt      when present: wait for runtime-release.txt (deleted
//                         on use) before exiting, at most two minutes
//   runtime-grandchild.txt when present: start a grandchild (itself with
//                         --grandchild, which records grandchild-pid.txt) and
//                         stay alive until killed
//   runtime-grandchild-first.txt when present: start a grandchild before
//                         anything else, record its pid in grandchild-pid.txt
//                         (the grandchild itself records nothing, so a
//                         grandchild ended at once is still known), then exit 0
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <sstream>
#include <string>
#include <vector>

#include "StandinFiles.h"

namespace {

constexpr DWORD kLongestStayMs = 300000;

void RecordStart(const std::vector<std::wstring>& argv, LONGLONG firstInstructionStamp) {
    FILETIME now = {};
    ::GetSystemTimeAsFileTime(&now);
    const unsigned long long started =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    wchar_t currentDirectory[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, currentDirectory);

    std::ostringstream record;
    record << "pid=" << ::GetCurrentProcessId() << "\n";
    record << "started=" << started << "\n";
    record << "qpc=" << firstInstructionStamp << "\n";
    record << "cmdline=" << ToUtf8(::GetCommandLineW()) << "\n";
    record << "cwd=" << ToUtf8(currentDirectory) << "\n";
    record << "argc=" << argv.size() << "\n";
    for (size_t i = 0; i < argv.size(); ++i) {
        record << "argv[" << i << "]=" << ToUtf8(argv[i]) << "\n";
    }
    WriteSibling(L"runtime-args.txt", record.str());
    AppendSibling(L"runtime-starts.txt", "pid=" + std::to_string(::GetCurrentProcessId()) + "\n");
}

UINT TakeExitCode() {
    std::istringstream codes(ReadSibling(L"runtime-exit-code.txt"));
    std::vector<std::string> tokens;
    std::string token;
    while (codes >> token) {
        tokens.push_back(token);
    }
    if (tokens.empty()) {
        return 0;
    }
    if (tokens.size() > 1) {
        std::string rest;
        for (size_t i = 1; i < tokens.size(); ++i) {
            rest += tokens[i] + " ";
        }
        WriteSibling(L"runtime-exit-code.txt", rest);
    }
    return static_cast<UINT>(std::stoul(tokens.front()));
}

void WaitForRelease() {
    const std::wstring release = OwnFolder() + L"runtime-release.txt";
    const ULONGLONG deadline = ::GetTickCount64() + 120000;
    while (::GetTickCount64() < deadline) {
        if (::DeleteFileW(release.c_str())) {
            return;
        }
        ::Sleep(50);
    }
}

// Starts this program again with the option; its process id, 0 when it did not start.
DWORD StartGrandchild(const wchar_t* option) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + option;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        return 0;
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return info.dwProcessId;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Taken first, for the start-up benchmark (bench/startup_bench.cpp): the
    // performance counter is one clock for every process of the machine.
    LARGE_INTEGER firstInstruction = {};
    ::QueryPerformanceCounter(&firstInstruction);
    // Before anything else: a launcher that lets the main application run
    // before it is in the job loses this grandchild when it ends.
    // The grandchildren are this program too and must not start their own.
    const bool isGrandchild = std::wcsstr(::GetCommandLineW(), L"\" --grandchild") != nullptr;
    const bool grandchildFirst = !isGrandchild && SiblingExists(L"runtime-grandchild-first.txt");
    const DWORD earlyGrandchild = grandchildFirst ? StartGrandchild(L"--grandchild-unrecorded") : 0;
    int count = 0;
    wchar_t** parsed = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> argv(parsed, parsed + count);
    ::LocalFree(parsed);

    if (argv.size() == 2 && argv[1] == L"--grandchild") {
        WriteSibling(L"grandchild-pid.txt", std::to_string(::GetCurrentProcessId()));
        ::Sleep(kLongestStayMs);
        return 0;
    }
    if (argv.size() == 2 && argv[1] == L"--grandchild-unrecorded") {
        ::Sleep(kLongestStayMs);
        return 0;
    }
    RecordStart(argv, firstInstruction.QuadPart);
    if (grandchildFirst) {
        if (earlyGrandchild != 0) {
            WriteSibling(L"grandchild-pid.txt", std::to_string(earlyGrandchild));
        }
        return 0;
    }
    if (SiblingExists(L"runtime-grandchild.txt")) {
        StartGrandchild(L"--grandchild");
        ::Sleep(kLongestStayMs);
        return 0;
    }
    if (SiblingExists(L"runtime-hold.txt")) {
        WaitForRelease();
    }
    return static_cast<int>(TakeExitCode());
}
