#ifndef QUILO_UTIL_MESSAGEBOX_H
#define QUILO_UTIL_MESSAGEBOX_H

// Every message the launcher shows outside its loader window is a system
// message box with the warning icon, shown through these routines.

#include <string>

#include <windows.h>

// The title shown when the caller gives none.
constexpr wchar_t kDefaultMessageTitle[] = L"提示";

// Reduces the system's answer to the button identifiers 1 to 7; anything else
// (0 when the box could not be shown, "Try Again", "Continue") becomes IDCANCEL.
int MapMessageBoxAnswer(int systemAnswer);

// The support trace's line for a box the user saw: "message box: TITLE | TEXT
// | answer: OK"; a box the system could not show answers "not shown".
std::wstring MessageBoxTraceLine(const std::wstring& title, const std::wstring& text, int systemAnswer);

int ShowMessageBox(const std::wstring& text, UINT style, std::wstring title, HWND owner = nullptr);
int ShowWarning(const std::wstring& text, std::wstring title, HWND owner = nullptr);
int AskOkCancel(const std::wstring& text, std::wstring title, HWND owner = nullptr);
int AskYesNo(const std::wstring& text, std::wstring title, HWND owner = nullptr);

#endif
