#ifndef QUILO_LAUNCH_UPDATEHANDOFF_H
#define QUILO_LAUNCH_UPDATEHANDOFF_H

// Texts of the update hand-off. An update waits when "upd.tmp" is present,
// the "update" folder holds something and the marker says "6"; the updater
// then runs instead of, or after, the main application.

constexpr wchar_t kUpdateTitle[] = L"软件升级提示";
constexpr wchar_t kUpdaterMissingMessage[] = L"升级程序加载失败！\n文件丢失。";
constexpr wchar_t kUpdaterStartFailedPrefix[] = L"升级程序加载失败！\n";

// The updater has started but its marker stays: the next start of the launcher
// would hand over again, so the user is told why (followed by the system's reason).
constexpr wchar_t kMarkerNotDeletedPrefix[] = L"升级程序已启动，但无法删除升级标记文件 upd.tmp。\n原因：";

#endif
