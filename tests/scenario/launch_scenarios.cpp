// The main application's start and end as a person meets them: the launcher
// hands over to the runtime stand-in, hides while it runs, acts on its exit
// code and ends; it takes the main application down with it when killed.
#include <algorithm>
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LoaderWindow.h"
#include "LauncherScenario.h"
#include "TestBridge.h"

namespace {

const std::wstring kLoadTitle = L"软件加载提示";
const std::wstring kUpdateTitle = L"软件升级提示";
const std::string kSeparator = "\xE2\x89\xA1";  // U+2261 in UTF-8
const std::wstring kRestartLoopText =
    L"软件启动失败！\n软件多次请求重新启动仍未能正常运行，已停止自动重启。\n"
    L"请重启电脑后再打开软件，若仍无法启动，请尝试下载完整安装包安装修复。\n"
    L"更多解决请咨询软件服务人员，咨询电话：19999999999";

bool ProcessEnds(DWORD processId, DWORD timeoutMs) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) {
        return true;
    }
    const bool ended = ::WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// The first message box any launcher of that name shows, within the time;
// launchers that end meanwhile are simply passed over.
MessageBoxInfo WaitForAnyLauncherBox(DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        for (DWORD id : ProcessIdsByName(kLauncherFileName)) {
            std::vector<MessageBoxInfo> boxes = MessageBoxes(id);
            if (!boxes.empty()) {
                return boxes.front();
            }
        }
        PumpFor(100);
    }
    return MessageBoxInfo();
}

// The system time as the launcher's restart chain writes it.
unsigned long long SystemTimeNow() {
    FILETIME now = {};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

class LaunchScenario : public LauncherScenario {};

// Only 2, 4 and 6 ask for something; every other code, a crash's included,
// is a normal end.
TEST_F(LaunchScenario, ExitCodesOutsideTheProtocolParkTheExecutableAndEndTheLauncherLikeZero) {
    for (const std::string exitCode : {"0", "3", "5", "3221225477"}) {
        SCOPED_TRACE(exitCode);
        ScratchInstall install(CurrentTestName() + L"-" + std::wstring(exitCode.begin(), exitCode.end()));
        LayOutScriptedLaunch(install);
        install.WriteFile(L"runtime-exit-code.txt", exitCode);
        TestProcess launcher = install.StartLauncher();
        const RuntimeStart start = WaitForRuntimeStart(install);
        ExpectEnds(launcher);
        EXPECT_TRUE(start.recorded);
        EXPECT_TRUE(install.Exists(L"ertmcache"));
        EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
        EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
        EXPECT_EQ(1, RuntimeStartCount(install));
    }
}

TEST_F(LaunchScenario, TheChildGetsFifteenQuotedArgumentsAndParsesThemBack) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    ExpectEnds(launcher);
    ASSERT_EQ(15u, start.argv.size()) << start.commandLine;
    const std::string directory = Utf8(install.Directory());
    EXPECT_EQ(directory + "\\InPrRtm.exe", start.argv[0]);
    EXPECT_EQ("TarvexLauncher", start.argv[1]);
    EXPECT_EQ(directory, start.argv[2]);
    EXPECT_EQ("protocol=3", start.argv[3]);
    EXPECT_EQ("channel=stable", start.argv[4]);
    EXPECT_EQ("lang=zh-CN", start.argv[5]);
    EXPECT_EQ("mode=normal", start.argv[6]);
    EXPECT_EQ("single" + kSeparator + "1", start.argv[7]);
    EXPECT_EQ("log" + kSeparator + "off", start.argv[12]);
    EXPECT_EQ("AutoUpdate.exe", start.argv[13]);  // no orloupd.exe in the directory
    // Two reserved texts, empty, then the online flag the bridge's status gave.
    EXPECT_EQ(kSeparator + kSeparator + "1", start.argv[14]);
    // Exactly 15 quoted tokens separated by single spaces.
    EXPECT_EQ('"', start.commandLine.front());
    EXPECT_EQ('"', start.commandLine.back());
    EXPECT_EQ(30u, CountOf(start.commandLine, "\""));
    EXPECT_EQ(14u, CountOf(start.commandLine, "\" \""));
    EXPECT_EQ(2u, CountOf(start.argv[14], kSeparator));
}

