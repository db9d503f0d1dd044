#include "framework/WinApp.h"

namespace {
CWinApp* g_application = nullptr;

using RegisterRestartFunction = HRESULT(WINAPI*)(PCWSTR, DWORD);
}  // namespace

CWinApp::CWinApp(const wchar_t*) { g_application = this; }

CWinApp::~CWinApp() {
    if (g_application == this) {
        g_application = nullptr;
    }
}

CWinApp* AfxGetApp() { return g_application; }

BOOL CWinApp::InitInstance() {
    if (m_dwRestartManagerSupportFlags & AFX_RESTART_MANAGER_SUPPORT_RESTART) {
        // Looked up at run time: the call exists from Windows Vista on.
        HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        auto registerRestart = kernel ? reinterpret_cast<RegisterRestartFunction>(reinterpret_cast<void*>(
                                            ::GetProcAddress(kernel, "RegisterApplicationRestart")))
                                      : nullptr;
        if (registerRestart) {
            registerRestart(L"", 0);
        }
    }
    return TRUE;
}

void CWinApp::ProcessWndProcException(const std::exception*) { ::PostQuitMessage(-1); }

void AfxHandleUncaughtException(const std::exception* error) {
    static bool handling = false;
    CWinApp* app = AfxGetApp();
    if (handling || !app) {
        ::PostQuitMessage(-1);
        return;
    }
    handling = true;
    AfxCallGuarded(0, [&] {
        app->ProcessWndProcException(error);
        return 0;
    });
    handling = false;
}

int CWinApp::Run() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const wchar_t* companyName) { m_pszRegistryKey = companyName; }

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        return -1;
    }
    app->m_hInstance = instance;
    if (!AfxCallGuarded(FALSE, [app] { return app->InitInstance(); })) {
        return AfxCallGuarded(-1, [app] { return app->ExitInstance(); });
    }
    return AfxCallGuarded(-1, [app] { return app->Run(); });
}
