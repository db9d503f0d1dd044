// "AppConf.ini" of any size: the launcher reads it line by line up to the
// keys it needs, so a configuration file of hundreds of megabytes whose keys
// come first neither ends the launcher nor costs it memory.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "LaunchInstall.h"
#include "LauncherScenario.h"

namespace {

constexpr size_t kFillerMegabytes = 300;
// The launcher's own working set is a few megabytes under Wine; holding the
// file would add hundreds.
constexpr SIZE_T kPeakBound = 64u * 1024 * 1024;

// Appends lines of filler after the keys, a megabyte at a time.
bool AppendFiller(const std::wstring& path, size_t megabytes) {
    FILE* file = ::_wfopen(path.c_str(), L"ab");
    if (!file) {
        return false;
    }
    std::string megabyte;
    const std::string line = "; filler line that no key is ever looked up in ............................\r\n";
    while (megabyte.size() + line.size() <= 1024 * 1024) {
        megabyte += line;
    }
    megabyte.resize(1024 * 1024, ';');
    bool written = true;
    for (size_t i = 0; i < megabytes && written; ++i) {
        written = std::fwrite(megabyte.data(), 1, megabyte.size(), file) == megabyte.size();
    }
    return std::fclose(file) == 0 && written;
}

SIZE_T PeakWorkingSet(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) {
        return 0;
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    const BOOL read = ::GetProcessMemoryInfo(process, &counters, sizeof(counters));
    ::CloseHandle(process);
    return read ? counters.PeakWorkingSetSize : 0;
}

}  // namespace

class ConfigurationScenario : public LauncherScenario {};

TEST_F(ConfigurationScenario, AFileOfHundredsOfMegabytesWithItsKeysFirstLaunchesNormally) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    ASSERT_TRUE(AppendFiller(install.PathOf(L"AppConf.ini"), kFillerMegabytes)) << "cannot write the filler";
    install.WriteFile(L"runtime-hold.txt", "");
    TestProcess launcher = install.StartLauncher();

    const RuntimeStart start = WaitForRuntimeStart(install, 60000);
    ASSERT_TRUE(start.recorded) << "the main application did not start";
    const SIZE_T peak = PeakWorkingSet(launcher.Id());
    EXPECT_GT(peak, 0u) << "the launcher's memory could not be read";
    EXPECT_LT(peak, kPeakBound) << "the launcher's peak working set is " << peak / (1024 * 1024) << " MB";
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());

    install.WriteFile(L"runtime-release.txt", "");
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    install.Remove(L"AppConf.ini");
}
