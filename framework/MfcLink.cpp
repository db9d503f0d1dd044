#include "framework/MfcLink.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/WinApp.h"
#include "util/ScopedHandle.h"
#include "util/TextConvert.h"

namespace {

// The system's hot-light colour is pale under some themes; links keep the usual blue.
constexpr COLORREF kLinkTextColor = RGB(0, 102, 204);

// Everything one link window keeps, attached to the window itself so that any
// number of links can live side by side.
struct LinkState {
    LinkProperties properties;
    HFONT font = nullptr;      // the parent's font, not owned
    ScopedGdiObject linkFont;  // the same font underlined
    HWND tooltip = nullptr;    // destroyed with the link
    bool pressed = false;
};

LinkState* StateOf(HWND hwnd) {
    return reinterpret_cast<LinkState*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

std::wstring WindowTextOf(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, &text[0], length + 1)));
    return text;
}

void MakeLinkFont(LinkState& state) {
    LOGFONTW description = {};
    HGDIOBJ base = state.font ? static_cast<HGDIOBJ>(state.font) : ::GetStockObject(DEFAULT_GUI_FONT);
    if (!::GetObjectW(base, sizeof(description), &description)) {
        state.linkFont.reset();
        return;
    }
    description.lfUnderline = TRUE;
    state.linkFont.reset(::CreateFontIndirectW(&description));
}

// The tooltip is created once the properties are known: before that there is
// nothing to show.
void UpdateTooltip(HWND hwnd, LinkState& state) {
    std::wstring text = LinkTooltipText(state.properties, WindowTextOf(hwnd));
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(hwnd);
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
    tool.lpszText = &text[0];
    if (state.tooltip) {
        ::SendMessageW(state.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    state.tooltip = ::CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (state.tooltip) {
        ::SendMessageW(state.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void OpenTarget(const LinkState& state) {
    const std::wstring target = LinkTarget(state.properties);
    if (target.empty()) {
        return;
    }
    ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Paint(HWND hwnd, LinkState& state) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd, &paint);
    RECT client;
    ::GetClientRect(hwnd, &client);
    // The parent decides the background, as it does for its static texts.
    HWND parent = ::GetParent(hwnd);
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
        parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (!brush) {
        brush = ::GetSysColorBrush(COLOR_BTNFACE);
    }
    ::FillRect(dc, &client, brush);
    if (!state.linkFont) {
        MakeLinkFont(state);
    }
    HGDIOBJ previousFont = state.linkFont ? ::SelectObject(dc, state.linkFont.get()) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::IsWindowEnabled(hwnd) ? kLinkTextColor : ::GetSysColor(COLOR_GRAYTEXT));
    const std::wstring text = WindowTextOf(hwnd);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
                DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    if (previousFont) {
        ::SelectObject(dc, previousFont);
    }
    ::EndPaint(hwnd, &paint);
}

LRESULT HandleLinkMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new LinkState));
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LinkState* state = StateOf(hwnd);
    if (!state) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case kInitControlMessage:
            state->properties =
                ParseLinkInitData(reinterpret_cast<const char*>(lParam), static_cast<size_t>(wParam));
            UpdateTooltip(hwnd, *state);
            return TRUE;
        case WM_SETFONT:
            state->font = reinterpret_cast<HFONT>(wParam);
            state->linkFont.reset();
            if (LOWORD(lParam)) {
                ::InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(state->font);
        case WM_SETTEXT: {
            const LRESULT result = ::DefWindowProcW(hwnd, message, wParam, lParam);
            ::InvalidateRect(hwnd, nullptr, TRUE);
            return result;
        }
        case WM_ENABLE:
            ::InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_PAINT:
            Paint(hwnd, *state);
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // painted whole in WM_PAINT
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_GETDLGCODE: {
            // Enter belongs to the link, as a click does: left to the dialog
            // manager it would become the dialog's default command and end it.
            const auto* pending = reinterpret_cast<const MSG*>(lParam);
            if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) {
                return DLGC_BUTTON | DLGC_WANTMESSAGE;
            }
            return DLGC_BUTTON;
        }
        case WM_LBUTTONDOWN:
            state->pressed = true;
            ::SetCapture(hwnd);
            return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = state->pressed;
            state->pressed = false;
            ::ReleaseCapture();
            RECT client;
            ::GetClientRect(hwnd, &client);
            const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (wasPressed && ::PtInRect(&client, point)) {
                OpenTarget(*state);
            }
            return 0;
        }
        case WM_CAPTURECHANGED:
            state->pressed = false;
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE || wParam == VK_RETURN) {
                OpenTarget(*state);
                return 0;
            }
            break;
        case WM_DESTROY:
            if (state->tooltip) {
                ::DestroyWindow(state->tooltip);
                state->tooltip = nullptr;
            }
            break;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            delete state;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// No exception may leave a window procedure: the 32-bit build cannot unwind
// through the system's frames that called it, and the process would end at
// once. It goes to the application's handler, as the dialog's do.
LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return AfxCallGuarded<LRESULT>(0, [&] { return HandleLinkMessage(hwnd, message, wParam, lParam); });
}

}  // namespace

bool RegisterMfcLinkClass() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kMfcLinkClassName, &existing)) {
        return true;
    }
    WNDCLASSEXW linkClass = {};
    linkClass.cbSize = sizeof(linkClass);
    linkClass.style = CS_HREDRAW | CS_VREDRAW;
    linkClass.lpfnWndProc = &LinkProc;
    linkClass.hInstance = instance;
    linkClass.hCursor = ::LoadCursorW(nullptr, IDC_HAND);
    linkClass.lpszClassName = kMfcLinkClassName;
    return ::RegisterClassExW(&linkClass) != 0;
}

std::wstring LinkTagValue(const std::wstring& text, const std::wstring& tag) {
    const std::wstring open = L"<" + tag + L">";
    const std::wstring close = L"</" + tag + L">";
    const size_t start = text.find(open);
    if (start == std::wstring::npos) {
        return std::wstring();
    }
    const size_t valueStart = start + open.size();
    const size_t end = text.find(close, valueStart);
    if (end == std::wstring::npos) {
        return std::wstring();
    }
    return text.substr(valueStart, end - valueStart);
}

LinkProperties ParseLinkInitData(const char* data, size_t length) {
    LinkProperties properties;
    if (!data || length == 0) {
        return properties;
    }
    std::string utf8(data, length);
    // The data may be padded to an even length; the text ends at the first NUL.
    utf8.resize(utf8.find('\0') == std::string::npos ? utf8.size() : utf8.find('\0'));
    const std::wstring text = NarrowToWide(utf8, CP_UTF8);
    properties.url = LinkTagValue(text, L"MFCLink_Url");
    properties.urlPrefix = LinkTagValue(text, L"MFCLink_UrlPrefix");
    properties.tooltip = LinkTagValue(text, L"MFCLink_Tooltip");
    properties.fullTextTooltip = LinkTagValue(text, L"MFCLink_FullTextTooltip") == L"TRUE";
    return properties;
}

std::wstring LinkTarget(const LinkProperties& properties) {
    if (properties.url.empty()) {
        return std::wstring();
    }
    return properties.urlPrefix + properties.url;
}

std::wstring LinkTooltipText(const LinkProperties& properties, const std::wstring& windowText) {
    if (!properties.tooltip.empty()) {
        return properties.tooltip;
    }
    return properties.fullTextTooltip ? windowText : LinkTarget(properties);
}
