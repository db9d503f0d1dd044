#include "app/QuiloMfcApp.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "util/DotNetRegistry.h"
#include "app/ElevationRule.h"
#include "app/PrerequisiteRules.h"
#include "util/ProductConstants.h"
#include "bridge/BridgeHost.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/ScopedHandle.h"
#include "util/StartupPhases.h"
#include "util/Trace.h"

namespace {
constexpr wchar_t kInitTitle[] = L"初始化提示";
constexpr wchar_t kRuntimeCheckTitle[] = L"运行环境检测提示";
constexpr wchar_t kRequiredFilesMissingText[] = L"软件安装目录下有重要文件缺失，请使用软件安装包修复软件！";
constexpr wchar_t kDotNetMissingText[] =
    L"电脑上可能缺少.Net Framework4.5.2 运行环境，请进入微软官网下载安装.Net "
    L"Framework4.5.2或以上版本后再尝试运行本软件！\n是否继续？";
constexpr wchar_t kDesktopInstallText[] = L"软件不可直接安装在电脑桌面，请卸载后重新安装！";

// Pages are opened without asking and a shell that cannot open them is not reported.
void OpenPage(const std::wstring& address) {
    ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

const LOGFONTW* ReadDefaultGuiFont(LOGFONTW& font) {
    HGDIOBJ stockFont = ::GetStockObject(DEFAULT_GUI_FONT);
    if (!stockFont || ::GetObjectW(stockFont, sizeof(font), &font) == 0) {
        return nullptr;
    }
    return &font;
}
}  // namespace

bool QuiloMfcApp::IsRunAsAdmin() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    ScopedSid administrators;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                    0, 0, 0, 0, 0, administrators.Receive())) {
        return false;
    }
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, administrators.get(), &member)) {
        return false;
    }
    return member == TRUE;
}

bool IsPathOnSystemDrive(const std::wstring& path) {
    wchar_t systemDirectory[kPathBufferLength] = {};
    ::GetSystemDirectoryW(systemDirectory, kPathBufferLength);
    return IsSameDriveRoot(path, systemDirectory);
}

bool QuiloMfcApp::IsOnSystemDrive() {
    return IsPathOnSystemDrive(GetLauncherPath());
}

bool QuiloMfcApp::CheckRequiredFiles() {
    const std::wstring missing = FirstMissingRequiredFile(
        TheStartupState().installDirectory, [](const std::wstring& directory, const std::wstring& name) {
            return FileExists(CombinePath(directory, name));
        });
    if (missing.empty()) {
        TraceValue(L"required files", L"all present");
        return true;
    }
    // The full path, as checked: support sees where the launcher looked.
    TraceValueOf(L"required files",
                 [&] { return CombinePath(TheStartupState().installDirectory, missing) + L" missing"; });
    ShowWarning(kRequiredFilesMissingText, kInitTitle);
    OpenPage(std::wstring(kWebsiteAddress) + kSoftwareListPath);
    return false;
}

bool QuiloMfcApp::PrepareRuntime() {
    StartupState& state = TheStartupState();
    TraceValueOf(L".NET release", [] { return DotNetReleaseText(); });
    if (IsDotNetReleaseSufficient()) {
        state.frameworkReady = true;
    } else {
        if (AskYesNo(kDotNetMissingText, kRuntimeCheckTitle) != IDYES) {
            OpenPage(kDotNetDownloadPage);
            return false;
        }
        state.frameworkReady = IsDotNet4Installed();
        TraceValue(L".NET 4 install flag", state.frameworkReady ? L"set" : L"not set");
    }
    EndPhase(L"checks");

    LOGFONTW font = {};
    state.defaultGuiFontFace = ChooseGuiFontFace(ReadDefaultGuiFont(font), state.defaultGuiFontFace);

    if (state.frameworkReady) {
        state.bridgeLoaded = TheBridgeHost().Load(state.installDirectory);
        if (state.bridgeLoaded) {
            // The bridge's explanation of a failed status query is not shown:
            // the answer is then 0 and start-up simply runs offline.
            std::wstring statusError;
            const int status = TheBridgeHost().QueryStatus(statusError);
            state.online = status != 0;
            TraceValueOf(L"bridge status", [&] {
                return statusError.empty() ? std::to_wstring(status) : L"error: " + statusError;
            });
        }
    } else {
        TraceValue(L"bridge load", L"skipped, no .NET Framework");
    }
    EndPhase(L"bridge");

    const std::wstring defaultUpdater = CombinePath(state.installDirectory, state.updaterFileName);
    state.updaterFileName = ChooseUpdaterFileName(::PathFileExistsW(defaultUpdater.c_str()) != FALSE);
    TraceValue(L"updater", state.updaterFileName);
    return true;
}

bool QuiloMfcApp::CheckInstallLocation() {
    if (!IsDesktopFolder(TheStartupState().installDirectory, GetDesktopFolder())) {
        TraceValue(L"desktop rule", L"not on the desktop");
        return true;
    }
    TraceValue(L"desktop rule", L"installed on the desktop, refused");
    ShowWarning(kDesktopInstallText, kInitTitle);
    ExitInstance();
    return false;
}
