#include "framework/DialogEx.h"

#include "framework/WinApp.h"

#include <cstring>
#include <vector>

#include "framework/MfcLink.h"

namespace {

const wchar_t* const kDialogInitResourceType = MAKEINTRESOURCEW(240);

// Offset of the style field in an extended template (DLGTEMPLATEEX) and in a classic one.
constexpr size_t kExtendedStyleOffset = 12;

std::vector<BYTE> LoadTemplateHidden(HINSTANCE instance, UINT templateId) {
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    if (!resource) {
        return {};
    }
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(instance, resource);
    if (!data || size < sizeof(DLGTEMPLATE)) {
        return {};
    }
    std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    WORD signature = 0;
    std::memcpy(&signature, copy.data() + 2, sizeof(signature));
    const size_t styleOffset = signature == 0xFFFF ? kExtendedStyleOffset : 0;
    DWORD style = 0;
    std::memcpy(&style, copy.data() + styleOffset, sizeof(style));
    // The dialog starts hidden; the modal loop shows it when it is idle.
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(copy.data() + styleOffset, &style, sizeof(style));
    return copy;
}

}  // namespace

CDialogEx::CDialogEx(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialogEx::~CDialogEx() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialogEx::DoModal() {
    // Templates may name the framework's own control classes.
    RegisterMfcLinkClass();
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    creationFailed_ = false;
    std::vector<BYTE> dialogTemplate = LoadTemplateHidden(instance, templateId_);
    if (dialogTemplate.empty()) {
        creationFailed_ = true;
        creationError_ = ERROR_RESOURCE_NAME_NOT_FOUND;
        return -1;
    }
    continueModal_ = true;
    modalResult_ = -1;
    HWND owner = parent_ ? parent_->GetSafeHwnd() : nullptr;
    HWND hwnd =
        ::CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                     owner, &CDialogEx::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        creationFailed_ = true;
        creationError_ = CreationFailureReason(::GetLastError());
        return -1;
    }
    if (continueModal_) {
        RunModalLoop();
    }
    if (::IsWindow(hwnd)) {
        ::DestroyWindow(hwnd);
    }
    return modalResult_;
}

void CDialogEx::EndDialog(int result) {
    modalResult_ = result;
    continueModal_ = false;
    if (m_hWnd) {
        // Wakes the modal loop if it is waiting for a message.
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    }
}

void CDialogEx::RunModalLoop() {
    const bool visibleWhenLoopBegan = (::GetWindowLongW(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
    bool shown = false;
    MSG message;
    while (continueModal_) {
        if (!::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (ShouldShowOnIdle(visibleWhenLoopBegan, shown)) {
                shown = true;
                ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
                ::UpdateWindow(m_hWnd);
                continue;
            }
            ::WaitMessage();
            continue;
        }
        if (!::GetMessageW(&message, nullptr, 0, 0)) {
            // A quit request ends the dialog, and with it the application.
            modalResult_ = -1;
            break;
        }
        if (!m_hWnd || !::IsDialogMessageW(m_hWnd, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

BOOL CDialogEx::OnInitDialog() {
    DoDataExchange();
    ExecuteDlgInit();
    return TRUE;
}

void CDialogEx::ExecuteDlgInit() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(templateId_), kDialogInitResourceType);
    if (!resource) {
        return;
    }
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    const DWORD size = ::SizeofResource(instance, resource);
    if (!data) {
        return;
    }
    // Entries: control id (WORD), message (WORD), data length (DWORD), data; a zero id ends the list.
    DWORD offset = 0;
    while (offset + 8 <= size) {
        WORD controlId = 0;
        WORD message = 0;
        DWORD length = 0;
        std::memcpy(&controlId, data + offset, 2);
        std::memcpy(&message, data + offset + 2, 2);
        std::memcpy(&length, data + offset + 4, 4);
        offset += 8;
        if (controlId == 0 || length > size - offset) {
            break;
        }
        if (message == kInitControlMessage) {
            ::SendDlgItemMessageW(m_hWnd, controlId, kInitControlMessage, length,
                                  reinterpret_cast<LPARAM>(data + offset));
        }
        offset += length;
    }
}

void CDialogEx::CenterIfUnmoved(const RECT& createdRect) {
    RECT now;
    if (!::GetWindowRect(m_hWnd, &now) || now.left != createdRect.left || now.top != createdRect.top) {
        return;
    }
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = now.right - now.left;
    const int height = now.bottom - now.top;
    const int x = work.left + ((work.right - work.left) - width) / 2;
    const int y = work.top + ((work.bottom - work.top) - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CDialogEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == IDOK) {
                    OnOK();
                    return 0;
                }
                if (LOWORD(wParam) == IDCANCEL) {
                    OnCancel();
                    return 0;
                }
            }
            break;
        case WM_DRAWITEM: {
            // Owner-drawn controls paint themselves: the parent reflects the request.
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            CWnd* control = item ? CWnd::FromHandle(item->hwndItem) : nullptr;
            if (control && control != this) {
                return ::SendMessageW(item->hwndItem, kReflectedDrawItem, wParam, lParam);
            }
            break;
        }
        default:
            break;
    }
    return Default();
}

INT_PTR CALLBACK CDialogEx::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    auto* dialog = reinterpret_cast<CDialogEx*>(lParam);
    dialog->SubclassWindow(hwnd);
    RECT createdRect{};
    ::GetWindowRect(hwnd, &createdRect);
    const BOOL result = AfxCallGuarded(TRUE, [dialog] { return dialog->OnInitDialog(); });
    if (::IsWindow(hwnd)) {
        dialog->CenterIfUnmoved(createdRect);
    }
    return result;
}