// The last value of position 14 is the online flag: "1" only for a non-zero
// status the bridge answered without an error.
TEST_F(LaunchScenario, TheOnlineFlagFollowsTheBridgesStatusAnswer) {
    struct Case {
        const char* what;
        std::string status;
        std::string onlineFlag;
    } cases[] = {
        {"status 1", "status=1\n", "1"},
        {"status 0", "status=0\n", "0"},
        {"status 1 with an error text", "status=1\nstatus_error=status service unreachable\n", "0"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchInstall install(CurrentTestName() + L"_" + std::to_wstring(++index));
        LayOutScriptedLaunch(install);
        ScriptTestBridge(install,
                         c.status + "computer_id=PC-1\nregenerate=1\nwrite_runtime=runtime-source.bin\n");
        TestProcess launcher = install.StartLauncher();
        const RuntimeStart start = WaitForRuntimeStart(install);
        ExpectEnds(launcher);
        EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
        ASSERT_EQ(15u, start.argv.size()) << start.commandLine;
        EXPECT_EQ(kSeparator + kSeparator + c.onlineFlag, start.argv[14]);
    }
}

TEST_F(LaunchScenario, TheLoaderWindowIsHiddenWhileTheMainApplicationRuns) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-hold.txt", "");
    TestProcess launcher = install.StartLauncher();
    WaitForRuntimeStart(install);
    PumpFor(500);
    EXPECT_TRUE(TopLevelWindows(launcher.Id(), L"#32770", true).empty()) << "a launcher window is visible";
    EXPECT_FALSE(TopLevelWindows(launcher.Id(), L"#32770", false).empty()) << "the loader window is gone";
    EXPECT_TRUE(install.Exists(L"InPrRtm.exe"));
    EXPECT_FALSE(install.Exists(L"ertmcache"));
    install.WriteFile(L"runtime-release.txt", "");
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"ertmcache"));
}

TEST_F(LaunchScenario, ExitCodeTwoReportsWrongArgumentsThenParksAndEnds) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-exit-code.txt", "2");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, L"错误提示", L"运行参数错误。");
    ASSERT_TRUE(box);
    EXPECT_TRUE(install.Exists(L"InPrRtm.exe")) << "parked before the message";
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
}

TEST_F(LaunchScenario, ExitCodeSixStartsTheUpdaterBeforeParking) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    InstallUpdater(install, L"orloupd.exe");
    install.WriteFile(L"runtime-exit-code.txt", "6");
    install.WriteFile(L"upd.tmp", MarkerBytes(1, "6"));
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    ASSERT_EQ(15u, start.argv.size());
    EXPECT_EQ("orloupd.exe", start.argv[13]);
    ExpectEnds(launcher);
    EXPECT_TRUE(WaitForFileIn(install, L"updater-started.txt")) << "the updater did not start";
    EXPECT_FALSE(install.Exists(L"upd.tmp")) << "the marker stays after the updater started";
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
}

// The updater starts asynchronously, so it cannot tell by itself whether the
// executable was parked before or after its start. A parked name that is
// taken stops the launcher right after parking, at the report of the failed
// park: by then the updater must already be running.
TEST_F(LaunchScenario, TheUpdaterIsStartedBeforeTheExecutableIsParked) {
    struct Case {
        const char* what;
        const char* exitCode;
        bool updateArrivesDuringTheRun;
    } cases[] = {
        {"exit code 6", "6", false},
        {"normal end with an update pending", "0", true},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KillScenarioProcesses();
        ScratchInstall install(CurrentTestName() + L"_" + std::to_wstring(++index));
        LayOutScriptedLaunch(install);
        InstallUpdater(install, L"orloupd.exe");
        install.WriteFile(L"runtime-exit-code.txt", c.exitCode);
        install.WriteFile(L"runtime-hold.txt", "");
        TestProcess launcher = install.StartLauncher();
        ASSERT_TRUE(WaitForRuntimeStart(install).recorded);
        if (c.updateArrivesDuringTheRun) {
            install.WriteFile(L"upd.tmp", MarkerBytes(1, "6"));
            install.MakeFolder(L"update");
            install.WriteFile(L"update\\package.bin", "new files");
        }
        install.MakeFolder(L"ertmcache");
        install.WriteFile(L"runtime-release.txt", "");
        MessageBoxInfo box = WaitForMessageBox(launcher.Id());
        ASSERT_TRUE(box) << "no message about the executable that could not be parked";
        EXPECT_EQ(0u, box.text.rfind(L"软件已退出，但运行文件 InPrRtm.exe 无法恢复为 ertmcache。\n", 0))
            << Utf8(box.text);
        EXPECT_TRUE(WaitForFileIn(install, L"updater-started.txt", 5000))
            << "the updater was not started before the executable was parked";
        AnswerMessageBox(box.window, IDOK);
        ExpectEnds(launcher);
        EXPECT_TRUE(WaitForFileIn(install, L"updater-started.txt"));
        EXPECT_FALSE(install.Exists(L"upd.tmp"));
    }
}

