// The 32-bit launcher as most users run it: under WoW64 on a 64-bit Windows,
// handing over to a main application that runs as a 64-bit process (an AnyCPU
// .NET program does). Only meaningful in a 64-bit prefix with a 64-bit
// runtime stand-in: scripts/test.sh runs this program in the i686 leg's WoW64
// set, beside the chosen scenario suites it runs there again.
#include <string>

#include "LaunchInstall.h"
#include "LauncherScenario.h"

namespace {

// True when the process is a 32-bit one on a 64-bit Windows; nullopt when it
// cannot be asked.
std::optional<bool> IsUnderWow64(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) {
        return std::nullopt;
    }
    BOOL wow64 = FALSE;
    const BOOL asked = ::IsWow64Process(process, &wow64);
    ::CloseHandle(process);
    return asked ? std::optional<bool>(wow64 != FALSE) : std::nullopt;
}

std::optional<bool> IsInAJob(DWORD processId) {
    // Windows answers with limited query rights; Wine's server asks for full ones.
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) {
        return std::nullopt;
    }
    BOOL inJob = FALSE;
    const BOOL asked = ::IsProcessInJob(process, nullptr, &inJob);
    ::CloseHandle(process);
    return asked ? std::optional<bool>(inJob != FALSE) : std::nullopt;
}

}  // namespace

class Wow64Scenario : public LauncherScenario {};

TEST_F(Wow64Scenario, TheLauncherRunsUnderWow64AndItsMainApplicationAs64BitInItsJob) {
    ScratchInstall install;
    LayOutPackagedLaunch(install);
    install.WriteFile(L"runtime-hold.txt", "");
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    ASSERT_TRUE(start.recorded) << "the main application did not start";

    EXPECT_EQ(std::optional<bool>(true), IsUnderWow64(launcher.Id()))
        << "the launcher is not a WoW64 process";
    EXPECT_EQ(std::optional<bool>(false), IsUnderWow64(start.pid)) << "the main application is not 64-bit";
    EXPECT_EQ(std::optional<bool>(true), IsInAJob(start.pid))
        << "the 64-bit main application is outside the job";

    install.WriteFile(L"runtime-release.txt", "");
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
}

// The .NET installer writes its key in both views; a 32-bit launcher under
// WoW64 reads the 32-bit one, so a key in the 64-bit view alone is not seen.
TEST_F(Wow64Scenario, TheDotNetKeyIsReadFromThe32BitView) {
    RemoveDotNetSetupKey();
    HKEY key = nullptr;
    ASSERT_EQ(
        ERROR_SUCCESS,
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full", 0,
                          nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr));
    const DWORD release = kDotNet48Release;
    ::RegSetValueExW(key, L"Release", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&release), sizeof(release));
    ::RegCloseKey(key);

    ScratchInstall install;
    LayOutPackagedLaunch(install);
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << "no runtime prompt with the key in the 64-bit view only";
    EXPECT_EQ(Utf8(L"运行环境检测提示"), Utf8(box.title));
    AnswerMessageBox(box.window, IDNO);
    ExpectEnds(launcher);
}
