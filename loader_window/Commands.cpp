// Stand-in until the window's commands land.
#include "loader_window/QuiloMfcAppDlg.h"

void CQuiloMfcAppDlg::OnBnClickedMinimize() { ShowWindow(SW_MINIMIZE); }
void CQuiloMfcAppDlg::OnBnClickedClose() { ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0); }
void CQuiloMfcAppDlg::OnNMClickContinue(NMHDR*, LRESULT* result) { *result = 0; }
void CQuiloMfcAppDlg::OnNMClickOnlineSupport(NMHDR*, LRESULT* result) { *result = 0; }