TEST_F(LaunchScenario, ExitCodeSixWithoutUpdaterSaysSoThenParksAndEnds) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-exit-code.txt", "6");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kUpdateTitle, L"升级程序加载失败！\n文件丢失。");
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
}

TEST_F(LaunchScenario, ExitCodeFourStartsASecondLauncherThatFindsTheLiveExecutable) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-exit-code.txt", "4 0");
    TestProcess launcher = install.StartLauncher();
    WaitForRuntimeStart(install);
    ExpectEnds(launcher);
    // The second copy is not refused: it starts the main application again.
    const ULONGLONG deadline = ::GetTickCount64() + kDefaultWaitMs;
    while (RuntimeStartCount(install) < 2 && ::GetTickCount64() < deadline) {
        for (DWORD id : ProcessIdsByName(kLauncherFileName)) {
            for (const MessageBoxInfo& box : MessageBoxes(id)) {
                ADD_FAILURE() << "unexpected message: " << Utf8(box.title) << ": " << Utf8(box.text);
                AnswerMessageBox(box.window, IDOK);
            }
        }
        PumpFor(100);
    }
    EXPECT_EQ(2, RuntimeStartCount(install));
    EXPECT_TRUE(WaitForNoProcess(kLauncherFileName, kDefaultWaitMs)) << "the second launcher did not end";
    // The executable stayed at its live name and matched its digest: nothing was rebuilt.
    for (const std::string& call : TestBridgeCalls(install)) {
        EXPECT_EQ(std::string::npos, call.find("RegenerateRuntime")) << call;
    }
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
}

// A main application that asks for a restart on every start: the launcher
// restarts three times, then stops with a warning instead of for ever.
TEST_F(LaunchScenario, ExitCodeFourOnEveryStartStopsAfterThreeRestartsWithAWarning) {
    ASSERT_EQ(0u, ::GetEnvironmentVariableW(L"QUILO_LAUNCHER_RESTARTS", nullptr, 0))
        << "a start by the user carries no restart count";
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-exit-code.txt", "4");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = WaitForAnyLauncherBox(120000);
    ASSERT_TRUE(box) << "no warning after " << RuntimeStartCount(install)
                     << " starts of the main application";
    EXPECT_EQ(Utf8(kLoadTitle), Utf8(box.title));
    EXPECT_EQ(Utf8(kRestartLoopText), Utf8(box.text));
    EXPECT_EQ(4, RuntimeStartCount(install)) << "the start by the user and three restarts";
    EXPECT_TRUE(install.Exists(L"ertmcache")) << "not parked before the warning";
    AnswerMessageBox(box.window, IDOK);
    EXPECT_TRUE(WaitForNoProcess(kLauncherFileName, kDefaultWaitMs)) << "the last launcher did not end";
    EXPECT_EQ(4, RuntimeStartCount(install));
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
}

