#ifndef QUILO_LOADER_WINDOW_LOADERWINDOWLAYOUT_H
#define QUILO_LOADER_WINDOW_LOADERWINDOWLAYOUT_H

// The loader window's geometry and pulse rules, free of any window so that
// they can be checked for any size, resolution and font weight.

#include <windows.h>

// The coloured band at the top of the client area, which also drags the window.
constexpr int kCaptionBandHeight = 40;
constexpr COLORREF kCaptionBandColor = RGB(58, 183, 167);
constexpr COLORREF kMinimizeHotColor = RGB(129, 209, 199);
constexpr COLORREF kCloseHotColor = RGB(251, 60, 60);
constexpr COLORREF kGlyphColor = RGB(255, 255, 255);
constexpr COLORREF kTitleTextColor = RGB(255, 255, 255);
constexpr COLORREF kPhoneTextColor = RGB(60, 62, 101);

constexpr int kCaptionButtonSize = 35;
constexpr int kCaptionButtonGap = 3;
constexpr int kGlyphNormalHeight = 18;
constexpr int kGlyphHotHeight = 20;

constexpr UINT kStatusPulseIntervalMs = 800;
// The status font's size in tenths of a point.
constexpr int kStatusFontTenthsOfPoint = 140;

struct CaptionButtonRects {
    RECT close;
    RECT minimize;
};

// Both caption buttons in the top-right corner of a window `windowWidth` pixels
// wide, the minimise button a small gap left of the close button.
CaptionButtonRects PlaceCaptionButtons(int windowWidth);

// Whether a screen point's y drags the window: strictly inside the band, so the
// window's top pixel row and the row just below the band do not.
bool IsInCaptionBand(int screenY, int windowTop);

// The status text alternates bold and regular; the template's weight 0 turns bold first.
LONG NextStatusWeight(LONG weight);

// Character height of the status font for a screen resolution in dots per inch,
// truncated as a point-size font conversion does.
LONG StatusFontHeight(int dotsPerInch);

// Where a minimised window draws its icon: centred, rounding half a pixel up.
POINT MinimizedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

#endif
