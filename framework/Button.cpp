#include "framework/Button.h"

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReflectedDrawItem && lParam) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return Default();
}
