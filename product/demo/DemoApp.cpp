// The demo main application. The launcher starts it as its runtime executable
// with 15 quoted arguments; it shows what it received and lets a person end it
// with each exit code the launcher acts on.
#include <string>
#include <vector>

#include <windows.h>

#include "DemoCommon.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TarvexDemoApp";
constexpr wchar_t kWindowTitle[] = L"Tarvex 发票 (演示)";
constexpr size_t kExpectedPositions = 15;
constexpr UINT_PTR kAutoCloseTimer = 1;

constexpr int kArgumentsId = 100;
constexpr int kCountdownId = 101;

struct ExitChoice {
    int controlId;
    int exitCode;
    const wchar_t* label;
};

// The launcher's exit-code protocol, one button each.
const ExitChoice kExitChoices[] = {
    {200, 0, L"正常结束 (0)"},
    {202, 2, L"运行参数错误 (2)"},
    {204, 4, L"重启启动程序 (4)"},
    {206, 6, L"开始升级 (6)"},
};

HFONT g_font = nullptr;
HFONT g_titleFont = nullptr;
UINT g_secondsLeft = 0;

std::wstring ArgumentLines(const std::vector<std::wstring>& arguments) {
    std::wstring text;
    for (size_t i = 0; i < arguments.size(); ++i) {
        wchar_t number[16] = {};
        wsprintfW(number, L"[%2u] ", static_cast<unsigned>(i));
        text += number + arguments[i] + L"\r\n";
    }
    if (arguments.size() != kExpectedPositions) {
        wchar_t note[96] = {};
        wsprintfW(note, L"(收到 %u 个位置，启动程序应传 %u 个)", static_cast<unsigned>(arguments.size()),
                  static_cast<unsigned>(kExpectedPositions));
        text += note;
    }
    return text;
}

std::wstring CountdownText() {
    if (g_secondsLeft == 0) {
        return L"选择结束方式，启动程序将按退出码处理。";
    }
    wchar_t text[96] = {};
    wsprintfW(text, L"无人值守演示：%u 秒后以退出码 0 自动结束。", g_secondsLeft);
    return text;
}

void EndWith(HWND window, int exitCode) {
    wchar_t line[32] = {};
    wsprintfW(line, L"exit %d\n", exitCode);
    DemoRecord(L"tarvex_demo_app.txt", line);
    ::DestroyWindow(window);
    ::PostQuitMessage(exitCode);
}

void CreateControls(HWND window, HINSTANCE instance) {
    const std::vector<std::wstring> arguments = DemoArguments();
    std::wstring record = L"start\n";
    for (const std::wstring& argument : arguments) {
        record += L"arg " + argument + L"\n";
    }
    DemoRecord(L"tarvex_demo_app.txt", record);

    HWND heading = ::CreateWindowExW(0, L"STATIC", L"Tarvex 发票 — 演示主程序", WS_CHILD | WS_VISIBLE, 16, 12,
                                     600, 28, window, nullptr, instance, nullptr);
    wchar_t caption[96] = {};
    wsprintfW(caption, L"启动程序传来的参数（%u 个位置）：", static_cast<unsigned>(arguments.size()));
    ::CreateWindowExW(0, L"STATIC", caption, WS_CHILD | WS_VISIBLE, 16, 46, 600, 20, window, nullptr,
                      instance, nullptr);
    ::CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", ArgumentLines(arguments).c_str(),
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL, 16, 70,
        700, 330, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kArgumentsId)), instance, nullptr);
    int x = 16;
    for (const ExitChoice& choice : kExitChoices) {
        ::CreateWindowExW(0, L"BUTTON", choice.label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x,
                          414, 166, 32, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(choice.controlId)), instance, nullptr);
        x += 178;
    }
    ::CreateWindowExW(0, L"STATIC", CountdownText().c_str(), WS_CHILD | WS_VISIBLE, 16, 456, 700, 20, window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCountdownId)), instance, nullptr);
    g_font = CreateDemoFont(15);
    g_titleFont = CreateDemoFont(20, true);
    ApplyFontToChildren(window, g_font);
    if (g_titleFont) {
        ::SendMessageW(heading, WM_SETFONT, reinterpret_cast<WPARAM>(g_titleFont), TRUE);
    }
}

LRESULT CALLBACK DemoAppProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls(window, reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance);
            if (g_secondsLeft > 0) {
                ::SetTimer(window, kAutoCloseTimer, 1000, nullptr);
            }
            return 0;
        case WM_TIMER:
            if (wParam == kAutoCloseTimer && g_secondsLeft > 0) {
                --g_secondsLeft;
                ::SetDlgItemTextW(window, kCountdownId, CountdownText().c_str());
                if (g_secondsLeft == 0) {
                    ::KillTimer(window, kAutoCloseTimer);
                    EndWith(window, 0);
                }
            }
            return 0;
        case WM_COMMAND:
            for (const ExitChoice& choice : kExitChoices) {
                if (LOWORD(wParam) == choice.controlId && HIWORD(wParam) == BN_CLICKED) {
                    EndWith(window, choice.exitCode);
                    return 0;
                }
            }
            break;
        case WM_CLOSE:
            // Closing the window is a normal end.
            EndWith(window, 0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    g_secondsLeft = DemoAutoCloseSeconds();
    if (!RegisterDemoWindowClass(instance, kWindowClass, &DemoAppProc)) {
        return 1;
    }
    RECT frame = {0, 0, 732, 490};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND window = ::CreateWindowExW(0, kWindowClass, kWindowTitle,
                                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                    nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    ::ShowWindow(window, showCommand);
    ::UpdateWindow(window);
    ::SetForegroundWindow(window);
    const int exitCode = RunDemoMessageLoop();
    if (g_font) {
        ::DeleteObject(g_font);
    }
    if (g_titleFont) {
        ::DeleteObject(g_titleFont);
    }
    return exitCode;
}
