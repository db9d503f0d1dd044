#include "DemoCommon.h"

#include <cstdio>
#include <cstdlib>

#include <shellapi.h>

namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    if (length == 0 || length >= 1024) {
        return std::wstring();
    }
    return std::wstring(value, length);
}

int CALLBACK RememberFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<std::wstring*>(found) = font->lfFaceName;
    return 0;
}

bool HasFace(HDC dc, const wchar_t* face) {
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    std::wstring found;
    ::EnumFontFamiliesExW(dc, &query, &RememberFace, reinterpret_cast<LPARAM>(&found), 0);
    return !found.empty();
}

// The first face with Chinese glyphs: the usual Windows ones first, then the
// free ones a Linux machine running the demo under Wine has.
std::wstring ChineseFace() {
    HDC dc = ::GetDC(nullptr);
    std::wstring face;
    for (const wchar_t* candidate :
         {L"Microsoft YaHei", L"SimSun", L"WenQuanYi Micro Hei", L"WenQuanYi Zen Hei", L"Noto Sans CJK SC"}) {
        if (HasFace(dc, candidate)) {
            face = candidate;
            break;
        }
    }
    if (face.empty()) {
        LOGFONTW query = {};
        query.lfCharSet = GB2312_CHARSET;
        ::EnumFontFamiliesExW(dc, &query, &RememberFace, reinterpret_cast<LPARAM>(&face), 0);
    }
    ::ReleaseDC(nullptr, dc);
    return face;
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

std::string DemoUtf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                             0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length, nullptr,
                          nullptr);
    return utf8;
}

UINT DemoAutoCloseSeconds() {
    const std::wstring value = EnvironmentValue(L"TARVEX_DEMO_AUTOCLOSE_SECONDS");
    if (value.empty()) {
        return 0;
    }
    const unsigned long seconds = std::wcstoul(value.c_str(), nullptr, 10);
    // Bounded, so a mistyped value cannot keep a headless demo running for days.
    return seconds > 3600 ? 3600 : static_cast<UINT>(seconds);
}

void DemoRecord(const std::wstring& fileName, const std::wstring& text) {
    const std::wstring folder = EnvironmentValue(L"TARVEX_DEMO_RECORD_DIR");
    if (folder.empty()) {
        return;
    }
    FILE* file = ::_wfopen((folder + L"\\" + fileName).c_str(), L"ab");
    if (!file) {
        return;
    }
    const std::string bytes = DemoUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::vector<std::wstring> DemoArguments() {
    std::vector<std::wstring> values;
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; arguments && i < count; ++i) {
        values.push_back(arguments[i]);
    }
    ::LocalFree(arguments);
    return values;
}

HFONT CreateDemoFont(int height, bool bold) {
    static const std::wstring face = ChineseFace();
    if (face.empty()) {
        return nullptr;
    }
    return ::CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                         face.c_str());
}

void ApplyFontToChildren(HWND parent, HFONT font) {
    HGDIOBJ chosen = font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT);
    ::EnumChildWindows(parent, &SetChildFont, reinterpret_cast<LPARAM>(chosen));
}

bool RegisterDemoWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    return ::RegisterClassExW(&windowClass) != 0;
}

int RunDemoMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(::GetAncestor(message.hwnd, GA_ROOT), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
