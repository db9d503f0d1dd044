#ifndef QUILO_LOADER_WINDOW_OWERBUTTON_H
#define QUILO_LOADER_WINDOW_OWERBUTTON_H

// A flat owner-drawn caption button: a coloured rectangle with one glyph,
// lighter and larger while the mouse is over it or while it is held down.

#include <string>

#include "framework/Button.h"

class COwerButton : public CButton {
public:
    COwerButton();

    void SetNormalBackColor(COLORREF color) { normalBackColor_ = color; }
    void SetHotBackColor(COLORREF color) { hotBackColor_ = color; }
    void SetGlyphColor(COLORREF color) { textColor_ = color; }
    void SetNormalFontHeight(int height);
    void SetHotFontHeight(int height);
    void SetFontFace(const std::wstring& face);
    // The face of the system's GUI font: a glyph face equal to it is left to the font mapper.
    void SetDefaultGuiFontFace(const std::wstring& face) { defaultGuiFontFace_ = face; }

    bool IsHot() const { return hover_ != 0; }
    COLORREF NormalBackColor() const { return normalBackColor_; }
    COLORREF HotBackColor() const { return hotBackColor_; }
    COLORREF GlyphColor() const { return textColor_; }
    int NormalFontHeight() const { return normalFontHeight_; }
    int HotFontHeight() const { return hotFontHeight_; }
    const std::wstring& FontFace() const { return faceName_; }

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnMouseMove();
    LRESULT OnMouseLeave();

    int hover_ = 0;
    COLORREF normalBackColor_;
    COLORREF hotBackColor_;
    COLORREF textColor_;
    int normalFontHeight_ = 12;
    int hotFontHeight_ = 12;
    std::wstring faceName_;
    std::wstring defaultGuiFontFace_;
    int tracking_ = 0;
};

// The rules DrawItem and the setters follow, callable without a window.
bool IsValidGlyphFontHeight(int height);
// The face the glyph font is created with: empty (the font mapper chooses)
// when the face equals the system's default GUI font face.
std::wstring GlyphFontFace(const std::wstring& faceName, const std::wstring& defaultGuiFontFace);
// Top edge of the glyph rectangle: centred by integer division toward zero.
int GlyphTop(int itemTop, int itemHeight, int textHeight);

#endif
