#ifndef QUILO_BRIDGE_BRIDGEMESSAGES_H
#define QUILO_BRIDGE_BRIDGEMESSAGES_H

// What the user is told when the bridge library cannot be loaded.

#include <string>

#include <windows.h>

constexpr wchar_t kBridgeInitTitle[] = L"初始化提示";
constexpr wchar_t kRuntimeCheckTitle[] = L"运行环境检测提示";

constexpr wchar_t kComponentLibraryMissingText[] = L"缺少vlab库文件，请使用软件安装包修复软件！";
constexpr wchar_t kBridgeLibraryMissingText[] = L"缺少vapi库文件，请使用软件安装包修复软件！";
constexpr wchar_t kVcRuntimeMissingText[] =
    L"检测到电脑可能未安装微软 VC++ 2015 "
    L"运行库。\n请下载安装后重试。\n如遇运行库安装失败等问题，请联系软件服务人员。\n"
    L"安装包通常保存在桌面，文件名为 VC_redist.x86.exe。";
constexpr wchar_t kCreateWrapperMissingText[] = L"运行库加载失败：未能找到方法。";
constexpr wchar_t kCreateWrapperFailedText[] = L"运行库加载失败：加载内部方法失败。";

// The system reports a library whose own dependencies cannot be found with
// this code; for the bridge that almost always means the Visual C++ runtime.
constexpr DWORD kModuleNotFoundError = ERROR_MOD_NOT_FOUND;

// The Yes/No question for any load failure other than a missing module.
std::wstring LoadFailureQuestion(DWORD errorCode);

#endif
