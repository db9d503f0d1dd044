// The loader window as a person sees it: its controls where the template puts
// them, the caption buttons in the corner, the band that drags the window, the
// colours on the screen and the website link. (The status text's pulse is
// checked in the unit tests: font handles are private to a process under Wine,
// so the font cannot be read from here.)
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "LauncherScenario.h"
#include "LoaderWindow.h"

namespace {

constexpr COLORREF kBandColor = RGB(58, 183, 167);
constexpr COLORREF kMinimizeHotColor = RGB(129, 209, 199);
constexpr COLORREF kCloseHotColor = RGB(251, 60, 60);
constexpr COLORREF kTitleTextColor = RGB(255, 255, 255);
constexpr COLORREF kPhoneTextColor = RGB(60, 62, 101);
constexpr int kTitleId = 1001;
constexpr int kPhoneId = 1019;
constexpr int kCloseId = 1003;
constexpr int kMinimizeId = 1004;

struct ExpectedControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    RECT dialogUnits;  // left, top, right, bottom
    LONG style;
    LONG exStyle;
};

// Template 102 as the user gets it. The caption buttons are left out of the
// position check: initialisation moves them to the corner.
const ExpectedControl kControls[] = {
    {1003, L"Button", L"✕", {253, 0, 269, 14}, 0x5001008B, 0x00000020},
    {1004, L"Button", L"－", {235, 0, 251, 14}, 0x5001008B, 0x00000020},
    {1001, L"Static", L"Tarvex", {2, 3, 107, 11}, 0x50020000, 0},
    {1010, L"MfcLink", L"软件官网", {3, 84, 35, 93}, 0x50010000, 0},
    {1011, L"Static", nullptr, {18, 37, 248, 59}, 0x50020000, 0},
    {1013, L"SysLink", L"<a>继续加载</a>", {40, 84, 72, 93}, 0x48010000, 0},
    {1012, L"SysLink", L"<a>在线客服</a>", {4, 74, 36, 83}, 0x50010000, 0},
    {1019, L"Static", L"Tel:19999999999", {182, 75, 255, 83}, 0x50020002, 0},
};

RECT ChildRectInWindow(HWND window, int id) {
    RECT windowRect;
    RECT child = {};
    ::GetWindowRect(window, &windowRect);
    ::GetWindowRect(::GetDlgItem(window, id), &child);
    ::OffsetRect(&child, -windowRect.left, -windowRect.top);
    return child;
}

