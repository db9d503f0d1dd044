#include "app/QuiloMfcApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/ElevatedRelaunch.h"
#include "app/ElevationRule.h"
#include "app/LastResort.h"
#include "util/ProductConstants.h"
#include "bridge/BridgeHost.h"
#include "launch/EarlyDigests.h"
#include "launch/LaunchMessages.h"
#include "launch/RestartChain.h"
#include "util/ShellStartError.h"
#include "launch/SystemErrorText.h"
#include "loader_window/QuiloMfcAppDlg.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/ScopedHandle.h"
#include "util/StartupPhases.h"
#include "util/Trace.h"

namespace {
constexpr wchar_t kAlreadyRunningText[] = L"已经在运行中！\n请在电脑任务栏查找软件图标打开主界面！";
constexpr wchar_t kAlreadyRunningTitle[] = L"重复打开软件提示";
constexpr wchar_t kElevationFailedText[] = L"软件当前安装在系统盘，以管理员身份启动失败！\n原因：";
constexpr wchar_t kElevationFailedTitle[] = L"加载失败提示";
constexpr wchar_t kFrameworkRegistryKey[] = L"应用程序向导生成的本地应用程序";
}  // namespace

// Libraries (the bridge and everything it imports) are looked up only in the
// launcher's own folder and the system folders, never in the current
// directory or on PATH, where anyone could have planted a file of that name.
// The bridge is still loaded by its bare name, so the launcher's folder comes
// first as before. The call is looked up at run time: Windows 7 has it only
// with its security update KB2533623.
void RestrictLibrarySearchPath() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto setDefaultDllDirectories =
        kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                     reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
               : nullptr;
    if (setDefaultDllDirectories) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
    // Also where the call is missing: the current directory leaves the search order.
    ::SetDllDirectoryW(L"");
}

QuiloMfcApp::QuiloMfcApp() {
    m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
}

BOOL QuiloMfcApp::InitInstance() {
    InstallCrashFilter();
    BeginPhases();
    // Taken before anything can start another program, so that only the
    // launcher's own restart passes it on.
    TheStartupState().inheritedRestartChain = TakeInheritedRestartChain();
    RestrictLibrarySearchPath();

    // The link class is named explicitly: Windows does not promise it with the
    // other classes, and the loader window's links need it.
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS;
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();

    if (!ClaimSingleInstance()) {
        return EndStartup();
    }
    const bool elevated = IsRunAsAdmin();
    TraceValue(L"elevated", elevated ? L"yes" : L"no");
    if (ShouldRelaunchElevated(elevated, IsOnSystemDrive())) {
        TraceValue(L"elevation", L"installed on the system drive, relaunching as administrator");
        RelaunchElevated();
        return EndStartup();
    }
    TheStartupState().installDirectory = GetInstallDirectory();
    TraceValue(L"install directory", TheStartupState().installDirectory);
    // Read while the checks run, the bridge loads and the window appears; a
    // start that ends before the launch stops them.
    EarlyDigests digests(TheStartupState().installDirectory);
    if (!CheckRequiredFiles()) {
        return EndStartup();
    }
    if (!PrepareRuntime()) {
        return EndStartup();
    }
    if (!CheckInstallLocation()) {
        return FALSE;
    }
    SetRegistryKey(kFrameworkRegistryKey);
    RunLoaderWindow(digests);
    return FALSE;
}

int QuiloMfcApp::ExitInstance() {
    TraceCosts();
    if (TheStartupState().bridgeLoaded) {
        TheBridgeHost().Unload();
    }
    return CWinApp::ExitInstance();
}

BOOL QuiloMfcApp::EndStartup() {
    ExitInstance();
    return FALSE;
}

bool QuiloMfcApp::ClaimSingleInstance() {
    StartupState& state = TheStartupState();
    state.singleInstanceMutex.reset(::CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName));
    if (::GetLastError() != ERROR_ALREADY_EXISTS) {
        TraceValue(L"single instance", L"first copy");
        return true;
    }
    TraceValue(L"single instance", L"another copy runs");
    ShowWarning(std::wstring(kProductDisplayName) + kAlreadyRunningText, kAlreadyRunningTitle);
    ReleaseSingleInstanceMutex();
    return false;
}

void QuiloMfcApp::RelaunchElevated() {
    const std::wstring launcherPath = GetLauncherPath();
    // The elevated copy repeats the single-instance test at once, possibly before
    // ShellExecuteExW returns here, so the mutex is let go before asking. If the
    // relaunch fails, this copy ends after its message anyway.
    ReleaseSingleInstanceMutex();
    SHELLEXECUTEINFOW info = ElevatedRelaunchRequest(launcherPath);
    if (::ShellExecuteExW(&info)) {
        // The copy runs on its own; its handle is not needed.
        ScopedKernelHandle relaunched(info.hProcess);
        return;
    }
    const DWORD error = ShellStartError(::GetLastError(), reinterpret_cast<INT_PTR>(info.hInstApp));
    TraceValueOf(L"elevation", [&] { return L"relaunch failed, error " + std::to_wstring(error); });
    ShowWarning(kElevationFailedText + SystemErrorText(error), kElevationFailedTitle);
}

void QuiloMfcApp::ProcessWndProcException(const std::exception* error) {
    ShowWarning(UncaughtExceptionMessage(error), kLoadingFailureTitle);
    // A quit request ends the loader window's loop, as closing it does; start-up
    // then returns and the exit routine unloads the bridge.
    ::PostQuitMessage(0);
}

void QuiloMfcApp::RunLoaderWindow(EarlyDigests& digests) {
    const StartupState& state = TheStartupState();
    LoaderWindowSettings settings;
    settings.installDirectory = state.installDirectory;
    settings.bridge = &TheBridgeHost();
    settings.launch.installDirectory = state.installDirectory;
    settings.launch.launcherPath = GetLauncherPath();
    settings.launch.updaterFileName = state.updaterFileName;
    settings.launch.bridge = &TheBridgeHost();
    settings.launch.earlyDigests = &digests;
    settings.launch.phases = &StartupPhaseRecorder();
    settings.launch.online = state.online;
    settings.launch.inheritedRestartChain = state.inheritedRestartChain;
    settings.launch.releaseSingleInstance = &ReleaseSingleInstanceMutex;
    settings.launch.reclaimSingleInstance = &ReclaimSingleInstanceMutex;
    settings.defaultGuiFontFace = state.defaultGuiFontFace;
    CQuiloMfcAppDlg dialog(std::move(settings));
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    if (dialog.CreationFailed()) {
        ShowWarning(LoaderWindowFailureMessage(dialog.CreationError()), kLoadingFailureTitle);
    }
}
