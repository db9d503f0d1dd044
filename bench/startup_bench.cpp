// Start-up and digest measurements taken inside Wine with one clock, the
// performance counter (shared by every process of the machine). Run by
// bench/run.sh, which prepares the install directories; prints key=value lines.
//
//   startup_bench startup INSTALL_DIR DIRECT_DIR RUNS DIALOG_PROGRAM
//       median time from starting the launcher in INSTALL_DIR to the first
//       instruction of the main application (the runtime stand-in records its
//       counter stamp), and from starting the same stand-in directly in
//       DIRECT_DIR; the time GetFileMd5 takes for the two files the launcher
//       digests on the way (runtime executable and data store); the median
//       time from starting DIALOG_PROGRAM, a minimal dialog program, to its
//       dialog's initialisation and to its end; and the mean of
//       each start-up phase the launcher wrote to its support trace during
//       these runs (phase_<name>_ms, "n/a" for a phase it did not write).
// (GetFileMd5's throughput and the launcher's peak memory while staging are
// measured by bench/digest.sh, which bench/run.sh runs too.)
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <map>
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

// The minimal dialog program's start: seconds to its dialog's initialisation
// (it records its counter stamp in the file named on its command line) and
// to its end (bounded).
struct DialogTimes {
    double toDialog = 0;
    double toEnd = 0;
};

DialogTimes TimeDialogProgram(const std::wstring& program) {
    const std::wstring directory = program.substr(0, program.find_last_of(L'\\'));
    const std::wstring stampFile = In(directory, L"minimal_dialog_stamp.txt");
    ::DeleteFileW(stampFile.c_str());
    std::wstring commandLine = L"\"" + program + L"\" " + stampFile;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const LONGLONG started = Now();
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                          &startup, &info)) {
        std::fprintf(stderr, "cannot start the minimal dialog program, error %lu\n", ::GetLastError());
        std::exit(2);
    }
    ::CloseHandle(info.hThread);
    if (::WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(info.hProcess, 1);
        std::fprintf(stderr, "the minimal dialog program did not end within a minute\n");
        std::exit(5);
    }
    const LONGLONG ended = Now();
    ::CloseHandle(info.hProcess);
    std::ifstream record(stampFile.c_str());
    std::string line;
    LONGLONG stamp = 0;
    if (std::getline(record, line) && line.rfind("qpc=", 0) == 0) {
        stamp = std::atoll(line.c_str() + 4);
    }
    if (stamp == 0) {
        std::fprintf(stderr, "the minimal dialog program recorded no stamp\n");
        std::exit(5);
    }
    return {Seconds(stamp - started), Seconds(ended - started)};
}

// The launcher's support trace of this prefix's user.
std::wstring TracePath(const wchar_t* name) {
    wchar_t* localAppData = nullptr;
    std::wstring path;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &localAppData))) {
        path = std::wstring(localAppData) + L"\\Tarvex\\" + name;
    }
    ::CoTaskMemFree(localAppData);
    return path;
}

void ClearLauncherTrace() {
    ::DeleteFileW(TracePath(L"launcher.log").c_str());
    ::DeleteFileW(TracePath(L"launcher.old.log").c_str());
}

// Mean milliseconds of every "phase <name>: <ms> ms" line of the trace.
std::map<std::string, double> PhaseMeans() {
    std::map<std::string, std::pair<double, int>> sums;
    std::ifstream trace(TracePath(L"launcher.log").c_str(), std::ios::binary);
    std::string line;
    const std::string prefix = "phase ";
    while (std::getline(trace, line)) {
        const size_t colon = line.find(": ");
        if (line.rfind(prefix, 0) != 0 || colon == std::string::npos) {
            continue;
        }
        std::string name = line.substr(prefix.size(), colon - prefix.size());
        std::replace(name.begin(), name.end(), ' ', '_');
        sums[name].first += std::atof(line.c_str() + colon + 2);
        sums[name].second += 1;
    }
    std::map<std::string, double> means;
    for (const auto& [name, sum] : sums) {
        means[name] = sum.first / sum.second;
    }
    return means;
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

int Startup(const std::wstring& install, const std::wstring& direct, int runs, const std::wstring& dialog) {
    std::vector<double> launcher;
    std::vector<double> alone;
    std::vector<double> digest;
    std::vector<double> dialogShown;
    std::vector<double> dialogEnded;
    ClearLauncherTrace();
    for (int i = 0; i < runs; ++i) {
        launcher.push_back(TimeToFirstInstruction(In(install, L"TarvexLauncher.exe"), install));
        alone.push_back(TimeToFirstInstruction(In(direct, L"InPrRtm.exe"), direct));
        digest.push_back(DigestSeconds(In(install, L"ertmcache")) +
                         DigestSeconds(In(install, L"Quilord.da")));
        const DialogTimes dialogTimes = TimeDialogProgram(dialog);
        dialogShown.push_back(dialogTimes.toDialog);
        dialogEnded.push_back(dialogTimes.toEnd);
    }
    std::printf("launcher_to_first_instruction_s=%.4f\n", Median(launcher));
    std::printf("direct_to_first_instruction_s=%.4f\n", Median(alone));
    std::printf("digest_work_s=%.4f\n", Median(digest));
    std::printf("minimal_dialog_s=%.4f\n", Median(dialogShown));
    std::printf("minimal_dialog_end_s=%.4f\n", Median(dialogEnded));
    const std::map<std::string, double> phases = PhaseMeans();
    for (const char* name :
         {"startup", "checks", "bridge", "window", "staging", "child", "bridge_calls", "digests"}) {
        const auto phase = phases.find(name);
        if (phase == phases.end()) {
            std::printf("phase_%s_ms=n/a\n", name);
        } else {
            std::printf("phase_%s_ms=%.1f\n", name, phase->second);
        }
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    LARGE_INTEGER frequency = {};
    ::QueryPerformanceFrequency(&frequency);
    g_ticksPerSecond = static_cast<double>(frequency.QuadPart);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"startup" && argc == 6) {
        return Startup(argv[2], argv[3], _wtoi(argv[4]), argv[5]);
    }
    std::fprintf(stderr, "usage: startup_bench startup INSTALL DIRECT RUNS DIALOG_PROGRAM\n");
    return 1;
}
