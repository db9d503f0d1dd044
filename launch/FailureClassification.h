#ifndef QUILO_LAUNCH_FAILURECLASSIFICATION_H
#define QUILO_LAUNCH_FAILURECLASSIFICATION_H

// The pure part of the rebuild-failure diagnosis: which of the five messages a
// failed rebuild of the runtime executable gets. Portable code without Windows
// headers, so that the classification can be fuzzed on the host.

#include <functional>
#include <string>

#include "util/ProductConstants.h"

constexpr wchar_t kPathMessage[] =
    L"软件加载失败！\n可能原因：检测到操作系统语言为繁体中文，导致安装路径无法识别。\n"
    L"参考解决方法：请卸载软件后，将其安装至英文或拼音命名的文件夹，再重新启动软件。\n" QUILO_SUPPORT_CONTACT;
constexpr wchar_t kStoreRetryMessage[] =
    L"软件加载失败！\n请重试，若多次尝试仍加载失败，请尝试下载完整安装包安装修复。\n" QUILO_SUPPORT_CONTACT;
constexpr wchar_t kGeneralRetryMessage[] =
    L"软件加载失败！\n请重试，若多次尝试仍加载失败，请重启电脑或尝试下载完整安装包安装修复。"
    L"\n" QUILO_SUPPORT_CONTACT;
constexpr wchar_t kFrameworkMessage[] =
    L"软件加载失败！\n请检查电脑是否已正确安装微软.NET Framework4.5.2或以上版本。" QUILO_SUPPORT_CONTACT;

// The bridge's error text framed for the user.
std::wstring BridgeTextMessage(const std::wstring& bridgeError);

// Whether the bridge's error text says the data store was not readable as
// expected (case-sensitive search for any of the known markers).
bool HasRegenerationMarker(const std::wstring& bridgeError);

// The CJK unified ideographs PathHasCjk looks for: U+4E00 to U+9FFF, both included.
constexpr wchar_t kFirstCjkIdeograph = 0x4E00;
constexpr wchar_t kLastCjkIdeograph = 0x9FFF;

// Whether the path holds a CJK unified ideograph (U+4E00 to U+9FFF) anywhere.
bool PathHasCjk(const std::wstring& path);

// The one message for a failed rebuild. The locale and path facts are taken as
// values; the framework test is asked only on the branches that need it.
std::wstring ChooseRegenerationMessage(const std::wstring& bridgeError, bool pathHasCjk,
                                       bool systemLocaleZhCn,
                                       const std::function<bool()>& isDotNetReleaseSufficient);

#endif
