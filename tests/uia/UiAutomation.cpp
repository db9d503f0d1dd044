#include "UiAutomation.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

namespace {

struct EnumRequest {
    DWORD processId;
    const wchar_t* className;
    bool visibleOnly;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    auto* request = reinterpret_cast<EnumRequest*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != request->processId) {
        return TRUE;
    }
    if (request->visibleOnly && !::IsWindowVisible(window)) {
        return TRUE;
    }
    if (request->className && ClassName(window) != request->className) {
        return TRUE;
    }
    request->found->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM lParam) {
    auto* buttons = reinterpret_cast<std::vector<std::wstring>*>(lParam);
    if (ClassName(child) == L"Button" && ::IsWindowVisible(child)) {
        buttons->push_back(WindowText(child));
    }
    return TRUE;
}

}  // namespace

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className, bool visibleOnly) {
    std::vector<HWND> found;
    EnumRequest request{processId, className, visibleOnly, &found};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&request));
    return found;
}

MessageBoxInfo ReadMessageBox(HWND window) {
    MessageBoxInfo info;
    HWND textControl = ::GetDlgItem(window, 0xFFFF);
    if (!textControl) {
        return info;
    }
    info.window = window;
    info.title = WindowText(window);
    info.text = WindowText(textControl);
    ::EnumChildWindows(window, &CollectButton, reinterpret_cast<LPARAM>(&info.buttons));
    return info;
}

std::vector<MessageBoxInfo> MessageBoxes(DWORD processId) {
    std::vector<MessageBoxInfo> boxes;
    for (HWND window : TopLevelWindows(processId, L"#32770")) {
        MessageBoxInfo info = ReadMessageBox(window);
        if (info) {
            boxes.push_back(info);
        }
    }
    return boxes;
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        std::vector<MessageBoxInfo> boxes = MessageBoxes(processId);
        if (!boxes.empty()) {
            // Give the box a moment to finish laying itself out before it is read again.
            PumpFor(50);
            return ReadMessageBox(boxes.front().window);
        }
        PumpFor(50);
    } while (::GetTickCount64() < deadline);
    return MessageBoxInfo();
}

HWND WaitForWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        std::vector<HWND> windows = TopLevelWindows(processId, className);
        if (!windows.empty()) {
            return windows.front();
        }
        PumpFor(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::IsWindow(window)) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        PumpFor(50);
    }
    return true;
}

void AnswerMessageBox(HWND box, int buttonId) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0); }

std::wstring ControlText(HWND parent, int controlId) {
    HWND control = ::GetDlgItem(parent, controlId);
    return control ? WindowText(control) : std::wstring();
}

bool IsControlVisible(HWND parent, int controlId) {
    HWND control = ::GetDlgItem(parent, controlId);
    return control && (::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE);
}

bool IsControlEnabled(HWND parent, int controlId) {
    HWND control = ::GetDlgItem(parent, controlId);
    return control && ::IsWindowEnabled(control);
}

void ClickControl(HWND parent, int controlId) {
    HWND control = ::GetDlgItem(parent, controlId);
    if (!control) {
        return;
    }
    const std::wstring className = ClassName(control);
    if (className == L"SysLink") {
        // WM_NOTIFY cannot cross processes: the link is clicked with the real mouse.
        RECT rect;
        ::GetWindowRect(control, &rect);
        ::SetCursorPos(rect.left + 4, rect.top + (rect.bottom - rect.top) / 2);
        PumpFor(100);
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[1].type = INPUT_MOUSE;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(2, inputs, sizeof(INPUT));
        return;
    }
    ::PostMessageW(parent, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

bool SaveWindowScreenshot(HWND window, const std::wstring& bmpPath) {
    RECT rect;
    if (!::GetWindowRect(window, &rect)) {
        return false;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    bool saved = false;
    FILE* out = ::_wfopen(bmpPath.c_str(), L"wb");
    if (out) {
        saved = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, out) == 1 &&
                std::fwrite(bits, 1, imageSize, out) == imageSize;
        std::fclose(out);
    }
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return saved;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF color = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return color;
}

void PumpFor(DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            return;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}
