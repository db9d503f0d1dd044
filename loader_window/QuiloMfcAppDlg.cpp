#include "loader_window/QuiloMfcAppDlg.h"

#include <commctrl.h>

#include "app/ProductConstants.h"

CQuiloMfcAppDlg::CQuiloMfcAppDlg(CWnd* parent) : CDialogEx(IDD, parent) {
    icon_ = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CQuiloMfcAppDlg::~CQuiloMfcAppDlg() {
    if (statusFont_) {
        ::DeleteObject(statusFont_);
    }
}

void CQuiloMfcAppDlg::DoDataExchange() {
    CDialogEx::DoDataExchange();
    minimizeButton_.SubclassDlgItem(IDC_BUTTON_MINIMIZE, *this);
    closeButton_.SubclassDlgItem(IDC_BUTTON_CLOSE, *this);
}

BOOL CQuiloMfcAppDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    ::SetWindowTextW(m_hWnd, kProductDisplayName);
    if (!RunLoadingSequence()) {
        ShowWindow(SW_HIDE);
    }
    return TRUE;
}

void CQuiloMfcAppDlg::SetStatusText(const std::wstring& text) { ::SetDlgItemTextW(m_hWnd, IDC_STATUS_TEXT, text.c_str()); }

void CQuiloMfcAppDlg::ShowContinueLink() {
    HWND link = GetDlgItem(IDC_LINK_CONTINUE);
    if (link) {
        ::ShowWindow(link, SW_SHOW);
        ::EnableWindow(link, TRUE);
    }
}

void CQuiloMfcAppDlg::HideWindow() { ShowWindow(SW_HIDE); }

void CQuiloMfcAppDlg::OnPaint() { Default(); }
HCURSOR CQuiloMfcAppDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(icon_); }
LRESULT CQuiloMfcAppDlg::OnNcHitTest(POINT) { return Default(); }
HBRUSH CQuiloMfcAppDlg::OnCtlColor(HDC, HWND) { return reinterpret_cast<HBRUSH>(Default()); }
void CQuiloMfcAppDlg::OnTimer(UINT_PTR) { Default(); }
void CQuiloMfcAppDlg::OnDestroy() { Default(); }

LRESULT CQuiloMfcAppDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BUTTON_MINIMIZE && HIWORD(wParam) == BN_CLICKED) {
                OnBnClickedMinimize();
                return 0;
            }
            if (LOWORD(wParam) == IDC_BUTTON_CLOSE && HIWORD(wParam) == BN_CLICKED) {
                OnBnClickedClose();
                return 0;
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header && header->code == NM_CLICK) {
                LRESULT result = 0;
                if (header->idFrom == IDC_LINK_CONTINUE) {
                    OnNMClickContinue(header, &result);
                    return result;
                }
                if (header->idFrom == IDC_LINK_ONLINE_SUPPORT) {
                    OnNMClickOnlineSupport(header, &result);
                    return result;
                }
            }
            break;
        }
        default:
            break;
    }
    return CDialogEx::WindowProc(message, wParam, lParam);
}
