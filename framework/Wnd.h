#ifndef QUILO_FRAMEWORK_WND_H
#define QUILO_FRAMEWORK_WND_H

// The framework's window object: one C++ object attached to one HWND by
// subclassing. Every message reaches the object's virtual WindowProc; what the
// object does not handle goes on to the window's original procedure through
// Default(), so a handler can run the base behaviour first and then adjust it.

#include <windows.h>

// A parent hands WM_DRAWITEM back to the owner-drawn child under this number.
constexpr UINT kReflectedDrawItem = 0x2000 + WM_DRAWITEM;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();

    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return m_hWnd ? ::GetDlgItem(m_hWnd, id) : nullptr; }
    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }

    // Attaches this object to an existing window; false when it is already attached elsewhere.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, CWnd& parent);
    void UnsubclassWindow();

    // The object attached to a window, or null.
    static CWnd* FromHandle(HWND hwnd);

    HWND m_hWnd = nullptr;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's original handling of the message being processed.
    LRESULT Default();
    LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC originalProc_ = nullptr;
    UINT currentMessage_ = 0;
    WPARAM currentWParam_ = 0;
    LPARAM currentLParam_ = 0;
};

#endif
