#include "launch/QuitRequest.h"

#include "framework/WinApp.h"
#include "framework/Wnd.h"

void PostQuitRequest(HWND fallback) {
    CWinApp* app = AfxGetApp();
    HWND mainWindow = (app && app->m_pMainWnd) ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    ::PostMessageW(mainWindow ? mainWindow : fallback, WM_QUIT, 0, 0);
}
