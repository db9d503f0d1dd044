// The caption button's rules, and its painting into a bitmap of our own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader_window/OwerButton.h"

#include "util/ScopedHandle.h"

namespace {

TEST(OwerButton, ConstructorValues) {
    COwerButton button;
    EXPECT_FALSE(button.IsHot());
    EXPECT_EQ(RGB(58, 183, 167), button.NormalBackColor());
    EXPECT_EQ(RGB(30, 144, 255), button.HotBackColor());
    EXPECT_EQ(RGB(255, 255, 255), button.GlyphColor());
    EXPECT_EQ(12, button.NormalFontHeight());
    EXPECT_EQ(12, button.HotFontHeight());
    EXPECT_EQ(L"SimSun", button.FontFace());
}

TEST(OwerButton, FontHeightsOutsideSixToSeventyTwoAreIgnored) {
    const struct {
        int height;
        bool valid;
    } cases[] = {{5, false}, {6, true}, {72, true}, {73, false}, {0, false}, {-18, false}};
    for (const auto& c : cases) {
        COwerButton button;
        button.SetNormalFontHeight(c.height);
        button.SetHotFontHeight(c.height);
        const int expected = c.valid ? c.height : 12;
        EXPECT_EQ(expected, button.NormalFontHeight()) << c.height;
        EXPECT_EQ(expected, button.HotFontHeight()) << c.height;
        EXPECT_EQ(c.valid, IsValidGlyphFontHeight(c.height)) << c.height;
    }
}

TEST(OwerButton, FontFaceIsStoredAndCutToTheFaceField) {
    COwerButton button;
    button.SetFontFace(L"SimHei");
    EXPECT_EQ(L"SimHei", button.FontFace());
    const std::wstring longName(40, L'A');
    button.SetFontFace(longName);
    EXPECT_EQ(std::wstring(LF_FACESIZE - 1, L'A'), button.FontFace());
}

TEST(OwerButton, GlyphFaceIsLeftToTheFontMapperForTheDefaultGuiFace) {
    EXPECT_EQ(L"", GlyphFontFace(L"SimSun", L"SimSun"));
    EXPECT_EQ(L"SimHei", GlyphFontFace(L"SimHei", L"SimSun"));
    EXPECT_EQ(L"", GlyphFontFace(L"Microsoft YaHei", L"Microsoft YaHei"));
    EXPECT_EQ(L"SimSun", GlyphFontFace(L"SimSun", L"Microsoft YaHei"));
}

TEST(OwerButton, GlyphTopCentresWithTruncationTowardZero) {
    EXPECT_EQ(8, GlyphTop(0, 35, 18));
    EXPECT_EQ(7, GlyphTop(0, 35, 20));
    EXPECT_EQ(18, GlyphTop(10, 35, 18));
    // A glyph taller than the button starts above its top: (35 - 40) / 2 is -2.
    EXPECT_EQ(-2, GlyphTop(0, 35, 40));
    EXPECT_EQ(-1, GlyphTop(0, 35, 38));
}

// A real owner-drawn button in a hidden window, painted into a bitmap.
class PaintedButton : public COwerButton {
public:
    PaintedButton() {
        parent_ = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
        HWND button =
            ::CreateWindowExW(0, L"Button", L"✕", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, kSize, kSize,
                              parent_, reinterpret_cast<HMENU>(1003), ::GetModuleHandleW(nullptr), nullptr);
        SubclassWindow(button);
    }
    ~PaintedButton() override {
        UnsubclassWindow();
        ::DestroyWindow(parent_);
    }

    // The pixels DrawItem paints for an item state.
    std::vector<COLORREF> Paint(UINT itemState) {
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        ScopedGdiObject bitmap(::CreateCompatibleBitmap(screen, kSize, kSize));
        HGDIOBJ previous = ::SelectObject(memory, bitmap.get());
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 1003;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = itemState;
        item.hwndItem = m_hWnd;
        item.hDC = memory;
        item.rcItem = {0, 0, kSize, kSize};
        DrawItem(item);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                pixels.push_back(::GetPixel(memory, x, y));
            }
        }
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
        return pixels;
    }

    // Update regions are kept for visible windows only.
    void ShowOffScreen() {
        ::SetWindowPos(parent_, nullptr, -2000, -2000, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }

    static constexpr int kSize = 35;

private:
    HWND parent_ = nullptr;
};

TEST(OwerButtonPainting, HotAndPressedDrawAlikeAndNormalUsesTheNormalColour) {
    PaintedButton button;
    ASSERT_TRUE(button.GetSafeHwnd());
    button.SetNormalBackColor(RGB(58, 183, 167));
    button.SetHotBackColor(RGB(251, 60, 60));
    button.SetNormalFontHeight(18);
    button.SetHotFontHeight(20);

    const std::vector<COLORREF> normal = button.Paint(0);
    const std::vector<COLORREF> pressed = button.Paint(ODS_SELECTED);
    ::SendMessageW(button.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(button.IsHot());
    const std::vector<COLORREF> hot = button.Paint(0);

    EXPECT_EQ(RGB(58, 183, 167), normal.front());
    EXPECT_EQ(RGB(251, 60, 60), hot.front());
    EXPECT_TRUE(pressed == hot) << "pressed and hot must paint the same pixels";
    EXPECT_FALSE(normal == hot);
    // The glyph is drawn: some pixel is neither background colour.
    bool glyph = false;
    for (COLORREF pixel : hot) {
        glyph = glyph || pixel != RGB(251, 60, 60);
    }
    EXPECT_TRUE(glyph);
}

TEST(OwerButtonPainting, LeavingMakesTheButtonNormalAndTheNextMoveHotAgain) {
    PaintedButton button;
    HWND hwnd = button.GetSafeHwnd();
    const std::vector<COLORREF> normal = button.Paint(0);

    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsHot());

    EXPECT_EQ(0, ::SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0));
    EXPECT_FALSE(button.IsHot());
    EXPECT_TRUE(button.Paint(0) == normal);

    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsHot());
}

// Every move over the button arrives as WM_MOUSEMOVE; only the first of a
// stay may repaint. (Whether it asks for tracking again cannot be seen from
// outside: the system's button asks for its own on every move.)
TEST(OwerButtonPainting, MovesAfterTheFirstDoNotRepaint) {
    PaintedButton button;
    HWND hwnd = button.GetSafeHwnd();
    button.ShowOffScreen();

    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(button.IsHot());
    EXPECT_TRUE(::GetUpdateRect(hwnd, nullptr, FALSE)) << "the first move must repaint";
    ::ValidateRect(hwnd, nullptr);

    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    EXPECT_TRUE(button.IsHot());
    EXPECT_FALSE(::GetUpdateRect(hwnd, nullptr, FALSE)) << "a second move repainted";
}

TEST(OwerButtonPainting, GlyphIsPaintedWhenTheFaceIsTheDefaultGuiFace) {
    // The font mapper chooses the face then; the glyph must still appear.
    PaintedButton button;
    button.SetDefaultGuiFontFace(L"SimSun");
    button.SetFontFace(L"SimSun");
    const std::vector<COLORREF> pixels = button.Paint(0);
    EXPECT_EQ(RGB(58, 183, 167), pixels.front());
    bool glyph = false;
    for (COLORREF pixel : pixels) {
        glyph = glyph || pixel != RGB(58, 183, 167);
    }
    EXPECT_TRUE(glyph);
}

}  // namespace
