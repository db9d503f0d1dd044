#include "UiAutomation.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
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

// The visible push button drawn as the default one. (Wine's dialog manager
// answers DM_GETDEFID with IDOK whatever the box's default is, so the
// buttons' own style is what tells.)
BOOL CALLBACK FindDefaultButton(HWND child, LPARAM lParam) {
    auto* found = reinterpret_cast<int*>(lParam);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (ClassName(child) == L"Button" && (style & WS_VISIBLE) && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        *found = ::GetDlgCtrlID(child);
        return FALSE;
    }
    return TRUE;
}

// A 32-bit top-down bitmap selected into a memory device context, whose
// pixels can be read back as COLORREF values.
class PixelCanvas {
public:
    PixelCanvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        screen_ = ::GetDC(nullptr);
        memory_ = ::CreateCompatibleDC(screen_);
        bitmap_ =
            ::CreateDIBSection(screen_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = ::SelectObject(memory_, bitmap_);
    }
    ~PixelCanvas() {
        ::SelectObject(memory_, previous_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(memory_);
        ::ReleaseDC(nullptr, screen_);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC Dc() const { return memory_; }
    HDC ScreenDc() const { return screen_; }
    std::vector<COLORREF> Pixels() const {
        ::GdiFlush();
        std::vector<COLORREF> pixels;
        if (!bits_) {
            return pixels;
        }
        const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
        for (size_t i = 0; i < count; ++i) {
            // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
            const DWORD pixel = bits_[i];
            pixels.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
        }
        return pixels;
    }

private:
    int width_;
    int height_;
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    DWORD* bits_ = nullptr;
};

// The icon drawn by this process at the given size over a plain background,
// as the box's icon control draws it.
std::vector<COLORREF> RenderIcon(HICON icon, int width, int height, COLORREF background) {
    PixelCanvas canvas(width, height);
    HBRUSH brush = ::CreateSolidBrush(background);
    const RECT all = {0, 0, width, height};
    ::FillRect(canvas.Dc(), &all, brush);
    ::DeleteObject(brush);
    ::DrawIconEx(canvas.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    return canvas.Pixels();
}

bool IsNearColor(COLORREF a, COLORREF b) {
    return ColorDistance(a, b) < 48;
}

size_t CountDifferences(const std::vector<COLORREF>& seen, const std::vector<COLORREF>& expected) {
    size_t differences = 0;
    for (size_t i = 0; i < seen.size() && i < expected.size(); ++i) {
        differences += IsNearColor(seen[i], expected[i]) ? 0 : 1;
    }
    return differences;
}

// The system icon that the pixels show, or empty while they show none of them.
std::wstring MatchSystemIcon(const std::vector<COLORREF>& seen, int width, int height) {
    if (seen.empty()) {
        return std::wstring();
    }
    const struct {
        const wchar_t* name;
        LPCWSTR resource;
    } candidates[] = {{L"warning", IDI_WARNING},
                      {L"information", IDI_INFORMATION},
                      {L"error", IDI_ERROR},
                      {L"question", IDI_QUESTION}};
    // The icons' corners are transparent: the first pixel is the background.
    const COLORREF background = seen.front();
    std::wstring best;
    size_t fewest = seen.size();
    for (const auto& candidate : candidates) {
        const std::vector<COLORREF> expected =
            RenderIcon(::LoadIconW(nullptr, candidate.resource), width, height, background);
        const size_t differences = CountDifferences(seen, expected);
        if (differences < fewest) {
            fewest = differences;
            best = candidate.name;
        }
    }
    // Smoothed edges may differ a little; a different icon differs in most of its pixels.
    return fewest * 20 <= seen.size() ? best : std::wstring();
}

}  // namespace

int ColorDistance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

std::vector<COLORREF> ScreenPixels(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return std::vector<COLORREF>();
    }
    PixelCanvas canvas(width, height);
    ::BitBlt(canvas.Dc(), 0, 0, width, height, canvas.ScreenDc(), rect.left, rect.top, SRCCOPY);
    return canvas.Pixels();
}

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
    info.owner = ::GetWindow(window, GW_OWNER);
    ::EnumChildWindows(window, &FindDefaultButton, reinterpret_cast<LPARAM>(&info.defaultButton));
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

std::wstring MessageBoxIcon(HWND box, DWORD timeoutMs) {
    // The icon control of the system's message box template: 0x14 on Windows,
    // 1088 in Wine's copy of the template.
    HWND iconControl = ::GetDlgItem(box, 0x14);
    if (!iconControl) {
        iconControl = ::GetDlgItem(box, 1088);
    }
    if (!iconControl) {
        return std::wstring();
    }
    RECT rect;
    ::GetClientRect(iconControl, &rect);
    ::MapWindowPoints(iconControl, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return std::wstring();
    }
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const std::wstring icon = MatchSystemIcon(ScreenPixels(rect), width, height);
        if (!icon.empty() || ::GetTickCount64() >= deadline) {
            return icon;
        }
        PumpFor(50);
    }
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
