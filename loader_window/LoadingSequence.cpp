#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include "util/ProductConstants.h"
#include "bridge/BridgeHost.h"
#include "loader_window/QuiloMfcAppDlg.h"
#include "util/MessageBox.h"
#include "util/StartupPhases.h"
#include "util/Trace.h"

namespace {

constexpr wchar_t kBridgeMissingStatus[] = L"运行库加载失败，请尝试重启软件...";
constexpr wchar_t kBridgeMissingMessage[] =
    L"软件启动失败！当前电脑缺少必需的运行库。\n请先安装相关运行环境或使用软件安装包修复。\n\n"
    L"如需帮助，请联系软件服务人员。";
constexpr wchar_t kBridgeMissingTitle[] = L"初始化失败";
constexpr wchar_t kDataStoreDamagedStatus[] = L"数据文件错误，请下载完整安装包修复。";

}  // namespace

bool CQuiloMfcAppDlg::RunLoadingSequence() {
    EndPhase(L"window");
    const bool bridgeLoaded = bridge_ && bridge_->IsLoaded();
    if (bridge_) {
        std::wstring ignoredError;
        computerId_ = bridge_->QueryComputerId(ignoredError);
    }

    if (!bridgeLoaded) {
        SetStatusText(kBridgeMissingStatus);
        ShowWarning(kBridgeMissingMessage, kBridgeMissingTitle);
        return true;
    }

    // The updater replaces the main application's files, so it must run alone:
    // the launcher ends at once, without waiting for the user.
    if (launch_.IsUpdatePending() && launch_.StartUpdater(false)) {
        PostQuitRequest();
        return true;
    }

    if (!launch_.CheckDataStore()) {
        SetStatusText(kDataStoreDamagedStatus);
        const std::wstring page = std::wstring(kWebsiteAddress) + kSoftwareListPath;
        ::ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return true;
    }

    // Shown now so that, should the launch fail, the user can try again.
    ShowContinueLink();
    launch_.LaunchRuntime();
    return false;
}
