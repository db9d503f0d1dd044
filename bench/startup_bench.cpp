// Start-up and digest measurements taken inside Wine with one clock, the
// performance counter (shared by every process of the machine). Run by
// bench/run.sh, which prepares the install directories; prints key=value lines.
//
//   startup_bench startup INSTALL_DIR DIRECT_DIR RUNS
//       median time from starting the launcher in INSTALL_DIR to the first
//       instruction of the main application (the runtime stand-in records its
//       counter stamp), and from starting the same stand-in directly in
//       DIRECT_DIR; and the time GetFileMd5 takes for the two files the
//       launcher digests on the way (runtime executable and data store).
// (GetFileMd5's throughput and the launcher's peak memory while staging are
// measured by bench/digest.sh, which bench/run.sh runs too.)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "util/FileDigest.h"

namespace {

double g_ticksPerSecond = 0;

LONGLONG Now() {
    LARGE_INTEGER now = {};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Seconds(LONGLONG ticks) {
    return static_cast<double>(ticks) / g_ticksPerSecond;
}

std::wstring In(const std::wstring& directory, const wchar_t* name) {
    return directory + L"\\" + name;
}

// The stand-in's counter stamp from "runtime-args.txt", or 0 while not written.
LONGLONG RecordedStamp(const std::wstring& directory) {
    std::ifstream record(In(directory, L"runtime-args.txt").c_str());
    std::string line;
    while (std::getline(record, line)) {
        if (line.rfind("qpc=", 0) == 0) {
            return std::atoll(line.c_str() + 4);
        }
    }
    return 0;
}

HANDLE Start(const std::wstring& program, const std::wstring& directory) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                          &startup, &info)) {
        std::fprintf(stderr, "cannot start a program, error %lu\n", ::GetLastError());
        std::exit(2);
    }
    ::CloseHandle(info.hThread);
    return info.hProcess;
}

// Seconds from start to the stand-in's first instruction; the process is waited for (bounded).
double TimeToFirstInstruction(const std::wstring& program, const std::wstring& directory) {
    ::DeleteFileW(In(directory, L"runtime-args.txt").c_str());
    const LONGLONG started = Now();
    HANDLE process = Start(program, directory);
    LONGLONG stamp = 0;
    const ULONGLONG deadline = ::GetTickCount64() + 60000;
    while ((stamp = RecordedStamp(directory)) == 0 && ::GetTickCount64() < deadline) {
        ::Sleep(5);
    }
    if (::WaitForSingleObject(process, 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process, 1);
    }
    ::CloseHandle(process);
    if (stamp == 0) {
        std::fprintf(stderr, "the main application did not start within a minute\n");
        std::exit(3);
    }
    return Seconds(stamp - started);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double DigestSeconds(const std::wstring& path) {
    const LONGLONG started = Now();
    if (GetFileMd5(path).empty()) {
        std::fprintf(stderr, "GetFileMd5 failed\n");
        std::exit(4);
    }
    return Seconds(Now() - started);
}

int Startup(const std::wstring& install, const std::wstring& direct, int runs) {
    std::vector<double> launcher;
    std::vector<double> alone;
    std::vector<double> digest;
    for (int i = 0; i < runs; ++i) {
        launcher.push_back(TimeToFirstInstruction(In(install, L"TarvexLauncher.exe"), install));
        alone.push_back(TimeToFirstInstruction(In(direct, L"InPrRtm.exe"), direct));
        digest.push_back(DigestSeconds(In(install, L"ertmcache")) +
                         DigestSeconds(In(install, L"Quilord.da")));
    }
    std::printf("launcher_to_first_instruction_s=%.4f\n", Median(launcher));
    std::printf("direct_to_first_instruction_s=%.4f\n", Median(alone));
    std::printf("digest_work_s=%.4f\n", Median(digest));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    LARGE_INTEGER frequency = {};
    ::QueryPerformanceFrequency(&frequency);
    g_ticksPerSecond = static_cast<double>(frequency.QuadPart);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"startup" && argc == 5) {
        return Startup(argv[2], argv[3], _wtoi(argv[4]));
    }
    std::fprintf(stderr, "usage: startup_bench startup INSTALL DIRECT RUNS\n");
    return 1;
}
