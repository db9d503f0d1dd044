#include "loader_window/OwerButton.h"

#include <commctrl.h>

#include <vector>

#include "util/ScopedHandle.h"

namespace {

// Centred horizontally; the vertical place comes from the moved top edge, so
// DT_SINGLELINE (which would make DT_BOTTOM count) is deliberately left out.
constexpr UINT kGlyphTextFormat = DT_CENTER | DT_RIGHT | DT_BOTTOM;

std::wstring WindowTextOf(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(copied));
}

}  // namespace

COwerButton::COwerButton()
    : normalBackColor_(RGB(58, 183, 167)), hotBackColor_(RGB(30, 144, 255)), textColor_(RGB(255, 255, 255)) {
    // The Chinese name and the Latin name are the same face; the Latin one is
    // kept because it matches whatever the system's code page.
    faceName_ = L"宋体";
    faceName_ = L"SimSun";
}

bool IsValidGlyphFontHeight(int height) {
    return height >= 6 && height <= 72;
}

std::wstring GlyphFontFace(const std::wstring& faceName, const std::wstring& defaultGuiFontFace) {
    return faceName == defaultGuiFontFace ? std::wstring() : faceName;
}

int GlyphTop(int itemTop, int itemHeight, int textHeight) {
    return itemTop + (itemHeight - textHeight) / 2;
}

void COwerButton::SetNormalFontHeight(int height) {
    if (IsValidGlyphFontHeight(height)) {
        normalFontHeight_ = height;
    }
}

void COwerButton::SetHotFontHeight(int height) {
    if (IsValidGlyphFontHeight(height)) {
        hotFontHeight_ = height;
    }
}

void COwerButton::SetFontFace(const std::wstring& face) {
    // A face the font mapper refuses would leave the glyph in an unknown font;
    // the old face stays instead. Names longer than the face field are cut to
    // fit it, as the font mapper itself would read them.
    LOGFONTW probe = {};
    ::lstrcpynW(probe.lfFaceName, face.c_str(), LF_FACESIZE);
    ScopedGdiObject probeFont(::CreateFontIndirectW(&probe));
    if (probeFont) {
        faceName_ = probe.lfFaceName;
    }
}

void COwerButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const std::wstring glyph = WindowTextOf(item.hwndItem);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool hot = pressed || hover_ == 1;

    const std::wstring face = GlyphFontFace(faceName_, defaultGuiFontFace_);
    ScopedGdiObject font(::CreateFontW(hot ? hotFontHeight_ : normalFontHeight_, 0, 0, 0, FW_NORMAL, FALSE,
                                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    ScopedGdiObject brush(::CreateSolidBrush(hot ? hotBackColor_ : normalBackColor_));

    HDC dc = item.hDC;
    HGDIOBJ previousFont = font ? ::SelectObject(dc, font.get()) : nullptr;
    ::FillRect(dc, &item.rcItem, static_cast<HBRUSH>(brush.get()));

    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, glyph.c_str(), static_cast<int>(glyph.size()), &extent);
    RECT glyphRect = item.rcItem;
    glyphRect.top = GlyphTop(item.rcItem.top, item.rcItem.bottom - item.rcItem.top, extent.cy);

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, textColor_);
    ::DrawTextW(dc, glyph.c_str(), static_cast<int>(glyph.size()), &glyphRect, kGlyphTextFormat);

    if (previousFont) {
        ::SelectObject(dc, previousFont);
    }
}

void COwerButton::OnMouseMove() {
    if (tracking_ != 0) {
        return;
    }
    hover_ = 1;
    Invalidate(TRUE);
    // Hover and leave are both asked for; only the leave matters, and it must
    // come however briefly the pointer stays.
    TRACKMOUSEEVENT request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_HOVER | TME_LEAVE;
    request.hwndTrack = m_hWnd;
    request.dwHoverTime = 1;
    tracking_ = ::_TrackMouseEvent(&request) ? 1 : 0;
}

LRESULT COwerButton::OnMouseLeave() {
    hover_ = 0;
    tracking_ = 0;
    Invalidate(FALSE);
    return 0;
}

LRESULT COwerButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove();
            return Default();
        case WM_MOUSELEAVE:
            return OnMouseLeave();
        default:
            return CButton::WindowProc(message, wParam, lParam);
    }
}
