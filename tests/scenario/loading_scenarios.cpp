// The loading sequence's outcomes as a person meets them: a bridge that did
// not load, an update handed over, a damaged data store, a main application
// that could not be started.
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "TestBridge.h"

namespace {

constexpr int kStatusText = 1011;
constexpr int kContinueLink = 1013;
const std::string kSoftListPage = "http://www.tarvex-invoice.example/softlist";
const std::string kWrongStoreDigest = "Apdbm5=" + std::string(32, '0');

void LayOutPendingUpdate(ScratchInstall& install) {
    install.WriteFile(L"upd.tmp", MarkerBytes(1, "6"));
    install.MakeFolder(L"update");
    install.WriteFile(L"update\\package.bin", "new files");
}

bool Called(const ScratchInstall& install, const std::string& operation) {
    for (const std::string& call : TestBridgeCalls(install)) {
        if (call.rfind(operation, 0) == 0) {
            return true;
        }
    }
    return false;
}

// Dark pixels of the status text on the screen, read from a screenshot of the
// window (a font handle cannot be read from another process under Wine).
int StatusInk(HWND loader) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"loading-status.bmp";
    if (!SaveWindowScreenshot(loader, path)) {
        return -1;
    }
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (!file) {
        return -1;
    }
    std::vector<unsigned char> bmp;
    unsigned char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        bmp.insert(bmp.end(), chunk, chunk + got);
    }
    std::fclose(file);
    if (bmp.size() < 54) {
        return -1;
    }
    auto read32 = [&](size_t at) {
        return static_cast<int>(bmp[at] | (bmp[at + 1] << 8) | (bmp[at + 2] << 16) | (bmp[at + 3] << 24));
    };
    const int offset = read32(10);
    const int width = read32(18);
    const int height = std::abs(read32(22));
    const bool bottomUp = read32(22) > 0;
    const int stride = ((width * 3) + 3) & ~3;
    RECT window;
    RECT status;
    ::GetWindowRect(loader, &window);
    ::GetWindowRect(::GetDlgItem(loader, kStatusText), &status);
    int ink = 0;
    for (int y = status.top - window.top; y < status.bottom - window.top && y < height; ++y) {
        const int row = bottomUp ? height - 1 - y : y;
        for (int x = status.left - window.left; x < status.right - window.left && x < width; ++x) {
            const size_t at = static_cast<size_t>(offset + row * stride + x * 3);
            if (at + 2 < bmp.size() && bmp[at] < 96 && bmp[at + 1] < 96 && bmp[at + 2] < 96) {
                ++ink;
            }
        }
    }
    return ink;
}

}  // namespace

class LoadingScenario : public LauncherScenario {};

TEST_F(LoadingScenario, ABridgeThatDidNotLoadIsReportedAndNothingElseIsChecked) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    InstallUpdater(install);
    LayOutPendingUpdate(install);
    WriteConfig(install, {kWrongStoreDigest});
    // No .NET Framework 4 at all: start-up goes on without loading the bridge.
    RemoveDotNetSetupKey();
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo question = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(question);
    EXPECT_EQ(L"运行环境检测提示", question.title);
    AnswerMessageBox(question.window, IDYES);
    ASSERT_TRUE(WaitForWindowGone(question.window));
    MessageBoxInfo box = ExpectMessageBox(
        launcher, L"初始化失败",
        L"软件启动失败！当前电脑缺少必需的运行库。\n请先安装相关运行环境或使用软件安装包修复。"
        L"\n\n如需帮助，请联系软件服务人员。");
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    HWND loader = WaitForVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    EXPECT_EQ(L"运行库加载失败，请尝试重启软件...", ControlText(loader, kStatusText));
    EXPECT_FALSE(IsControlVisible(loader, kContinueLink));
    EXPECT_FALSE(IsControlEnabled(loader, kContinueLink));
    PumpFor(500);
    EXPECT_FALSE(install.Exists(L"updater-started.txt")) << "the update was handed over";
    EXPECT_TRUE(OpenedUrls().empty()) << "the data store was checked";
    EXPECT_FALSE(install.Exists(L"runtime-args.txt"));
    EXPECT_FALSE(Called(install, "QueryComputerId"));
}

TEST_F(LoadingScenario, AnUpdateHandedOverEndsTheLauncherWithoutStoreCheckOrLaunch) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    InstallUpdater(install);
    LayOutPendingUpdate(install);
    WriteConfig(install, {kWrongStoreDigest});
    TestProcess launcher = install.StartLauncher();
    EXPECT_TRUE(WaitForFileIn(install, L"updater-started.txt"));
    ExpectEnds(launcher);
    EXPECT_TRUE(OpenedUrls().empty());
    EXPECT_FALSE(install.Exists(L"runtime-args.txt"));
    EXPECT_TRUE(install.Exists(L"ertmcache"));
}