// A restart count in the environment of a start that is not a restart (left
// over from an earlier chain, or set by hand) counts only within its minute.
TEST_F(LaunchScenario, ARestartCountOlderThanAMinuteDoesNotStopARestart) {
    constexpr unsigned long long kSecond = 10000000ULL;
    struct Case {
        const char* what;
        unsigned long long age;
        int expectedStarts;
        bool warned;
    } cases[] = {
        {"a count from 61 s ago", 61 * kSecond, 2, false},
        {"a count from 5 s ago", 5 * kSecond, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchInstall install(CurrentTestName() + L"_" + std::to_wstring(c.expectedStarts));
        LayOutScriptedLaunch(install);
        install.WriteFile(L"runtime-exit-code.txt", "4 0");
        StartOptions options;
        options.environment.push_back(L"QUILO_LAUNCHER_RESTARTS=3," +
                                      std::to_wstring(SystemTimeNow() - c.age));
        TestProcess launcher = install.StartLauncher(options);
        WaitForRuntimeStart(install);
        if (c.warned) {
            MessageBoxInfo box = ExpectMessageBox(launcher, kLoadTitle, kRestartLoopText);
            ASSERT_TRUE(box);
            AnswerMessageBox(box.window, IDOK);
        } else {
            MessageBoxInfo box = WaitForAnyLauncherBox(5000);
            EXPECT_FALSE(box) << Utf8(box.title) << ": " << Utf8(box.text);
        }
        EXPECT_TRUE(WaitForNoProcess(kLauncherFileName, kDefaultWaitMs)) << "a launcher did not end";
        EXPECT_EQ(c.expectedStarts, RuntimeStartCount(install));
        EXPECT_TRUE(install.Exists(L"ertmcache"));
        EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
    }
}

// The launcher's own executable is gone when the main application asks for a
// restart: the user is told why, and the executable is parked. Meanwhile the
// launcher holds its single-instance mutex again: a start by the user then is
// refused rather than staging the executable at the same time.
TEST_F(LaunchScenario, ARestartThatCannotStartIsReportedAndTheExecutableParked) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-exit-code.txt", "4");
    install.WriteFile(L"runtime-hold.txt", "");
    TestProcess launcher = install.StartLauncher();
    WaitForRuntimeStart(install);
    ASSERT_TRUE(::MoveFileW(install.LauncherPath().c_str(), install.PathOf(L"moved-away.exe").c_str()));
    install.WriteFile(L"runtime-release.txt", "");
    MessageBoxInfo box =
        ExpectMessageBox(launcher, kLoadTitle, L"软件重新启动失败！\n" + SystemText(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(box);
    EXPECT_TRUE(install.Exists(L"ertmcache")) << "not parked before the warning";
    // The user starts the launcher again (it now stands under another name).
    TestProcess second = TestProcess::Start(install.PathOf(L"moved-away.exe"));
    ASSERT_TRUE(second.IsStarted()) << "error " << second.StartError();
    MessageBoxInfo refused = ExpectMessageBox(
        second, L"重复打开软件提示", L"Tarvex已经在运行中！\n请在电脑任务栏查找软件图标打开主界面！");
    ASSERT_TRUE(refused) << "a start by the user ran while the launcher parked the executable";
    AnswerMessageBox(refused.window, IDOK);
    ExpectEnds(second);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_EQ(1, RuntimeStartCount(install));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
}

TEST_F(LaunchScenario, KillingTheLauncherEndsTheMainApplicationAndItsChild) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-grandchild.txt", "");
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    ASSERT_TRUE(WaitForFileIn(install, L"grandchild-pid.txt")) << "the grandchild did not start";
    const DWORD grandchild = static_cast<DWORD>(std::stoul(install.ReadFile(L"grandchild-pid.txt")));
    ASSERT_FALSE(ProcessEnds(start.pid, 0));
    ASSERT_FALSE(ProcessEnds(grandchild, 0));
    launcher.Kill();
    EXPECT_TRUE(ProcessEnds(start.pid, 10000)) << "the main application outlived the launcher";
    EXPECT_TRUE(ProcessEnds(grandchild, 10000)) << "the main application's child outlived the launcher";
}

// The main application's very first act is to start a program of its own,
// then it ends at once: that program was started inside the job all the same
// and ends with the run.
TEST_F(LaunchScenario, AChildStartedByTheMainApplicationsFirstInstructionEndsWithTheRun) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-grandchild-first.txt", "");
    TestProcess launcher = install.StartLauncher();
    ASSERT_TRUE(WaitForRuntimeStart(install).recorded);
    ExpectEnds(launcher);
    ASSERT_TRUE(WaitForFileIn(install, L"grandchild-pid.txt")) << "the grandchild did not start";
    const DWORD grandchild = static_cast<DWORD>(std::stoul(install.ReadFile(L"grandchild-pid.txt")));
    EXPECT_TRUE(ProcessEnds(grandchild, 10000)) << "the main application's child outlived the launcher";
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
    EXPECT_TRUE(install.Exists(L"ertmcache"));
}

// What the main application leaves behind ends when the run's job is closed,
// right after the run, not only when the launcher ends: here the launcher is
// still there, telling the user about the update it cannot hand over.
TEST_F(LaunchScenario, AChildLeftBehindByTheMainApplicationIsGoneBeforeTheLauncherActsOnTheEnd) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-grandchild-first.txt", "");
    // A pending update without an updater: the loading goes on silently, and
    // after the normal end the missing updater is reported.
    install.WriteFile(L"upd.tmp", MarkerBytes(1, "6"));
    install.MakeFolder(L"update");
    install.WriteFile(L"update\\package.bin", "new files");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kUpdateTitle, L"升级程序加载失败！\n文件丢失。");
    ASSERT_TRUE(box);
    ASSERT_TRUE(install.Exists(L"grandchild-pid.txt")) << "the grandchild did not start";
    const DWORD grandchild = static_cast<DWORD>(std::stoul(install.ReadFile(L"grandchild-pid.txt")));
    EXPECT_TRUE(ProcessEnds(grandchild, 5000)) << "the main application's child outlived its run";
    EXPECT_TRUE(launcher.IsRunning());
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"ertmcache"));
}