int WindowWidth(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

// How the dialog manager turns dialog units into pixels.
int ToPixels(int units, int baseUnit) {
    return ::MulDiv(units, baseUnit, 4);
}
int ToPixelsVertical(int units, int baseUnit) {
    return ::MulDiv(units, baseUnit, 8);
}

// The dialog's base units cannot be asked across processes, but the window is
// borderless: its size is the template's 271 x 94 units mapped to pixels.
bool FindBaseUnits(HWND window, int* baseX, int* baseY) {
    RECT client;
    ::GetClientRect(window, &client);
    *baseX = 0;
    *baseY = 0;
    for (int candidate = 1; candidate < 64; ++candidate) {
        if (!*baseX && ToPixels(271, candidate) == client.right) {
            *baseX = candidate;
        }
        if (!*baseY && ToPixelsVertical(94, candidate) == client.bottom) {
            *baseY = candidate;
        }
    }
    return *baseX && *baseY;
}

std::string Hex(LONG value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::string Rgb(COLORREF color) {
    char text[32];
    std::snprintf(text, sizeof(text), "RGB(%d, %d, %d)", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return text;
}

// Moves the real pointer and waits until the screen shows `expected` at the point.
COLORREF WaitForScreenColor(int x, int y, COLORREF expected) {
    COLORREF seen = ScreenPixel(x, y);
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    while (seen != expected && ::GetTickCount64() < deadline) {
        PumpFor(50);
        seen = ScreenPixel(x, y);
    }
    return seen;
}

struct TextOnScreen {
    COLORREF background = CLR_INVALID;  // the most common colour of the control's rectangle
    COLORREF glyph = CLR_INVALID;       // the pixel that differs most from it
};

// A static control's text as the screen shows it. Antialiasing blends the
// glyphs' edges into the background, but their cores carry the text colour
// itself: the pixel furthest from the background. Waits (bounded) until a
// glyph is on the screen.
TextOnScreen ReadTextOnScreen(HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    TextOnScreen seen;
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    do {
        const std::vector<COLORREF> pixels = ScreenPixels(rect);
        std::map<COLORREF, size_t> counts;
        for (COLORREF pixel : pixels) {
            ++counts[pixel];
        }
        if (counts.empty()) {
            return seen;
        }
        seen.background = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                              return a.second < b.second;
                          })->first;
        seen.glyph = seen.background;
        for (COLORREF pixel : pixels) {
            if (ColorDistance(pixel, seen.background) > ColorDistance(seen.glyph, seen.background)) {
                seen.glyph = pixel;
            }
        }
        if (ColorDistance(seen.glyph, seen.background) > 100) {
            return seen;
        }
        PumpFor(50);
    } while (::GetTickCount64() < deadline);
    return seen;
}

void ClickAt(int x, int y) {
    ::SetCursorPos(x, y);
    PumpFor(100);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace

class LoaderWindowScenario : public LauncherScenario {
protected:
    void SetUp() override {
        LauncherScenario::SetUp();
        // The pointer starts away from the window, so nothing is hot by accident.
        ::SetCursorPos(0, 0);
        window_ = OpenLoaderWindow(install_, launcher_);
        ASSERT_TRUE(window_);
    }

    ScratchInstall install_;
    TestProcess launcher_;
    HWND window_ = nullptr;
};

TEST_F(LoaderWindowScenario, WindowIsTheBorderlessTemplateWithItsOwnTaskbarButton) {
    EXPECT_EQ("Tarvex", Utf8(WindowText(window_)));
    // The system adds its own bits (clipping of siblings, the 3-D look); the
    // template's bits must all be there and no caption or frame. (The real
    // template sets none; that painting takes off a frame set by anything else
    // is checked in the unit tests, with a framed copy of the template.)
    const LONG style = ::GetWindowLongW(window_, GWL_STYLE);
    EXPECT_EQ(Hex(0x90000048), Hex(style & 0x90000048));
    EXPECT_EQ(0, style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) << Hex(style);
    const LONG exStyle = ::GetWindowLongW(window_, GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_APPWINDOW, exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ(0, exStyle & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)) << Hex(exStyle);
    RECT window;
    RECT client;
    ::GetWindowRect(window_, &window);
    ::GetClientRect(window_, &client);
    EXPECT_EQ(window.right - window.left, client.right);
    EXPECT_EQ(window.bottom - window.top, client.bottom);
}

TEST_F(LoaderWindowScenario, EveryControlHasItsTemplateClassTextStyleAndPlace) {
    int baseX = 0;
    int baseY = 0;
    ASSERT_TRUE(FindBaseUnits(window_, &baseX, &baseY)) << "the window is not 271 x 94 dialog units";
    HWND previous = nullptr;
    for (const ExpectedControl& expected : kControls) {
        SCOPED_TRACE(expected.id);
        HWND control = ::GetDlgItem(window_, expected.id);
        ASSERT_TRUE(control);
        EXPECT_EQ(Utf8(expected.className), Utf8(ClassName(control)));
        if (expected.text) {
            EXPECT_EQ(Utf8(expected.text), Utf8(WindowText(control)));
        }
        EXPECT_EQ(Hex(expected.style), Hex(::GetWindowLongW(control, GWL_STYLE)));
        EXPECT_EQ(Hex(expected.exStyle), Hex(::GetWindowLongW(control, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY));
        if (expected.id != kCloseId && expected.id != kMinimizeId) {
            const RECT placed = ChildRectInWindow(window_, expected.id);
            const RECT& units = expected.dialogUnits;
            EXPECT_EQ(ToPixels(units.left, baseX), placed.left);
            EXPECT_EQ(ToPixelsVertical(units.top, baseY), placed.top);
            EXPECT_EQ(ToPixels(units.right - units.left, baseX), placed.right - placed.left);
            EXPECT_EQ(ToPixelsVertical(units.bottom - units.top, baseY), placed.bottom - placed.top);
        }
        // Template order is the z-order, and so the tab order.
        EXPECT_EQ(previous, ::GetWindow(control, GW_HWNDPREV));
        previous = control;
    }
}

TEST_F(LoaderWindowScenario, CaptionButtonsSitInTheTopRightCornerThirtyFivePixelsSquare) {
    const int width = WindowWidth(window_);
    const RECT close = ChildRectInWindow(window_, kCloseId);
    const RECT minimize = ChildRectInWindow(window_, kMinimizeId);
    EXPECT_EQ(width - 35, close.left);
    EXPECT_EQ(0, close.top);
    EXPECT_EQ(35, close.right - close.left);
    EXPECT_EQ(35, close.bottom - close.top);
    EXPECT_EQ(width - 73, minimize.left);
    EXPECT_EQ(0, minimize.top);
    EXPECT_EQ(35, minimize.right - minimize.left);
    EXPECT_EQ(35, minimize.bottom - minimize.top);
}

TEST_F(LoaderWindowScenario, OnlyTheRowsStrictlyInsideTheBandDragTheWindow) {
    RECT window;
    ::GetWindowRect(window_, &window);
    const int x = window.left + 20;
    const struct {
        int row;
        LRESULT hit;
    } cases[] = {{0, HTCLIENT}, {1, HTCAPTION}, {39, HTCAPTION}, {40, HTCLIENT}};
    for (const auto& c : cases) {
        const LRESULT hit = ::SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(x, window.top + c.row));
        EXPECT_EQ(c.hit, hit) << "row " << c.row;
    }
}

TEST_F(LoaderWindowScenario, ScreenShowsTheBandAndTheHotCaptionButtons) {
    RECT window;
    ::GetWindowRect(window_, &window);
    const std::wstring shot = BuildFile("loader_window_screenshot.bmp");
    ASSERT_TRUE(SaveWindowScreenshot(window_, shot));
    // A column between the title and the caption buttons: band, then the window's own background.
    const int x = window.left + WindowWidth(window_) / 2;
    // The window's first paint may still be on its way to the screen (bounded wait).
    WaitForScreenColor(x, window.top, kBandColor);
    for (int row = 0; row < 40; ++row) {
        ASSERT_EQ(Rgb(kBandColor), Rgb(ScreenPixel(x, window.top + row))) << "row " << row;
    }
    EXPECT_NE(Rgb(kBandColor), Rgb(ScreenPixel(x, window.top + 40)));

    const RECT close = ChildRectInWindow(window_, kCloseId);
    const RECT minimize = ChildRectInWindow(window_, kMinimizeId);
    // The corner pixel of each button shows its background, not its glyph.
    const POINT closeCorner = {window.left + close.left + 1, window.top + close.top + 1};
    const POINT minimizeCorner = {window.left + minimize.left + 1, window.top + minimize.top + 1};
    EXPECT_EQ(Rgb(kBandColor), Rgb(ScreenPixel(closeCorner.x, closeCorner.y)));
    EXPECT_EQ(Rgb(kBandColor), Rgb(ScreenPixel(minimizeCorner.x, minimizeCorner.y)));

    ::SetCursorPos(window.left + (close.left + close.right) / 2, window.top + (close.top + close.bottom) / 2);
    EXPECT_EQ(Rgb(kCloseHotColor), Rgb(WaitForScreenColor(closeCorner.x, closeCorner.y, kCloseHotColor)));
    EXPECT_EQ(Rgb(kBandColor), Rgb(ScreenPixel(minimizeCorner.x, minimizeCorner.y)));

    ::SetCursorPos(window.left + (minimize.left + minimize.right) / 2,
                   window.top + (minimize.top + minimize.bottom) / 2);
    EXPECT_EQ(Rgb(kMinimizeHotColor),
              Rgb(WaitForScreenColor(minimizeCorner.x, minimizeCorner.y, kMinimizeHotColor)));
    // Leaving a button returns it to the band colour.
    EXPECT_EQ(Rgb(kBandColor), Rgb(WaitForScreenColor(closeCorner.x, closeCorner.y, kBandColor)));

    ::SetCursorPos(0, 0);
    EXPECT_EQ(Rgb(kBandColor), Rgb(WaitForScreenColor(minimizeCorner.x, minimizeCorner.y, kBandColor)));
    ::DeleteFileW(shot.c_str());
}

TEST_F(LoaderWindowScenario, TitleIsWhiteOnTheBandAndThePhoneNumberKeepsItsOwnColour) {
    RECT window;
    ::GetWindowRect(window_, &window);
    // The window's first paint may still be on its way to the screen (bounded wait).
    WaitForScreenColor(window.left + WindowWidth(window_) / 2, window.top, kBandColor);

    const TextOnScreen title = ReadTextOnScreen(::GetDlgItem(window_, kTitleId));
    EXPECT_EQ(Rgb(kBandColor), Rgb(title.background)) << "the title hides the band behind it";
    EXPECT_EQ(Rgb(kTitleTextColor), Rgb(title.glyph));

    const TextOnScreen phone = ReadTextOnScreen(::GetDlgItem(window_, kPhoneId));
    EXPECT_EQ(Rgb(::GetSysColor(COLOR_BTNFACE)), Rgb(phone.background));
    EXPECT_EQ(Rgb(kPhoneTextColor), Rgb(phone.glyph));
}

TEST_F(LoaderWindowScenario, CaptionGlyphsAreDrawnWhiteOnTheButtons) {
    RECT window;
    ::GetWindowRect(window_, &window);
    for (int id : {kCloseId, kMinimizeId}) {
        const RECT button = ChildRectInWindow(window_, id);
        // The glyph is smoothed into the band: look for clearly whiter pixels.
        bool glyphSeen = false;
        for (int y = button.top; y < button.bottom && !glyphSeen; ++y) {
            for (int x = button.left; x < button.right && !glyphSeen; ++x) {
                const COLORREF pixel = ScreenPixel(window.left + x, window.top + y);
                glyphSeen = GetRValue(pixel) > 200 && GetGValue(pixel) > 220 && GetBValue(pixel) > 220;
            }
        }
        EXPECT_TRUE(glyphSeen) << "no white glyph on control " << id;
    }
}

TEST_F(LoaderWindowScenario, WebsiteLinkOpensTheSoftwareListPage) {
    RECT link;
    ::GetWindowRect(::GetDlgItem(window_, 1010), &link);
    ClickAt(link.left + 4, (link.top + link.bottom) / 2);
    const std::vector<std::string> opened = WaitForOpenedUrls(1);
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ("http://www.tarvex-invoice.example/softlist", opened[0]);
    EXPECT_TRUE(::IsWindowVisible(window_));
}
