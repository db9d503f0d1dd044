#ifndef QUILO_FRAMEWORK_WINAPP_H
#define QUILO_FRAMEWORK_WINAPP_H

// The framework's application object and process entry. The process entry
// calls InitInstance once; when it returns false there is no message loop to
// run, ExitInstance runs and the process ends with its result.

#include <windows.h>

#include <exception>

class CWnd;

// Restart-manager support flag: register the process for restart after a crash or update.
constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;

class CWinApp {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();

    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The framework's own application initialisation (restart registration).
    virtual BOOL InitInstance();
    virtual int ExitInstance() { return 0; }
    // The message loop, for applications whose InitInstance returns true.
    virtual int Run();
    // A C++ exception reached one of the framework's boundaries (a window
    // procedure, a dialog's initialisation, InitInstance): nothing above them
    // could handle it, and letting it through the system's frames would end
    // the process without a word. `error` is null for an exception that is
    // not a std::exception. The default ends the message loop.
    virtual void ProcessWndProcException(const std::exception* error);

    void SetRegistryKey(const wchar_t* companyName);

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    DWORD m_dwRestartManagerSupportFlags = 0;
    const wchar_t* m_pszRegistryKey = nullptr;
};

CWinApp* AfxGetApp();

// The body of the process entry: runs the one application object.
int AfxWinMain(HINSTANCE instance);

// Hands an exception caught at a framework boundary to the application
// (ProcessWndProcException). An exception raised while one is being handled
// (in the handler's own message box, say) only ends the message loop.
void AfxHandleUncaughtException(const std::exception* error);

// Runs `body` inside a framework boundary: a C++ exception it raises goes to
// AfxHandleUncaughtException and the result is `onException`.
template <typename Result, typename Body>
Result AfxCallGuarded(Result onException, Body body) {
    try {
        return body();
    } catch (const std::exception& error) {
        AfxHandleUncaughtException(&error);
    } catch (...) {
        AfxHandleUncaughtException(nullptr);
    }
    return onException;
}

#endif