TEST_F(LaunchScenario, ALauncherInAJobWithoutBreakawayStillStartsTheMainApplication) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    StartOptions inJob;
    inJob.insideJobWithoutBreakaway = true;
    TestProcess launcher = install.StartLauncher(inJob);
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_EQ(15u, start.argv.size());
    ExpectEnds(launcher);
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
    EXPECT_TRUE(install.Exists(L"ertmcache"));
}

TEST_F(LaunchScenario, AnInstallDirectoryAtADriveRootReachesTheChildIntact) {
    ScratchInstall source;
    LayOutScriptedLaunch(source);
    const std::vector<std::wstring> names = {kLauncherFileName,     L"CsVarnApi.dll",  L"CsVarnLab.dll",
                                             L"Quilord.da",         L"AppConf.ini",    L"ertmcache",
                                             L"runtime-source.bin", L"test-bridge.ini"};
    for (const std::wstring& name : names) {
        ASSERT_TRUE(::CopyFileW(source.PathOf(name).c_str(), (L"E:\\" + name).c_str(), FALSE)) << Utf8(name);
    }
    const std::vector<std::wstring> produced = {L"runtime-args.txt", L"runtime-starts.txt",
                                                L"test-bridge-calls.log", L"InPrRtm.exe"};
    auto cleanUp = [&] {
        KillScenarioProcesses();
        for (const std::wstring& name : names) {
            ::DeleteFileW((L"E:\\" + name).c_str());
        }
        for (const std::wstring& name : produced) {
            ::DeleteFileW((L"E:\\" + name).c_str());
        }
    };
    TestProcess launcher = TestProcess::Start(L"E:\\TarvexLauncher.exe");
    bool recorded = false;
    const ULONGLONG deadline = ::GetTickCount64() + kDefaultWaitMs;
    while (!(recorded = ::GetFileAttributesW(L"E:\\runtime-args.txt") != INVALID_FILE_ATTRIBUTES) &&
           ::GetTickCount64() < deadline) {
        PumpFor(50);
    }
    EXPECT_TRUE(recorded) << "the main application did not start from E:\\";
    ExpectEnds(launcher);
    ScratchInstall reader(L"unused-drive-root-reader");
    reader.CopyIn(L"E:\\runtime-args.txt", L"runtime-args.txt");
    const RuntimeStart start = ReadRuntimeStart(reader);
    cleanUp();
    ASSERT_EQ(15u, start.argv.size()) << start.commandLine;
    EXPECT_EQ("E:\\InPrRtm.exe", start.argv[0]);
    EXPECT_EQ("E:\\", start.argv[2]);
    EXPECT_EQ("TarvexLauncher", start.argv[1]);
    EXPECT_EQ("protocol=3", start.argv[3]);
    EXPECT_NE(std::string::npos, start.commandLine.find("\"E:\\\\\" \"protocol=3\""));
}

TEST_F(LaunchScenario, AnExecutableThatCannotBeParkedIsReportedAndTheLauncherStillEnds) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-hold.txt", "");
    TestProcess launcher = install.StartLauncher();
    WaitForRuntimeStart(install);
    // Something takes the parked name while the main application runs.
    install.MakeFolder(L"ertmcache");
    install.WriteFile(L"runtime-release.txt", "");
    MessageBoxInfo box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << "no message about the executable that could not be parked";
    EXPECT_EQ(Utf8(kLoadTitle), Utf8(box.title));
    const std::wstring prefix = L"软件已退出，但运行文件 InPrRtm.exe 无法恢复为 ertmcache。\n原因：";
    EXPECT_EQ(0u, box.text.rfind(prefix, 0)) << Utf8(box.text);
    EXPECT_GT(box.text.size(), prefix.size()) << "the system's reason is missing";
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"InPrRtm.exe"));
}

TEST_F(LaunchScenario, AMarkerThatCannotBeDeletedIsReportedAndTheLauncherStillEnds) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    InstallUpdater(install, L"orloupd.exe");
    install.WriteFile(L"runtime-exit-code.txt", "6");
    install.WriteFile(L"upd.tmp", MarkerBytes(1, "6"));
    ::SetFileAttributesW(install.PathOf(L"upd.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << "no message about the marker that stayed";
    EXPECT_EQ(Utf8(kUpdateTitle), Utf8(box.title));
    const std::wstring prefix = L"升级程序已启动，但无法删除升级标记文件 upd.tmp。\n原因：";
    EXPECT_EQ(0u, box.text.rfind(prefix, 0)) << Utf8(box.text);
    EXPECT_EQ(Utf8(prefix + SystemText(ERROR_ACCESS_DENIED)), Utf8(box.text));
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_TRUE(WaitForFileIn(install, L"updater-started.txt"));
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    ::SetFileAttributesW(install.PathOf(L"upd.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}
