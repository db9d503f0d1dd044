#include "framework/Wnd.h"

#include "framework/WinApp.h"

namespace {
constexpr wchar_t kObjectProperty[] = L"QuiloFrameworkWnd";
}

CWnd::~CWnd() { UnsubclassWindow(); }

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || ::GetPropW(hwnd, kObjectProperty)) {
        return false;
    }
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProperty, this);
    originalProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return true;
}

bool CWnd::SubclassDlgItem(int id, CWnd& parent) { return SubclassWindow(parent.GetDlgItem(id)); }

void CWnd::UnsubclassWindow() {
    if (!m_hWnd) {
        return;
    }
    if (::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        ::RemovePropW(m_hWnd, kObjectProperty);
    }
    m_hWnd = nullptr;
    originalProc_ = nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

LRESULT CWnd::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT CWnd::Default() { return CallOriginal(currentMessage_, currentWParam_, currentLParam_); }

LRESULT CWnd::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(originalProc_, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = FromHandle(hwnd);
    if (!object) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // Handlers may be re-entered (a message box inside a handler pumps messages),
    // so the message being handled is saved and restored around the call.
    const UINT savedMessage = object->currentMessage_;
    const WPARAM savedWParam = object->currentWParam_;
    const LPARAM savedLParam = object->currentLParam_;
    object->currentMessage_ = message;
    object->currentWParam_ = wParam;
    object->currentLParam_ = lParam;
    LRESULT result;
    if (message == WM_NCDESTROY) {
        const WNDPROC original = object->originalProc_;
        object->UnsubclassWindow();
        result = ::CallWindowProcW(original, hwnd, message, wParam, lParam);
    } else {
        // No exception may cross the system's frames that called this procedure.
        result = AfxCallGuarded<LRESULT>(0, [&] { return object->WindowProc(message, wParam, lParam); });
        object->currentMessage_ = savedMessage;
        object->currentWParam_ = savedWParam;
        object->currentLParam_ = savedLParam;
    }
    return result;
}
