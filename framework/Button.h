#ifndef QUILO_FRAMEWORK_BUTTON_H
#define QUILO_FRAMEWORK_BUTTON_H

// The framework's push button: a button control of a dialog, bound to the
// object by subclassing. An owner-drawn button paints itself in DrawItem,
// which the parent dialog reaches by reflecting WM_DRAWITEM to it.

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    CButton() = default;

protected:
    virtual void DrawItem(const DRAWITEMSTRUCT& item) { (void)item; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

#endif
