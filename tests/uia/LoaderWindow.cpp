#include "LoaderWindow.h"

#include <gtest/gtest.h>

#include "UiAutomation.h"

namespace {

constexpr int kStatusTextId = 1011;

bool IsLoaderWindow(HWND window) {
    return ::GetDlgItem(window, kStatusTextId) != nullptr;
}

// The launcher's questions are answered the cautious way: No declines an
// offer (a download page, a restart), OK acknowledges a report.
void AnswerCautiously(HWND box) {
    if (::GetDlgItem(box, IDNO)) {
        AnswerMessageBox(box, IDNO);
    } else if (::GetDlgItem(box, IDOK)) {
        AnswerMessageBox(box, IDOK);
    } else {
        AnswerMessageBox(box, IDCANCEL);
    }
}

}  // namespace

HWND WaitForVisibleLoaderWindow(const TestProcess& launcher, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        for (HWND window : TopLevelWindows(launcher.Id(), L"#32770")) {
            if (IsLoaderWindow(window)) {
                return window;
            }
        }
        for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
            AnswerCautiously(box.window);
        }
        if (!launcher.IsRunning()) {
            ADD_FAILURE() << "the launcher ended before its loader window became visible";
            return nullptr;
        }
        PumpFor(50);
    }
    ADD_FAILURE() << "no visible loader window within " << timeoutMs << " ms";
    return nullptr;
}

HWND OpenLoaderWindow(ScratchInstall& install, TestProcess& launcher) {
    install.WithRequiredFiles();
    launcher = install.StartLauncher();
    if (!launcher.IsStarted()) {
        ADD_FAILURE() << "the launcher did not start (error " << launcher.StartError() << ")";
        return nullptr;
    }
    return WaitForVisibleLoaderWindow(launcher);
}
