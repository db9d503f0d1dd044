#include <windows.h>
#include <cwchar>
#include <exception>

#include <shellapi.h>

#include "launch/LaunchMessages.h"
#include "launch/RestartChain.h"
#include "launch/RuntimeArguments.h"
#include "launch/RuntimeFiles.h"
#include "launch/RuntimeLaunch.h"
#include "launch/RuntimeProcess.h"
#include "util/ShellStartError.h"
#include "launch/SystemErrorText.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/StartupPhases.h"
#include "util/TextConvert.h"
#include "util/Trace.h"

namespace {

// Starts the launcher's own executable with the restart chain in its environment.
bool StartLauncherCopy(const std::wstring& launcherPath, const std::wstring& restartChain, DWORD& error) {
    if (launcherPath.empty()) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    PassRestartChainOn(restartChain);
    const INT_PTR started = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", launcherPath.c_str(), nullptr, nullptr, SW_SHOW));
    if (started > 32) {
        return true;
    }
    error = ShellStartError(::GetLastError(), started);
    return false;
}

// Stands in for a recorder when none is given: the launch traces no phase.
class UnrecordedPhases final : public PhaseRecorder {
public:
    void EndPhase(std::wstring_view) noexcept override {}
    void AddDigestTime(double) override {}
    void TraceCosts() override {}
};

PhaseRecorder& PhasesOrNone(PhaseRecorder* phases) {
    static UnrecordedPhases none;
    return phases ? *phases : none;
}

std::wstring ExitActionName(RuntimeExitAction action) {
    switch (action) {
        case RuntimeExitAction::RestartLauncher:
            return L"restart the launcher";
        case RuntimeExitAction::ReportWrongArguments:
            return L"wrong arguments";
        case RuntimeExitAction::StartUpdater:
            return L"start the updater";
        case RuntimeExitAction::NormalEnd:
            break;
    }
    return L"normal end";
}

}  // namespace

RuntimeLaunch::RuntimeLaunch(LaunchWindow& window, LaunchSettings settings)
    : window_(window), settings_(std::move(settings)), phases_(PhasesOrNone(settings_.phases)) {}

// Parks the executable under its name without extension until the next run.
// A failure is told, not thrown: the launcher is hidden by now and must still end.
void RuntimeLaunch::ParkRuntime() {
    const std::wstring livePath = CombinePath(settings_.installDirectory, kLiveRuntimeName);
    const std::wstring parkedPath = CombinePath(settings_.installDirectory, kParkedRuntimeName);
    if (!::MoveFileW(livePath.c_str(), parkedPath.c_str())) {
        ShowWarning(kParkFailedPrefix + SystemErrorText(::GetLastError()), kLoadingFailureTitle);
    }
}

// The mutex goes first: the second copy repeats the single-instance test at
// once. The executable stays at its live name for it; when there is no second
// copy, the mutex is taken back and the executable parked as after every other
// end, and the user is told. A launcher the user started in the meantime owns
// the install directory: its executable is left alone.
void RuntimeLaunch::RestartLauncher() {
    const RestartDecision decision = DecideRestart(settings_.inheritedRestartChain, CurrentSystemTime());
    if (!decision.restart) {
        TraceValue(L"restart", L"refused, too many restarts in a row");
        ParkRuntime();
        ShowWarning(kRestartLoopMessage, kLoadingFailureTitle);
        return;
    }
    if (settings_.releaseSingleInstance) {
        settings_.releaseSingleInstance();
    }
    DWORD error = ERROR_SUCCESS;
    if (!StartLauncherCopy(settings_.launcherPath, decision.chainForNextCopy, error)) {
        TraceValueOf(L"restart", [&] { return L"failed, error " + std::to_wstring(error); });
        const bool reclaimed = !settings_.reclaimSingleInstance || settings_.reclaimSingleInstance();
        if (reclaimed) {
            ParkRuntime();
        }
        ShowWarning(kRestartFailedPrefix + ReduceFailureText(SystemErrorText(error)), kLoadingFailureTitle);
        return;
    }
    TraceValue(L"restart", L"second copy started");
}

