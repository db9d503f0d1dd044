// Stand-in until the caption buttons land: a plain owner-drawn button.
#include "loader_window/OwerButton.h"

COwerButton::COwerButton()
    : normalBackColor_(RGB(58, 183, 167)),
      hotBackColor_(RGB(30, 144, 255)),
      textColor_(RGB(255, 255, 255)),
      faceName_(L"SimSun") {}

bool IsValidGlyphFontHeight(int height) { return height >= 6 && height <= 72; }

std::wstring GlyphFontFace(const std::wstring& faceName, const std::wstring& defaultGuiFontFace) {
    return faceName == defaultGuiFontFace ? std::wstring() : faceName;
}

int GlyphTop(int itemTop, int itemHeight, int textHeight) { return itemTop + (itemHeight - textHeight) / 2; }

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

void COwerButton::SetFontFace(const std::wstring& face) { faceName_ = face; }

void COwerButton::DrawItem(const DRAWITEMSTRUCT& item) {
    HBRUSH brush = ::CreateSolidBrush(normalBackColor_);
    ::FillRect(item.hDC, &item.rcItem, brush);
    ::DeleteObject(brush);
}

void COwerButton::OnMouseMove() {}

LRESULT COwerButton::OnMouseLeave() { return 0; }

LRESULT COwerButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CButton::WindowProc(message, wParam, lParam);
}
