// The loader window from the keyboard, as a person uses a dialog: real key
// presses (SendInput) on the launcher's window with the focus on each link.
// Enter and Space on the website link open the page as a click does and never
// end the window; Enter on the system links runs their commands; Tab moves
// between the links.
#include <string>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "ShellRecorder.h"
#include "TestPaths.h"
#include "util/ProductConstants.h"

namespace {

constexpr int kWebsiteLinkId = 1010;
constexpr int kOnlineSupportLinkId = 1012;
constexpr int kContinueLinkId = 1013;

HWND FocusedWindowOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Brings the window to the front and moves the dialog's focus to the control
// the way the dialog manager does; true once the control has the focus.
bool FocusControl(HWND dialog, int controlId) {
    HWND control = ::GetDlgItem(dialog, controlId);
    ::SetForegroundWindow(dialog);
    ::PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    const ULONGLONG deadline = ::GetTickCount64() + kDefaultWaitMs;
    while (FocusedWindowOf(dialog) != control && ::GetTickCount64() < deadline) {
        PumpFor(50);
    }
    return control && FocusedWindowOf(dialog) == control;
}

void PressKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1].type = INPUT_KEYBOARD;
    inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
    PumpFor(100);
}

std::string WebsitePage() {
    return Utf8(std::wstring(kWebsiteAddress) + kSoftwareListPath);
}

}  // namespace

class KeyboardScenario : public LauncherScenario {};

TEST_F(KeyboardScenario, EnterAndSpaceOnTheWebsiteLinkOpenThePageAndKeepTheWindow) {
    for (WORD key : {VK_RETURN, VK_SPACE}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Space");
        ClearOpenedUrls();
        ScratchInstall install;
        TestProcess launcher;
        HWND loader = OpenLoaderWindow(install, launcher);
        ASSERT_TRUE(loader);
        ASSERT_TRUE(FocusControl(loader, kWebsiteLinkId)) << "the website link did not take the focus";
        PressKey(key);
        EXPECT_EQ(std::vector<std::string>{WebsitePage()}, WaitForOpenedUrls(1));
        PumpFor(500);
        EXPECT_TRUE(launcher.IsRunning()) << "the key ended the launcher";
        EXPECT_TRUE(::IsWindowVisible(loader));
        EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
        launcher.Kill();
    }
}

TEST_F(KeyboardScenario, EnterOnTheOnlineSupportLinkStartsTheSupportProgram) {
    ScratchInstall install;
    install.CopyIn(BuildFile("standins/support_standin.exe"), L"Pelko.exe");
    TestProcess launcher;
    HWND loader = OpenLoaderWindow(install, launcher);
    ASSERT_TRUE(loader);
    ASSERT_TRUE(FocusControl(loader, kOnlineSupportLinkId)) << "the online-support link did not take the focus";
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitForFileIn(install, L"Pelko.commandline.txt")) << "the support program was not started";
    EXPECT_TRUE(launcher.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(loader));
}

TEST_F(KeyboardScenario, EnterOnTheContinueLinkRunsTheLaunchAgain) {
    ScratchInstall install;
    LayOutPackagedNotAProgram(install);
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ASSERT_TRUE(WaitForWindowGone(box.window));
    HWND loader = WaitForVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    ASSERT_TRUE(FocusControl(loader, kContinueLinkId)) << "the continue link did not take the focus";
    PressKey(VK_RETURN);
    MessageBoxInfo again = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(again) << "Enter on the continue link did not run the launch again";
    EXPECT_EQ(Utf8(box.text), Utf8(again.text));
    AnswerMessageBox(again.window, IDOK);
}

TEST_F(KeyboardScenario, TabMovesFromTheWebsiteLinkToTheOnlineSupportLink) {
    ScratchInstall install;
    TestProcess launcher;
    HWND loader = OpenLoaderWindow(install, launcher);
    ASSERT_TRUE(loader);
    ASSERT_TRUE(FocusControl(loader, kWebsiteLinkId));
    // The continue link is hidden here, so the next stop is the online-support link.
    PressKey(VK_TAB);
    const ULONGLONG deadline = ::GetTickCount64() + kDefaultWaitMs;
    while (FocusedWindowOf(loader) != ::GetDlgItem(loader, kOnlineSupportLinkId) &&
           ::GetTickCount64() < deadline) {
        PumpFor(50);
    }
    EXPECT_EQ(::GetDlgItem(loader, kOnlineSupportLinkId), FocusedWindowOf(loader));
    EXPECT_TRUE(launcher.IsRunning());
}
