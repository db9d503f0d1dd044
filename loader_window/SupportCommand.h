#ifndef QUILO_LOADER_WINDOW_SUPPORTCOMMAND_H
#define QUILO_LOADER_WINDOW_SUPPORTCOMMAND_H

// What the online-support link hands to the support program, and the texts it
// shows. The support program reads five space-separated values and nothing
// else; it does not understand quotes, so none are added.

#include <string>

#include <windows.h>

constexpr wchar_t kSupportProgramBaseName[] = L"Pelko";
constexpr wchar_t kSupportProgramExtension[] = L".exe";
// The support service's host; a documentation-range address until the
// service has its own.
constexpr wchar_t kSupportServerAddress[] = L"192.0.2.66";
constexpr wchar_t kSupportServerPort[] = L"6629";
constexpr wchar_t kSupportProductTag[] = L"_TVX_";
constexpr wchar_t kSupportPageTag[] = L"_LoadPage";
constexpr wchar_t kSupportDatePattern[] = L"%Y-%m-%d";

constexpr wchar_t kSupportAlreadyOpenText[] = L"会话窗口已打开，请不要重复打开！";
constexpr wchar_t kSupportAlreadyOpenTitle[] = L"重复打开在线客服窗口提示";
constexpr wchar_t kSupportStartFailedText[] = L"加载失败！\n请尝试重启软件！";
constexpr wchar_t kSupportFailureTitle[] = L"软件加载提示";
constexpr wchar_t kSupportFailurePrefix[] = L"加载失败！\n";
constexpr wchar_t kSupportSystemErrorReason[] = L"原因：系统错误。";

constexpr wchar_t kCloseQuestionText[] = L"确定关闭软件吗？";
constexpr wchar_t kCloseQuestionTitle[] = L"退出软件提示";

std::wstring SupportProgramFileName();

// Computer identifier, product tag, launcher version, "_", date, page tag.
std::wstring BuildSupportArgument(const std::wstring& computerId, const std::wstring& launcherVersion,
                                  const std::wstring& dateText);

// The five values joined by single spaces, as they are.
std::wstring BuildSupportCommandLine(const std::wstring& programPath, const std::wstring& serverAddress,
                                     const std::wstring& serverPort, const std::wstring& supportArgument,
                                     const std::wstring& productName);

// The message for a standard exception met while starting the support
// program: a text naming the runtime executable or its cache tells the user
// nothing useful and is replaced by a general reason.
std::wstring SupportExceptionMessage(const std::wstring& exceptionText);

#endif
