// Start-up as a person meets it: one launcher at a time, the elevated relaunch
// from the system drive, and the loader window at the end of start-up.
#include <set>
#include <string>
#include <vector>

#include "LauncherScenario.h"
#include "SupportTrace.h"
#include "TestBridge.h"

namespace {
const std::wstring kAlreadyRunningTitle = L"重复打开软件提示";
const std::wstring kAlreadyRunningText = L"Tarvex已经在运行中！\n请在电脑任务栏查找软件图标打开主界面！";
const std::wstring kElevationFailedTitle = L"加载失败提示";
const std::wstring kElevationFailedText = L"软件当前安装在系统盘，以管理员身份启动失败！\n原因：";

// The error code of a failed relaunch in the support trace of that process,
// which has ended; fails the test when the trace holds none.
DWORD RelaunchErrorInTrace(DWORD processId) {
    const std::string prefix = "elevation: relaunch failed, error ";
    const std::vector<std::string> lines = TraceRecordOf(processId).StartingWith(prefix);
    if (lines.empty()) {
        ADD_FAILURE() << "the trace records no failed relaunch";
        return ERROR_SUCCESS;
    }
    return static_cast<DWORD>(std::stoul(lines.front().substr(prefix.size())));
}

// Every running launcher, whatever its executable is called now.
std::vector<DWORD> LauncherIds(const std::wstring& otherName) {
    std::vector<DWORD> ids = ProcessIdsByName(kLauncherFileName);
    for (DWORD id : ProcessIdsByName(otherName)) {
        ids.push_back(id);
    }
    return ids;
}

// Start-up's later steps may show boxes of their own before the window; they are answered.
HWND WaitForLoaderWindow(const TestProcess& launcher) {
    return WaitForLoaderWindowAnsweringBoxes(launcher.Id());
}
}  // namespace

class StartupScenario : public LauncherScenario {};

TEST_F(StartupScenario, SecondLauncherShowsTheAlreadyRunningBoxOnceAndEnds) {
    ScratchInstall install;
    InstallTestBridge(install);
    TestProcess first = install.StartLauncher();
    HWND loader = WaitForLoaderWindow(first);
    ASSERT_TRUE(loader) << "the first launcher showed no loader window";

    TestProcess second = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(second, kAlreadyRunningTitle, kAlreadyRunningText);
    ASSERT_TRUE(box);
    EXPECT_EQ(1u, MessageBoxes(second.Id()).size());
    EXPECT_EQ(std::vector<std::wstring>{L"OK"}, box.buttons);
    ExpectOwnerlessWarningBox(box, IDOK);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(second);
    EXPECT_TRUE(TopLevelWindows(second.Id()).empty());

    EXPECT_TRUE(first.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(loader));
    EXPECT_TRUE(MessageBoxes(first.Id()).empty());
}

TEST_F(StartupScenario, TenLaunchersStartedAtOnceLeaveExactlyOneRunning) {
    ScratchInstall install;
    InstallTestBridge(install);
    std::vector<TestProcess> launchers;
    for (int i = 0; i < 10; ++i) {
        launchers.push_back(install.StartLauncher());
    }
    // Each refused copy shows its box once; boxes of the one survivor's later
    // start-up steps are not counted here.
    std::set<DWORD> refusedProcesses;
    std::set<HWND> answered;
    const ULONGLONG deadline = ::GetTickCount64() + 60000;
    while (refusedProcesses.size() < 9 && ::GetTickCount64() < deadline) {
        for (TestProcess& launcher : launchers) {
            for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
                if (box.title != kAlreadyRunningTitle || !answered.insert(box.window).second) {
                    continue;
                }
                EXPECT_EQ(Utf8(kAlreadyRunningText), Utf8(box.text));
                EXPECT_TRUE(refusedProcesses.insert(launcher.Id()).second) << "a copy was refused twice";
                AnswerMessageBox(box.window, IDOK);
            }
        }
        PumpFor(100);
    }
    EXPECT_EQ(9u, refusedProcesses.size());
    int running = 0;
    for (TestProcess& launcher : launchers) {
        if (!launcher.WaitForExit(2000)) {
            ++running;
            EXPECT_TRUE(WaitForLoaderWindow(launcher)) << "the surviving launcher shows no loader window";
        }
    }
    EXPECT_EQ(1, running);
}

