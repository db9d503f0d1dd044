#ifndef QUILO_LAUNCH_LAUNCHMESSAGES_H
#define QUILO_LAUNCH_LAUNCHMESSAGES_H

// What the launch tells the user, and under which title.

#include "util/ProductConstants.h"

// The two titles differ only in the order of their words. This one is for the
// launch finding no main application to start (the bridge not loaded, no
// executable after staging)...
constexpr wchar_t kRuntimeUnavailableTitle[] = L"加载软件提示";
// ...and this one for every other failure of the loading: staging, the
// rebuild's diagnosis, the start, the last-resort warnings.
constexpr wchar_t kLoadingFailureTitle[] = L"软件加载提示";
constexpr wchar_t kErrorTitle[] = L"错误提示";

constexpr wchar_t kBridgeNotLoadedMessage[] = L"软件启动失败！\n软件运行库未成功加载。";
constexpr wchar_t kRuntimeConfigMessage[] = L"读取配置文件失败！\r\nAppConf-apexm5";
constexpr wchar_t kDataStoreConfigMessage[] = L"加载配置文件失败！\r\nAppConf-apdbm5";
constexpr wchar_t kRuntimeMissingMessage[] = L"软件加载失败，未找到加载文件，请重试。";
constexpr wchar_t kWrongArgumentsMessage[] = L"运行参数错误。";
// Followed by the reduced system text, or by the text of a caught exception.
constexpr wchar_t kLaunchFailedPrefix[] = L"加载失败！\n";
// The main application asked for a restart on every start, three restarts in
// a row within a minute: restarting again would only repeat it.
constexpr wchar_t kRestartLoopMessage[] =
    L"软件启动失败！\n软件多次请求重新启动仍未能正常运行，已停止自动重启。\n"
    L"请重启电脑后再打开软件，若仍无法启动，请尝试下载完整安装包安装修复。\n" QUILO_SUPPORT_CONTACT;
// The launcher's second copy could not be started; followed by the reduced system text.
constexpr wchar_t kRestartFailedPrefix[] = L"软件重新启动失败！\n";

// A live runtime executable left next to its parked copy (an earlier run that
// did not end normally, or a copy started by hand): the launcher cannot tell
// which one is current, so it starts neither.
constexpr wchar_t kBothRuntimeCopiesMessage[] =
    L"软件加载失败！\n安装目录中同时存在 InPrRtm.exe 和 ertmcache，无法确定应启动哪一个。\n"
    L"请确认软件未在运行后删除 InPrRtm.exe，再重新启动软件。";
// The parked copy could not be moved to its live name for another reason;
// followed by the system's reason.
constexpr wchar_t kUnparkFailedPrefix[] = L"软件加载失败！\n无法准备运行文件 InPrRtm.exe。\n原因：";
// After the main application ended, its executable could not be parked again;
// followed by the system's reason. The launcher still ends.
constexpr wchar_t kParkFailedPrefix[] = L"软件已退出，但运行文件 InPrRtm.exe 无法恢复为 ertmcache。\n原因：";

#endif