TEST_F(LoadingScenario, APendingUpdateWithoutUpdaterGoesOnToTheStoreCheckSilently) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    LayOutPendingUpdate(install);
    WriteConfig(install, {kWrongStoreDigest});
    TestProcess launcher = install.StartLauncher();
    EXPECT_EQ(std::vector<std::string>{kSoftListPage}, WaitForOpenedUrls(1));
    HWND loader = WaitForVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
}

TEST_F(LoadingScenario, ADamagedDataStoreOpensTheSoftwareListOnceAndLaunchesNothing) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"Quilord.da", "damaged");
    TestProcess launcher = install.StartLauncher();
    EXPECT_EQ(std::vector<std::string>{kSoftListPage}, WaitForOpenedUrls(1));
    HWND loader = WaitForVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    EXPECT_EQ(L"数据文件错误，请下载完整安装包修复。", ControlText(loader, kStatusText));
    EXPECT_FALSE(IsControlVisible(loader, kContinueLink));
    EXPECT_FALSE(IsControlEnabled(loader, kContinueLink));
    PumpFor(1000);
    EXPECT_EQ(1u, OpenedUrls().size());
    EXPECT_FALSE(install.Exists(L"runtime-args.txt"));
    EXPECT_FALSE(Called(install, "RegenerateRuntime"));
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
}

TEST_F(LoadingScenario, AMissingStoreDigestIsReportedBeforeTheSoftwareListOpens) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    WriteConfig(install, {"Apexm5=" + FileMd5Hex(install.PathOf(L"ertmcache"))});
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, L"软件加载提示", L"加载配置文件失败！\r\nAppConf-apdbm5");
    ASSERT_TRUE(box);
    EXPECT_TRUE(OpenedUrls().empty());
    AnswerMessageBox(box.window, IDOK);
    EXPECT_EQ(std::vector<std::string>{kSoftListPage}, WaitForOpenedUrls(1));
    HWND loader = WaitForVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    EXPECT_EQ(L"数据文件错误，请下载完整安装包修复。", ControlText(loader, kStatusText));
}

TEST_F(LoadingScenario, AFailedLaunchLeavesThePulsingWindowWithAContinueLinkThatTriesAgain) {
    ScratchInstall install;
    LayOutPackagedNotAProgram(install);
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << "no message about the failed start";
    EXPECT_EQ(Utf8(L"软件加载提示"), Utf8(box.title));
    EXPECT_EQ(0u, box.text.rfind(L"加载失败！\n", 0)) << Utf8(box.text);
    // The system names a file that is not a program in one of several ways.
    const std::wstring reason = box.text.substr(std::min<size_t>(box.text.size(), 6));
    EXPECT_TRUE(reason == SystemText(ERROR_BAD_EXE_FORMAT) || reason == L"原因：文件或路径错误。" ||
                reason == SystemText(ERROR_ACCESS_DENIED) || reason == SystemText(ERROR_FILE_INVALID))
        << Utf8(box.text);
    AnswerMessageBox(box.window, IDOK);
    HWND loader = WaitForVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader) << "the loader window did not show after the failed start";
    EXPECT_EQ(L"正在加载中.....", ControlText(loader, kStatusText));
    EXPECT_TRUE(IsControlVisible(loader, kContinueLink));
    EXPECT_TRUE(IsControlEnabled(loader, kContinueLink));
    // The status text alternates between bold and regular.
    std::set<int> inks;
    for (int i = 0; i < 6; ++i) {
        inks.insert(StatusInk(loader));
        PumpFor(450);
    }
    EXPECT_GE(inks.size(), 2u) << "the status text does not pulse";
    // The continue link runs the launch again, which fails the same way.
    ClickControl(loader, kContinueLink);
    MessageBoxInfo again = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(again) << "the continue link did not run the launch again";
    EXPECT_EQ(box.text, again.text);
    AnswerMessageBox(again.window, IDOK);
    EXPECT_TRUE(::IsWindowVisible(loader));
    EXPECT_TRUE(install.Exists(L"InPrRtm.exe"));
    EXPECT_FALSE(install.Exists(L"ertmcache")) << "a launch that never started parks nothing";
    EXPECT_TRUE(launcher.IsRunning());
}
