#include <gtest/gtest.h>

#include <thread>

#include "app/ElevatedRelaunch.h"
#include "app/QuiloMfcApp.h"
#include "bridge/BridgeHost.h"
#include "util/MessageBox.h"
#include "SilentBridge.h"

namespace {

// A bridge object that only counts how often it is deleted.
class CountingBridge final : public SilentBridge {
public:
    explicit CountingBridge(int* deletions) : deletions_(deletions) {}
    void* QUILO_BRIDGE_CALL DeleteThis(unsigned int flags) override {
        ++*deletions_;
        if (flags & 1) {
            delete this;
        }
        return this;
    }

private:
    int* deletions_;
};

BOOL CALLBACK FindOwnMessageBox(HWND window, LPARAM found) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (process == ::GetCurrentProcessId() && std::wstring(className) == L"#32770" &&
        ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Reads the title of the first message box this process shows, then closes it.
std::wstring ReadOwnMessageBoxTitle() {
    for (int attempt = 0; attempt < 200; ++attempt) {
        HWND box = nullptr;
        ::EnumWindows(&FindOwnMessageBox, reinterpret_cast<LPARAM>(&box));
        if (box) {
            wchar_t title[64] = {};
            ::GetWindowTextW(box, title, 64);
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return title;
        }
        ::Sleep(25);
    }
    return L"(no box)";
}

}  // namespace

TEST(ExitInstance, UnloadsTheBridgeOnceHoweverOftenItRuns) {
    int deletions = 0;
    TheBridgeHost().AttachForTesting(new CountingBridge(&deletions));
    TheStartupState().bridgeLoaded = true;
    QuiloMfcApp app;
    app.ExitInstance();
    app.ExitInstance();
    EXPECT_EQ(1, deletions);
    EXPECT_FALSE(TheBridgeHost().IsLoaded());
    TheStartupState().bridgeLoaded = false;
}

TEST(MessageBoxes, AnEmptyTitleShowsTheDefaultTitle) {
    std::wstring title;
    std::thread reader([&title] { title = ReadOwnMessageBoxTitle(); });
    const int answer = ShowWarning(L"text", L"");
    reader.join();
    EXPECT_EQ(L"提示", title);
    EXPECT_EQ(IDOK, answer);
}

TEST(ElevatedRelaunch, AsksForTheLauncherItselfAsAdministratorWithNothingElse) {
    const std::wstring launcherPath = L"C:\\Program Files\\Tarvex\\TarvexLauncher.exe";
    const SHELLEXECUTEINFOW request = ElevatedRelaunchRequest(launcherPath);
    // The shell reads the structure by the size it is told: 60 bytes for a
    // 32-bit caller, 112 for a 64-bit one.
    EXPECT_EQ(sizeof(void*) == 4 ? 60u : 112u, request.cbSize);
    // The handle of the new copy is handed back, for the caller to close.
    EXPECT_EQ(static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS), request.fMask);
    ASSERT_NE(nullptr, request.lpVerb);
    EXPECT_EQ(std::wstring(L"runas"), request.lpVerb);
    EXPECT_EQ(launcherPath.c_str(), request.lpFile);
    EXPECT_TRUE(!request.lpParameters || !*request.lpParameters) << "arguments: " << request.lpParameters;
    EXPECT_EQ(nullptr, request.lpDirectory);
    EXPECT_EQ(SW_SHOWNORMAL, request.nShow);
    EXPECT_EQ(nullptr, request.hwnd);
}
