// The demo online-support program ("Pelko.exe" in the demo install
// directory). The launcher starts it with five unquoted values: program path,
// server address, port, support argument and product name. The path may hold
// spaces, the other four never do, so the values are taken from the right.
#include <string>
#include <vector>

#include <windows.h>

#include "DemoCommon.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TarvexDemoSupport";
constexpr wchar_t kWindowTitle[] = L"Tarvex 在线客服 (演示)";
constexpr UINT_PTR kAutoCloseTimer = 1;

HFONT g_font = nullptr;

// The last four space-separated values, and everything before them as the path.
std::vector<std::wstring> SplitFiveValues(const std::wstring& commandLine) {
    std::vector<std::wstring> values(5);
    std::wstring rest = commandLine;
    while (!rest.empty() && rest.back() == L' ') {
        rest.pop_back();
    }
    for (int index = 4; index >= 1; --index) {
        const size_t space = rest.find_last_of(L' ');
        if (space == std::wstring::npos) {
            break;
        }
        values[static_cast<size_t>(index)] = rest.substr(space + 1);
        rest.erase(space);
    }
    values[0] = rest;
    return values;
}

std::wstring DescribeValues(const std::wstring& commandLine) {
    static const wchar_t* const kLabels[5] = {L"程序路径", L"客服服务器", L"端口", L"客服参数", L"产品名称"};
    const std::vector<std::wstring> values = SplitFiveValues(commandLine);
    std::wstring text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += std::wstring(kLabels[i]) + L"：" + values[i] + L"\r\n";
    }
    return text;
}

LRESULT CALLBACK SupportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            HINSTANCE instance = reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance;
            ::CreateWindowExW(0, L"STATIC", L"在线客服会话（演示）：启动程序传来的五个值",
                              WS_CHILD | WS_VISIBLE, 12, 10, 600, 22, window, nullptr, instance, nullptr);
            ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", DescribeValues(::GetCommandLineW()).c_str(),
                              WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL, 12, 38,
                              600, 130, window, reinterpret_cast<HMENU>(100), instance, nullptr);
            g_font = CreateDemoFont(15);
            ApplyFontToChildren(window, g_font);
            const UINT seconds = DemoAutoCloseSeconds();
            if (seconds > 0) {
                ::SetTimer(window, kAutoCloseTimer, seconds * 1000, nullptr);
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kAutoCloseTimer) {
                ::DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    DemoRecord(L"tarvex_demo_support.txt", std::wstring(L"start ") + ::GetCommandLineW() + L"\n");
    if (!RegisterDemoWindowClass(instance, kWindowClass, &SupportProc)) {
        return 1;
    }
    RECT frame = {0, 0, 624, 180};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND window = ::CreateWindowExW(0, kWindowClass, kWindowTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                    CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                    frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
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