TEST_F(StartupScenario, UnelevatedStartFromTheSystemDriveHandsOverToARelaunchedCopy) {
    ScratchInstall install(CurrentTestName(), L"C:\\quilo-scenarios");
    InstallTestBridge(install);
    StartOptions unelevated;
    unelevated.withoutAdministratorRights = true;
    TestProcess original = install.StartLauncher(unelevated);
    // The original asks the system for an elevated copy and ends without a message of its own.
    ExpectEnds(original);
    EXPECT_TRUE(MessageBoxes(original.Id()).empty());

    // Another copy was started through the "runas" verb. (Wine hands that copy
    // the caller's token rather than an elevated one, so the copy would ask
    // again and end; the hand-over itself is what can be seen here, and the
    // command line of any copy caught while it runs.)
    bool relaunched = false;
    std::wstring commandLine;
    const ULONGLONG deadline = ::GetTickCount64() + kDefaultWaitMs;
    while (commandLine.empty() && ::GetTickCount64() < deadline) {
        for (DWORD id : ProcessIdsByName(kLauncherFileName)) {
            if (id != original.Id()) {
                relaunched = true;
                commandLine = ProcessCommandLine(id);
            }
        }
        PumpFor(20);
    }
    EXPECT_TRUE(relaunched) << "no relaunched launcher appeared";
    // The copy is the launcher's own executable with no arguments.
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(commandLine.c_str(), &count);
    ASSERT_TRUE(argv) << "no command line read from a relaunched copy";
    const std::vector<std::wstring> arguments(argv, argv + count);
    ::LocalFree(argv);
    ASSERT_EQ(1u, arguments.size()) << Utf8(commandLine);
    EXPECT_EQ(0, _wcsicmp(install.LauncherPath().c_str(), arguments[0].c_str())) << Utf8(commandLine);
}

TEST_F(StartupScenario, AFailedRelaunchFromTheSystemDriveSaysWhyAndStartsNoCopy) {
    ClearSupportTraceFolder();
    ScratchInstall install(CurrentTestName(), L"C:\\quilo-scenarios");
    InstallTestBridge(install);
    const std::wstring movedName = L"TarvexLauncher.moved.exe";
    StartOptions unelevated;
    unelevated.withoutAdministratorRights = true;
    // The launcher asks the shell for the executable it was started from;
    // moved away before the launcher runs, it is not there to be started.
    unelevated.whileSuspended = [&install, &movedName](const PROCESS_INFORMATION&) {
        EXPECT_TRUE(::MoveFileW(install.LauncherPath().c_str(), install.PathOf(movedName).c_str()))
            << "error " << ::GetLastError();
    };
    TestProcess original = install.StartLauncher(unelevated);
    MessageBoxInfo box = WaitForMessageBox(original.Id());
    ASSERT_TRUE(box) << "the launcher showed no message";
    if (box.title != kElevationFailedTitle) {
        // The shell reports the missing file in a box of its own first.
        AnswerMessageBox(box.window, IDOK);
        ASSERT_TRUE(WaitForWindowGone(box.window));
        box = WaitForMessageBox(original.Id());
        ASSERT_TRUE(box) << "the launcher showed no message of its own";
    }
    ExpectOwnerlessWarningBox(box, IDOK);
    EXPECT_EQ(std::vector<DWORD>{original.Id()}, LauncherIds(movedName)) << "another copy started";
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(original);
    EXPECT_TRUE(LauncherIds(movedName).empty()) << "another copy started";

    // The reason is the system's text for a missing file, never "success":
    // Wine's shell loses the last error while showing its own report, and the
    // launcher then reads the reason from the shell's result code.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RelaunchErrorInTrace(original.Id()));
    EXPECT_EQ(Utf8(kElevationFailedTitle), Utf8(box.title));
    EXPECT_EQ(Utf8(kElevationFailedText + SystemText(ERROR_FILE_NOT_FOUND)), Utf8(box.text));
}

TEST_F(StartupScenario, StartFromAnotherDriveNeedsNoElevation) {
    ScratchInstall install;
    InstallTestBridge(install);
    StartOptions unelevated;
    unelevated.withoutAdministratorRights = true;
    TestProcess launcher = install.StartLauncher(unelevated);
    ASSERT_TRUE(WaitForLoaderWindow(launcher)) << "an unelevated launcher on D: must go straight on";
    EXPECT_EQ(std::vector<DWORD>{launcher.Id()}, ProcessIdsByName(kLauncherFileName))
        << "another copy started beside the original";
}

TEST_F(StartupScenario, ClosingTheLoaderWindowEndsTheLauncher) {
    ScratchInstall install;
    InstallTestBridge(install);
    TestProcess launcher = install.StartLauncher();
    HWND loader = WaitForLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    ::PostMessageW(loader, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ExpectEnds(launcher);
}
