#include <windows.h>
#include <exception>

#include <shellapi.h>

#include "app/StartupState.h"
#include "framework/WinApp.h"
#include "launch/LaunchMessages.h"
#include "launch/QuitRequest.h"
#include "launch/RestartChain.h"
#include "launch/RuntimeArguments.h"
#include "launch/RuntimeFiles.h"
#include "launch/RuntimeProcess.h"
#include "launch/SystemErrorText.h"
#include "loader_window/QuiloMfcAppDlg.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/TextConvert.h"

namespace {

// Parks the executable under its name without extension until the next run.
// A failure is told, not thrown: the launcher is hidden by now and must still end.
void ParkRuntime() {
    const std::wstring& installDirectory = TheStartupState().installDirectory;
    const std::wstring livePath = CombinePath(installDirectory, kLiveRuntimeName);
    const std::wstring parkedPath = CombinePath(installDirectory, kParkedRuntimeName);
    if (!::MoveFileW(livePath.c_str(), parkedPath.c_str())) {
        ShowWarning(kParkFailedPrefix + SystemErrorText(::GetLastError()), kSoftwareLoadTitle);
    }
}

// Starts the launcher's own executable with the restart chain in its environment.
bool StartLauncherCopy(const std::wstring& restartChain, DWORD& error) {
    wchar_t launcherPath[kPathBufferLength] = {};
    CWinApp* app = AfxGetApp();
    const DWORD length =
        ::GetModuleFileNameW(app ? app->m_hInstance : nullptr, launcherPath, kPathBufferLength);
    if (length == 0 || length >= kPathBufferLength) {
        error = length == 0 ? ::GetLastError() : ERROR_INSUFFICIENT_BUFFER;
        return false;
    }
    PassRestartChainOn(restartChain);
    const INT_PTR started =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", launcherPath, nullptr, nullptr, SW_SHOW));
    if (started > 32) {
        return true;
    }
    // The shell's own codes up to 32 that it has not set as the last error
    // are the system's codes of the same value (file not found, access denied...).
    error = ::GetLastError();
    if (error == ERROR_SUCCESS) {
        error = started != 0 ? static_cast<DWORD>(started) : ERROR_NOT_ENOUGH_MEMORY;
    }
    return false;
}

// The mutex goes first: the second copy repeats the single-instance test at
// once. The executable stays at its live name for it; when there is no second
// copy, it is parked as after every other end, and the user is told.
void RestartLauncher() {
    const RestartDecision decision =
        DecideRestart(TheStartupState().inheritedRestartChain, CurrentSystemTime());
    if (!decision.restart) {
        ParkRuntime();
        ShowWarning(kRestartLoopMessage, kSoftwareLoadTitle);
        return;
    }
    ReleaseSingleInstanceMutex();
    DWORD error = ERROR_SUCCESS;
    if (!StartLauncherCopy(decision.chainForNextCopy, error)) {
        ParkRuntime();
        ShowWarning(kRestartFailedPrefix + ReduceFailureText(SystemErrorText(error)), kSoftwareLoadTitle);
    }
}

}  // namespace

void CQuiloMfcAppDlg::LaunchRuntime() {
    const StartupState& state = TheStartupState();
    if (!state.bridgeLoaded) {
        ShowWarning(kBridgeNotLoadedMessage, kLoadSoftwareTitle);
        return;
    }
    // Once the window is hidden the user can no longer close it: whatever
    // happens from then on, the launcher must end rather than linger holding
    // the single-instance mutex. A standard exception never leaves this
    // routine; staging's own (out of memory, say) is reported the same way.
    bool windowHidden = false;
    try {
        if (!StageRuntime()) {
            return;
        }
        ScopedKernelHandle job = CreateKillOnCloseJob();

        RuntimeLaunchValues values;
        values.livePath = CombinePath(state.installDirectory, kLiveRuntimeName);
        values.installDirectory = state.installDirectory;
        values.updaterFileName = state.updaterFileName;
        values.online = state.online;
        const std::wstring commandLine = BuildRuntimeCommandLine(BuildRuntimeArguments(values));

        ScopedProcessInformation child;
        DWORD startError = 0;
        if (!StartRuntimeProcess(commandLine, child, startError) ||
            !AdmitToJobAndResume(job, child, startError)) {
            ShowWarning(kLaunchFailedPrefix + ReduceFailureText(SystemErrorText(startError)),
                        kSoftwareLoadTitle);
            return;
        }

        // No message is processed while the main application runs.
        HideWindow();
        windowHidden = true;
        WaitForRuntime(job, child);
        job.Close();

        DWORD exitCode = 0;
        ::GetExitCodeProcess(child.process.get(), &exitCode);
        child.process.Close();
        child.thread.Close();
        ::Sleep(1000);

        // The updater starts before the executable is parked back, and the
        // mutex is released before the launcher's second copy starts.
        switch (ActionForExitCode(exitCode)) {
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
        PostQuitRequest(m_hWnd);
    } catch (const std::exception& exception) {
        ShowWarning(kLaunchFailedPrefix + ReduceFailureText(NarrowToWide(exception.what())),
                    kSoftwareLoadTitle);
        if (windowHidden) {
            PostQuitRequest(m_hWnd);
        }
    }
}