// The updater starts before the executable is parked back, and the mutex is
// released before the launcher's second copy starts.
void RuntimeLaunch::ActOnExitCode(unsigned long exitCode) {
    const RuntimeExitAction action = ActionForExitCode(exitCode);
    TraceValueOf(L"exit action", [&] { return ExitActionName(action); });
    switch (action) {
        case RuntimeExitAction::RestartLauncher:
            RestartLauncher();
            break;
        case RuntimeExitAction::ReportWrongArguments:
            ShowWarning(kWrongArgumentsMessage, kErrorTitle);
            ParkRuntime();
            break;
        case RuntimeExitAction::StartUpdater:
            StartUpdater(true);
            ParkRuntime();
            break;
        case RuntimeExitAction::NormalEnd:
            if (IsUpdatePending()) {
                StartUpdater(true);
            }
            ParkRuntime();
            break;
    }
}

void RuntimeLaunch::LaunchRuntime() {
    if (!IsBridgeLoaded()) {
        ShowWarning(kBridgeNotLoadedMessage, kRuntimeUnavailableTitle);
        return;
    }
    // Once the window is hidden the user can no longer close it: whatever
    // happens from then on, the launcher must end rather than linger holding
    // the single-instance mutex. A standard exception never leaves this
    // routine; staging's own (out of memory, say) is reported the same way.
    bool windowHidden = false;
    try {
        const bool staged = StageRuntime();
        phases_.EndPhase(L"staging");
        if (!staged) {
            return;
        }
        ScopedKernelHandle job = CreateKillOnCloseJob();

        RuntimeLaunchValues values;
        values.livePath = CombinePath(settings_.installDirectory, kLiveRuntimeName);
        values.installDirectory = settings_.installDirectory;
        values.updaterFileName = settings_.updaterFileName;
        values.online = settings_.online;
        const std::wstring commandLine = BuildRuntimeCommandLine(BuildRuntimeArguments(values));

        ScopedProcessInformation child;
        DWORD startError = 0;
        if (!StartRuntimeProcess(commandLine, child, startError) ||
            !AdmitToJobAndResume(job, child, startError)) {
            TraceValueOf(L"child", [&] { return L"not started, error " + std::to_wstring(startError); });
            ShowWarning(kLaunchFailedPrefix + ReduceFailureText(SystemErrorText(startError)),
                        kLoadingFailureTitle);
            return;
        }
        phases_.EndPhase(L"child");
        phases_.TraceCosts();
        TraceValueOf(L"child", [&] {
            return L"pid " + std::to_wstring(::GetProcessId(child.process.get())) +
                   (settings_.online ? L", online" : L", offline");
        });
        const TraceStopwatch runTime;

        // No message is processed while the main application runs.
        window_.HideWindow();
        windowHidden = true;
        WaitForRuntime(job, child);
        job.Close();

        DWORD exitCode = 0;
        ::GetExitCodeProcess(child.process.get(), &exitCode);
        child.process.Close();
        child.thread.Close();
        wchar_t seconds[32] = {};
        std::swprintf(seconds, 32, L"%.1f", runTime.ElapsedMilliseconds() / 1000.0);
        TraceValueOf(L"child exit",
                     [&] { return L"code " + std::to_wstring(exitCode) + L" after " + seconds + L" s"; });
        ::Sleep(1000);

        ActOnExitCode(exitCode);
        window_.PostQuitRequest();
    } catch (const std::exception& exception) {
        TraceValueOf(L"launch exception", [&] { return NarrowToWide(exception.what()); });
        ShowWarning(kLaunchFailedPrefix + ReduceFailureText(NarrowToWide(exception.what())),
                    kLoadingFailureTitle);
        if (windowHidden) {
            window_.PostQuitRequest();
        }
    }
}
