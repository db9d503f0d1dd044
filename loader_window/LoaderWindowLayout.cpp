#include "loader_window/LoaderWindowLayout.h"

CaptionButtonRects PlaceCaptionButtons(int windowWidth) {
    CaptionButtonRects rects;
    const int closeLeft = windowWidth - kCaptionButtonSize;
    const int minimizeLeft = closeLeft - kCaptionButtonGap - kCaptionButtonSize;
    rects.close = {closeLeft, 0, closeLeft + kCaptionButtonSize, kCaptionButtonSize};
    rects.minimize = {minimizeLeft, 0, minimizeLeft + kCaptionButtonSize, kCaptionButtonSize};
    return rects;
}

bool IsInCaptionBand(int screenY, int windowTop) {
    return screenY > windowTop && screenY < windowTop + kCaptionBandHeight;
}

LONG NextStatusWeight(LONG weight) {
    return weight == FW_BOLD ? FW_NORMAL : FW_BOLD;
}

LONG StatusFontHeight(int dotsPerInch) {
    return -((dotsPerInch * kStatusFontTenthsOfPoint) / 720);
}

POINT MinimizedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
