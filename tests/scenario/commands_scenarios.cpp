// The loader window's commands as a person uses them: the online-support
// link with its single-instance test and its command line, closing with and
// without the question, Escape, and minimising.
#include <algorithm>
#include <cstdio>
#include <string>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "TestBridge.h"

namespace {

constexpr int kCloseButtonId = 1003;
constexpr int kMinimizeButtonId = 1004;
constexpr int kOnlineSupportLinkId = 1012;

const std::wstring kSupportArgumentWithoutBridge = L"_TVX_1.2.3.4_1899-12-30_LoadPage";
const std::wstring kAlreadyOpenTitle = L"重复打开在线客服窗口提示";
const std::wstring kAlreadyOpenText = L"会话窗口已打开，请不要重复打开！";
const std::wstring kStartFailedTitle = L"软件加载提示";
const std::wstring kStartFailedText = L"加载失败！\n请尝试重启软件！";
const std::wstring kCloseTitle = L"退出软件提示";
const std::wstring kCloseText = L"确定关闭软件吗？";

std::wstring SupportStandIn() {
    return BuildFile("standins/support_standin.exe");
}

// The visible loader window of a launcher started on a scratch install whose
// bridge files are empty stand-ins (start-up reports the bridge first).
HWND OpenVisibleLoaderWindow(const TestProcess& launcher) {
    HWND loader = WaitForVisibleLoaderWindow(launcher, 30000);
    // Let the window finish showing: the tests click on it with the real mouse.
    PumpFor(300);
    return loader;
}

// Waits until a file the support stand-in writes exists and returns its text.
std::string WaitForFileText(const std::wstring& path, DWORD timeoutMs = kDefaultWaitMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        FILE* file = ::_wfopen(path.c_str(), L"rb");
        if (file) {
            std::string text;
            char buffer[4096];
            size_t read = 0;
            while ((read = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
                text.append(buffer, read);
            }
            std::fclose(file);
            if (!text.empty()) {
                return text;
            }
        }
        PumpFor(100);
    } while (::GetTickCount64() < deadline);
    return std::string();
}

bool FileExistsAt(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

class CommandsScenario : public LauncherScenario {
protected:
    void TearDown() override {
        KillProcessesByName(L"Tarvex.exe");
        LauncherScenario::TearDown();
    }

    // Clicks the support link and expects the support program to start.
    std::string ClickSupportAndReadCommandLine(HWND loader, const ScratchInstall& install) {
        ClickControl(loader, kOnlineSupportLinkId);
        return WaitForFileText(install.PathOf(L"Pelko.commandline.txt"));
    }
};

// The computer identifier leads the support argument: empty without a loaded
// bridge, the bridge's answer with one (whose loading then stops at a data
// store that does not match its digest, so the window stays).
TEST_F(CommandsScenario, SupportLinkStartsTheSupportProgramWithFiveUnquotedValues) {
    struct Case {
        const char* what;
        bool bridgeLoads;
        std::wstring supportArgument;
    } cases[] = {
        {"no bridge", false, kSupportArgumentWithoutBridge},
        {"bridge answering PC-0042", true, L"PC-0042_TVX_1.2.3.4_1899-12-30_LoadPage"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KillScenarioProcesses();
        ClearOpenedUrls();
        ScratchInstall install(CurrentTestName() + L"_" + std::to_wstring(++index));
        install.CopyIn(SupportStandIn(), L"Pelko.exe");
        if (c.bridgeLoads) {
            InstallTestBridge(install);
            ScriptTestBridge(install, "status=1\ncomputer_id=PC-0042\n");
            WriteConfig(install, {"Apdbm5=" + std::string(32, '0')});
        } else {
            install.WithRequiredFiles();
        }
        TestProcess launcher = install.StartLauncher();
        HWND loader = OpenVisibleLoaderWindow(launcher);
        ASSERT_TRUE(loader);
        if (c.bridgeLoads) {
            ASSERT_EQ(1u, WaitForOpenedUrls(1).size()) << "the data store check did not stop the loading";
        }

        const std::string commandLine = ClickSupportAndReadCommandLine(loader, install);
        ASSERT_FALSE(commandLine.empty()) << "the support program was not started";
        // The launcher's version is 1.2.3.4; the support date is the zero date.
        EXPECT_EQ(Utf8(install.PathOf(L"Pelko.exe") + L" 192.0.2.66 6629 " + c.supportArgument + L" Tarvex"),
                  commandLine);
        EXPECT_EQ(
            Utf8(install.PathOf(L"Pelko.exe") + L"\n192.0.2.66\n6629\n" + c.supportArgument + L"\nTarvex\n"),
            WaitForFileText(install.PathOf(L"Pelko.argv.txt")));
        PumpFor(300);
        EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
        EXPECT_TRUE(launcher.IsRunning());
        EXPECT_TRUE(::IsWindowVisible(loader));
    }
}

TEST_F(CommandsScenario, SecondClickWhileTheSupportProgramRunsWarnsAndStartsNothing) {
    ScratchInstall install;
    install.WithRequiredFiles().CopyIn(SupportStandIn(), L"Pelko.exe");
    TestProcess launcher = install.StartLauncher();
    HWND loader = OpenVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    ASSERT_FALSE(ClickSupportAndReadCommandLine(loader, install).empty());
    ASSERT_FALSE(ProcessIdsByName(L"Pelko.exe").empty());

    ClickControl(loader, kOnlineSupportLinkId);
    MessageBoxInfo box = ExpectMessageBox(launcher, kAlreadyOpenTitle, kAlreadyOpenText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ASSERT_TRUE(WaitForWindowGone(box.window));
    EXPECT_EQ(1u, ProcessIdsByName(L"Pelko.exe").size());
    const std::string starts = WaitForFileText(install.PathOf(L"Pelko.starts.txt"));
    EXPECT_EQ(1, std::count(starts.begin(), starts.end(), '\n')) << "starts: " << starts;
}

TEST_F(CommandsScenario, ARunningProcessWhoseNameDiffersOnlyInCaseCountsAsTheSupportProgram) {
    ScratchInstall install;
    install.WithRequiredFiles().CopyIn(SupportStandIn(), L"Pelko.exe").MakeFolder(L"elsewhere");
    install.CopyIn(SupportStandIn(), L"elsewhere\\pelko.EXE");
    TestProcess other = TestProcess::Start(install.PathOf(L"elsewhere\\pelko.EXE"));
    ASSERT_TRUE(other.IsStarted());
    ASSERT_FALSE(WaitForFileText(install.PathOf(L"elsewhere\\pelko.starts.txt")).empty());

    TestProcess launcher = install.StartLauncher();
    HWND loader = OpenVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    ClickControl(loader, kOnlineSupportLinkId);
    MessageBoxInfo box = ExpectMessageBox(launcher, kAlreadyOpenTitle, kAlreadyOpenText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    PumpFor(1000);
    EXPECT_FALSE(install.Exists(L"Pelko.starts.txt"))
        << "the install directory's support program was started";
}

TEST_F(CommandsScenario, InstallDirectoryWithSpacesKeepsThePathUnquotedAndNeverRunsAProgramAtItsPrefix) {
    ::CreateDirectoryW(L"D:\\scenarios", nullptr);
    const std::wstring planted = L"D:\\scenarios\\Tarvex.exe";
    const std::wstring plantedRecord = L"D:\\scenarios\\Tarvex.starts.txt";
    ::DeleteFileW(plantedRecord.c_str());
    ::DeleteFileW(L"D:\\scenarios\\Tarvex.commandline.txt");
    ::DeleteFileW(L"D:\\scenarios\\Tarvex.argv.txt");
    ASSERT_TRUE(::CopyFileW(SupportStandIn().c_str(), planted.c_str(), FALSE));

    ScratchInstall install(CurrentTestName(), L"D:\\scenarios\\Tarvex Demo");
    install.WithRequiredFiles().CopyIn(SupportStandIn(), L"Pelko.exe");
    ASSERT_NE(std::wstring::npos, install.Directory().find(L' '));
    TestProcess launcher = install.StartLauncher();
    HWND loader = OpenVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);

    const std::string commandLine = ClickSupportAndReadCommandLine(loader, install);
    EXPECT_EQ(Utf8(install.PathOf(L"Pelko.exe") + L" 192.0.2.66 6629 " + kSupportArgumentWithoutBridge +
                   L" Tarvex"),
              commandLine);
    PumpFor(500);
    EXPECT_FALSE(FileExistsAt(plantedRecord)) << "the program planted at the path's prefix was started";
    EXPECT_TRUE(ProcessIdsByName(L"Tarvex.exe").empty());
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());

    KillProcessesByName(L"Pelko.exe");
    launcher.Kill();
    ::DeleteFileW(planted.c_str());
}

TEST_F(CommandsScenario, MissingSupportProgramIsReported) {
    ScratchInstall install;
    install.WithRequiredFiles();
    TestProcess launcher = install.StartLauncher();
    HWND loader = OpenVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    ClickControl(loader, kOnlineSupportLinkId);
    MessageBoxInfo box = ExpectMessageBox(launcher, kStartFailedTitle, kStartFailedText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ASSERT_TRUE(WaitForWindowGone(box.window));
    EXPECT_TRUE(launcher.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(loader));
}

TEST_F(CommandsScenario, CloseAsksFirstCancelKeepsTheWindowAndOkEndsTheLauncher) {
    ScratchInstall install;
    install.WithRequiredFiles();
    TestProcess launcher = install.StartLauncher();
    HWND loader = OpenVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);

    ClickControl(loader, kCloseButtonId);
    MessageBoxInfo question = ExpectMessageBox(launcher, kCloseTitle, kCloseText);
    ASSERT_TRUE(question);
    EXPECT_EQ(2u, question.buttons.size());
    // OK is the default: Enter confirms the close.
    ExpectOwnerlessWarningBox(question, IDOK);
    AnswerMessageBox(question.window, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(question.window));
    PumpFor(500);
    EXPECT_TRUE(launcher.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(loader));

    ClickControl(loader, kCloseButtonId);
    question = ExpectMessageBox(launcher, kCloseTitle, kCloseText);
    ASSERT_TRUE(question);
    AnswerMessageBox(question.window, IDOK);
    ExpectEnds(launcher);
}

TEST_F(CommandsScenario, EscapeEndsTheWindowWithoutTheQuestion) {
    ScratchInstall install;
    install.WithRequiredFiles();
    TestProcess launcher = install.StartLauncher();
    HWND loader = OpenVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    ::PostMessageW(loader, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageW(loader, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    ExpectEnds(launcher);
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
}

TEST_F(CommandsScenario, MinimiseLeavesTheLauncherRunningWithItsWindowIconic) {
    ScratchInstall install;
    install.WithRequiredFiles();
    TestProcess launcher = install.StartLauncher();
    HWND loader = OpenVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    ClickControl(loader, kMinimizeButtonId);
    const ULONGLONG deadline = ::GetTickCount64() + kDefaultWaitMs;
    while (!::IsIconic(loader) && ::GetTickCount64() < deadline) {
        PumpFor(50);
    }
    EXPECT_TRUE(::IsIconic(loader)) << "the loader window was not minimised";
    EXPECT_TRUE(launcher.IsRunning());
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
}
