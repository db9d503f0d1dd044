// The demo updater. The launcher starts it (verb "open", no arguments) when an
// update waits. It shows that it is working for a few seconds and ends; it
// does not start the launcher again, so the demo cannot go round in a loop.
#include <string>

#include <windows.h>

#include "DemoCommon.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TarvexDemoUpdater";
constexpr wchar_t kWindowTitle[] = L"Tarvex 升级 (演示)";
constexpr UINT_PTR kEndTimer = 1;
constexpr UINT kShowSeconds = 4;

HFONT g_font = nullptr;

LRESULT CALLBACK UpdaterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            HINSTANCE instance = reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance;
            ::CreateWindowExW(0, L"STATIC", L"正在升级…", WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 30, 360, 30,
                              window, nullptr, instance, nullptr);
            ::CreateWindowExW(0, L"STATIC", L"（演示升级程序：几秒后自动结束）",
                              WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 70, 360, 24, window, nullptr, instance,
                              nullptr);
            g_font = CreateDemoFont(18);
            ApplyFontToChildren(window, g_font);
            ::SetTimer(window, kEndTimer, kShowSeconds * 1000, nullptr);
            return 0;
        }
        case WM_TIMER:
            if (wParam == kEndTimer) {
                ::KillTimer(window, kEndTimer);
                ::DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            DemoRecord(L"tarvex_demo_updater.txt", L"end\n");
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    DemoRecord(L"tarvex_demo_updater.txt", std::wstring(L"start ") + ::GetCommandLineW() + L"\n");
    if (!RegisterDemoWindowClass(instance, kWindowClass, &UpdaterProc)) {
        return 1;
    }
    RECT frame = {0, 0, 360, 120};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPED | WS_CAPTION, FALSE, 0);
    HWND window = ::CreateWindowExW(0, kWindowClass, kWindowTitle, WS_OVERLAPPED | WS_CAPTION, CW_USEDEFAULT,
                                    CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                    nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    ::ShowWindow(window, showCommand);
    ::UpdateWindow(window);
    const int exitCode = RunDemoMessageLoop();
    if (g_font) {
        ::DeleteObject(g_font);
    }
    return exitCode;
}
