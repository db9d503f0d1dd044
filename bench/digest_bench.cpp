// Measures GetFileMd5 on one file: its digest, the time it took and the
// process's peak working set afterwards (which must not grow with the file).
// Usage: digest_bench.exe FILE
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "util/FileDigest.h"
#include "util/TextConvert.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: digest_bench FILE\n");
        return 2;
    }
    PROCESS_MEMORY_COUNTERS before = {};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof(before));
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const std::wstring digest = GetFileMd5(argv[1]);
    ::QueryPerformanceCounter(&end);
    PROCESS_MEMORY_COUNTERS after = {};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof(after));
    const double seconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("digest=%s seconds=%.3f peak_working_set_kb_before=%lu peak_working_set_kb_after=%lu\n",
                WideToNarrow(digest, CP_UTF8).c_str(), seconds,
                static_cast<unsigned long>(before.PeakWorkingSetSize / 1024),
                static_cast<unsigned long>(after.PeakWorkingSetSize / 1024));
    return digest.empty() ? 1 : 0;
}
