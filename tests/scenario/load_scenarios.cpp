// The launcher under load: many copies started at once against one install
// directory, and a launcher killed at different moments while the main
// application runs. Every wait is bounded.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"

namespace {

constexpr int kLauncherCount = 30;
const std::wstring kAlreadyRunningTitle = L"重复打开软件提示";
const std::wstring kAlreadyRunningText = L"Tarvex已经在运行中！\n请在电脑任务栏查找软件图标打开主界面！";

bool ProcessEnds(DWORD processId, DWORD timeoutMs) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) {
        return true;
    }
    const bool ended = ::WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

}  // namespace

class LoadScenario : public LauncherScenario {};

TEST_F(LoadScenario, ThirtyLaunchersAtOnceRunTheMainApplicationOnce) {
    ScratchInstall install;
    LayOutPackagedLaunch(install);
    install.WriteFile(L"runtime-hold.txt", "");

    std::vector<TestProcess> launchers;
    for (int i = 0; i < kLauncherCount; ++i) {
        launchers.push_back(install.StartLauncher());
    }

    // Answer every already-running box as it comes, until all copies but one have ended.
    std::map<DWORD, int> boxesSeen;
    const ULONGLONG deadline = ::GetTickCount64() + 180000;
    size_t running = launchers.size();
    while (::GetTickCount64() < deadline) {
        running = 0;
        for (TestProcess& launcher : launchers) {
            if (!launcher.IsRunning()) {
                continue;
            }
            ++running;
            for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
                EXPECT_EQ(Utf8(kAlreadyRunningTitle), Utf8(box.title));
                EXPECT_EQ(Utf8(kAlreadyRunningText), Utf8(box.text));
                ++boxesSeen[launcher.Id()];
                AnswerMessageBox(box.window, IDOK);
            }
        }
        if (running <= 1 && RuntimeStartCount(install) >= 1) {
            break;
        }
        PumpFor(100);
    }
    ASSERT_EQ(1u, running) << "launchers still running after three minutes (one expected)";
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_TRUE(start.recorded);
    EXPECT_EQ(1, RuntimeStartCount(install));

    int winners = 0;
    for (TestProcess& launcher : launchers) {
        if (launcher.IsRunning()) {
            ++winners;
            EXPECT_EQ(0, boxesSeen[launcher.Id()]) << "the copy that runs the main application showed a box";
        } else {
            EXPECT_EQ(1, boxesSeen[launcher.Id()])
                << "launcher " << launcher.Id() << " did not show the already-running box exactly once";
        }
    }
    EXPECT_EQ(1, winners);

    // The main application ends: the one copy left ends too, the executable parked.
    install.WriteFile(L"runtime-release.txt", "");
    for (TestProcess& launcher : launchers) {
        ExpectEnds(launcher, 30000);
    }
    EXPECT_EQ(1, RuntimeStartCount(install));
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
}

// Moments after the main application recorded its start: before it has
// started its own child, while it does, and long after.
TEST_F(LoadScenario, KillingTheLauncherAtAnyMomentTakesTheMainApplicationAndItsChild) {
    const DWORD momentsMs[] = {0, 5, 20, 50, 100, 200, 400, 800, 1500, 3000};
    for (DWORD moment : momentsMs) {
        SCOPED_TRACE("launcher killed " + std::to_string(moment) + " ms after the main application started");
        ScratchInstall install(CurrentTestName() + L"_" + std::to_wstring(moment));
        LayOutScriptedLaunch(install);
        install.WriteFile(L"runtime-grandchild.txt", "");
        TestProcess launcher = install.StartLauncher();
        const RuntimeStart start = WaitForRuntimeStart(install);
        for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
            ADD_FAILURE() << "unexpected box \"" << Utf8(box.title) << "\": \"" << Utf8(box.text) << "\"";
        }
        ASSERT_TRUE(start.recorded) << "launcher running: " << launcher.IsRunning();
        ::Sleep(moment);
        launcher.Kill();
        EXPECT_TRUE(launcher.WaitForExit(10000)) << "the launcher survived TerminateProcess";
        EXPECT_TRUE(ProcessEnds(start.pid, 10000)) << "the main application outlived the launcher";
        // A child being started at the moment of the kill may record itself a little later.
        PumpFor(300);
        if (install.Exists(L"grandchild-pid.txt")) {
            const std::string pid = install.ReadFile(L"grandchild-pid.txt");
            if (!pid.empty()) {
                EXPECT_TRUE(ProcessEnds(static_cast<DWORD>(std::stoul(pid)), 10000))
                    << "the main application's child outlived the launcher";
            }
        }
        EXPECT_TRUE(WaitForNoProcess(L"InPrRtm.exe", 10000)) << "a process of the main application is left";
        KillScenarioProcesses();
    }
}

// Another program already holds the name "MyJobObject", as a job or as an
// object of another kind: the main application must not join another
// program's job, and still ends with the launcher.
TEST_F(LoadScenario, TheJobNameHeldByAnotherProgramStillEndsTheMainApplicationWithTheLauncher) {
    struct Holder {
        const wchar_t* kind;
        HANDLE (*create)();
        bool isJob;
    } holders[] = {
        {L"job", [] { return ::CreateJobObjectW(nullptr, L"MyJobObject"); }, true},
        {L"event", [] { return ::CreateEventW(nullptr, TRUE, FALSE, L"MyJobObject"); }, false},
    };
    for (const Holder& holder : holders) {
        SCOPED_TRACE("the name is held by a " + Utf8(holder.kind));
        HANDLE foreign = holder.create();
        ASSERT_NE(nullptr, foreign);
        ScratchInstall install(CurrentTestName() + L"_" + holder.kind);
        LayOutScriptedLaunch(install);
        install.WriteFile(L"runtime-hold.txt", "");
        TestProcess launcher = install.StartLauncher();
        const RuntimeStart start = WaitForRuntimeStart(install);
        ASSERT_TRUE(start.recorded);
        HANDLE runtime = ::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, start.pid);
        ASSERT_NE(nullptr, runtime);
        if (holder.isJob) {
            BOOL inForeignJob = TRUE;
            EXPECT_TRUE(::IsProcessInJob(runtime, foreign, &inForeignJob));
            EXPECT_FALSE(inForeignJob) << "the main application joined another program's job";
        }
        launcher.Kill();
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(runtime, 10000))
            << "the main application outlived the launcher";
        ::CloseHandle(runtime);
        ::CloseHandle(foreign);
        KillScenarioProcesses();
    }
}
