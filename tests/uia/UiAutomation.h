#ifndef QUILO_TESTS_UIA_UIAUTOMATION_H
#define QUILO_TESTS_UIA_UIAUTOMATION_H

// Drives a program through its windows, as a person would: find its top-level
// windows, read a message box, press its buttons, read and click controls,
// take screenshots. Every wait is bounded and fails with a clear message.

#include <string>
#include <vector>

#include <windows.h>

constexpr DWORD kDefaultWaitMs = 20000;

struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<std::wstring> buttons;  // texts of the visible push buttons, in order
    HWND owner = nullptr;               // the window the box is modal to; null for an ownerless box
    int defaultButton = 0;              // identifier of the default push button (IDOK, IDYES...), 0 if none
    explicit operator bool() const { return window != nullptr; }
};

// Visible or hidden top-level windows of one process (class name optional).
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className = nullptr, bool visibleOnly = true);

// The message boxes (class "#32770" with a static 0xFFFF) a process shows now.
std::vector<MessageBoxInfo> MessageBoxes(DWORD processId);
MessageBoxInfo ReadMessageBox(HWND window);

// Waits until the process shows a message box; an empty result after `timeoutMs`.
MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs = kDefaultWaitMs);
// Waits for a visible top-level window of a class (nullptr: any) of the process.
HWND WaitForWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs = kDefaultWaitMs);
// Waits until the window is gone.
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kDefaultWaitMs);

// Which system icon the box shows ("warning", "information", "error",
// "question"), told from its pixels on the screen: an icon handle is private to
// its process under Wine, so the box's own cannot be read from here. Waits
// (bounded) for the icon to be painted; empty when none of them is there.
std::wstring MessageBoxIcon(HWND box, DWORD timeoutMs = 5000);

// Answers a message box with a button identifier (IDOK, IDCANCEL, IDYES, IDNO).
void AnswerMessageBox(HWND box, int buttonId);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
std::wstring ControlText(HWND parent, int controlId);
bool IsControlVisible(HWND parent, int controlId);
bool IsControlEnabled(HWND parent, int controlId);
// A click on a control as the user makes it: a button press, or for a link
// control its NM_CLICK notification to the parent.
void ClickControl(HWND parent, int controlId);

// Saves the window's pixels, as they are on the screen, to a 24-bit BMP file.
bool SaveWindowScreenshot(HWND window, const std::wstring& bmpPath);
// The colour of one screen pixel, in screen coordinates.
COLORREF ScreenPixel(int x, int y);
// The colours of a rectangle of the screen (screen coordinates), row by row from the top.
std::vector<COLORREF> ScreenPixels(const RECT& rect);

// How far apart two colours are: the sum of their channels' differences.
int ColorDistance(COLORREF a, COLORREF b);

// Sleeps while pumping this thread's messages.
void PumpFor(DWORD milliseconds);

#endif
