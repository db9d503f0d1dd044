// Handing over to the updater: the marker "upd.tmp" with a non-empty "update"
// folder makes the launcher start the updater instead of the main application
// and end at once; a marker that does not say "6" changes nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "TestBridge.h"

namespace {

const std::wstring kUpdateTitle = L"软件升级提示";

struct UpdateLayout {
    std::string marker;        // bytes of "upd.tmp"; empty: no marker
    bool folder = true;        // "update" exists
    bool fileInFolder = true;  // ... holding a file
    bool hiddenSubfolderOnly = false;
};

void LayOutUpdate(ScratchInstall& install, const UpdateLayout& layout) {
    if (!layout.marker.empty()) {
        install.WriteFile(L"upd.tmp", layout.marker);
    }
    if (!layout.folder) {
        return;
    }
    install.MakeFolder(L"update");
    if (layout.hiddenSubfolderOnly) {
        install.MakeFolder(L"update\\hidden");
        ::SetFileAttributesW(install.PathOf(L"update\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    } else if (layout.fileInFolder) {
        install.WriteFile(L"update\\package.bin", "new files");
    }
}

}  // namespace

class UpdateScenario : public LauncherScenario {};

TEST_F(UpdateScenario, OnlyAMarkerSayingSixWithAFilledFolderHandsOver) {
    const std::string fourBytesOnly = MarkerBytes(1, "").substr(0, 3);
    struct Case {
        const char* name;
        UpdateLayout layout;
        bool pending;
    } cases[] = {
        {"count 1, byte 6", {MarkerBytes(1, "6")}, true},
        {"space before, CR LF after", {MarkerBytes(4, " 6\r\n")}, true},
        {"count larger than the data", {MarkerBytes(9, "6")}, true},
        {"empty update folder", {MarkerBytes(1, "6"), true, false}, false},
        {"leading zero", {MarkerBytes(2, "06")}, false},
        {"letter after", {MarkerBytes(2, "6a")}, false},
        {"3-byte file", {fourBytesOnly}, false},
        {"count zero", {MarkerBytes(0, "6")}, false},
        {"negative count", {MarkerBytes(-1, "6")}, false},
        {"hidden sub-folder only", {MarkerBytes(1, "6"), true, false, true}, false},
        {"no update folder", {MarkerBytes(1, "6"), false}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchInstall install;
        LayOutScriptedLaunch(install);
        InstallUpdater(install, L"orloupd.exe");
        LayOutUpdate(install, c.layout);
        if (c.pending) {
            // A data store check would stop here with the software-list page.
            WriteConfig(install, {"Apexm5=" + FileMd5Hex(install.PathOf(L"ertmcache")),
                                  "Apdbm5=" + std::string(32, '0')});
        }
        TestProcess launcher = install.StartLauncher();
        if (c.pending) {
            EXPECT_TRUE(WaitForFileIn(install, L"updater-started.txt")) << "the updater did not start";
            ExpectEnds(launcher);
            EXPECT_FALSE(install.Exists(L"runtime-args.txt")) << "the main application started";
            EXPECT_FALSE(install.Exists(L"upd.tmp")) << "the marker stays";
            EXPECT_TRUE(OpenedUrls().empty());
        } else {
            EXPECT_TRUE(WaitForRuntimeStart(install).recorded);
            ExpectEnds(launcher);
            EXPECT_FALSE(install.Exists(L"updater-started.txt")) << "the updater started";
        }
        EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
    }
}

TEST_F(UpdateScenario, TheUpdaterStartsWithoutArgumentsInTheLaunchersCurrentDirectory) {
    ScratchInstall elsewhere(CurrentTestName() + L"-cwd");
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    InstallUpdater(install, L"AutoUpdate.exe");  // no orloupd.exe: the other name is used
    LayOutUpdate(install, {MarkerBytes(1, "6")});
    StartOptions options;
    options.workingDirectory = elsewhere.Directory();
    TestProcess launcher = install.StartLauncher(options);
    ASSERT_TRUE(WaitForFileIn(install, L"updater-started.txt"));
    ExpectEnds(launcher);
    const std::string record = install.ReadFile(L"updater-started.txt");
    const std::string updater = Utf8(install.PathOf(L"AutoUpdate.exe"));
    const std::string commandLine = record.substr(8, record.find('\n') - 8);
    EXPECT_TRUE(commandLine == updater || commandLine == "\"" + updater + "\"" ||
                commandLine == "\"" + updater + "\" ")
        << commandLine;
    EXPECT_NE(std::string::npos, record.find("cwd=" + Utf8(elsewhere.Directory())));
}

TEST_F(UpdateScenario, APendingUpdateWithoutUpdaterGoesOnSilentlyAndIsReportedAfterTheRun) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    LayOutUpdate(install, {MarkerBytes(1, "6")});
    install.WriteFile(L"runtime-hold.txt", "");
    TestProcess launcher = install.StartLauncher();
    EXPECT_TRUE(WaitForRuntimeStart(install).recorded);
    PumpFor(300);
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty()) << "a message before the main application ran";
    install.WriteFile(L"runtime-release.txt", "");
    // After a normal end the update is still pending, and now a missing updater is reported.
    MessageBoxInfo box = ExpectMessageBox(launcher, kUpdateTitle, L"升级程序加载失败！\n文件丢失。");
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"upd.tmp"));
    EXPECT_TRUE(install.Exists(L"ertmcache"));
}

TEST_F(UpdateScenario, AfterANormalEndAPendingUpdateStartsTheUpdaterBeforeParking) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    InstallUpdater(install, L"orloupd.exe");
    install.WriteFile(L"runtime-hold.txt", "");
    TestProcess launcher = install.StartLauncher();
    EXPECT_TRUE(WaitForRuntimeStart(install).recorded);
    // The update arrives while the main application runs.
    LayOutUpdate(install, {MarkerBytes(1, "6")});
    install.WriteFile(L"runtime-release.txt", "");
    EXPECT_TRUE(WaitForFileIn(install, L"updater-started.txt"));
    ExpectEnds(launcher);
    EXPECT_FALSE(install.Exists(L"upd.tmp"));
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
}

TEST_F(UpdateScenario, AnUpdaterThatCannotStartIsReportedAndTheMarkerStays) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"orloupd.exe", "not a program");
    LayOutUpdate(install, {MarkerBytes(1, "6")});
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(box) << "no message about the updater";
    EXPECT_EQ(Utf8(kUpdateTitle), Utf8(box.title));
    EXPECT_EQ(0u, box.text.rfind(L"升级程序加载失败！\n", 0)) << Utf8(box.text);
    EXPECT_NE(L"升级程序加载失败！\n文件丢失。", box.text);
    // A reason, and never "success" for a start that failed.
    const std::wstring reason = box.text.substr(std::min<size_t>(box.text.size(), 9));
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(Utf8(SystemText(ERROR_SUCCESS)), Utf8(reason));
    EXPECT_TRUE(install.Exists(L"upd.tmp"));
    AnswerMessageBox(box.window, IDOK);
    // The loading sequence goes on to the launch.
    EXPECT_TRUE(WaitForRuntimeStart(install).recorded);
    // After the run the update is still pending and the start fails again.
    MessageBoxInfo again = WaitForMessageBox(launcher.Id());
    ASSERT_TRUE(again);
    EXPECT_EQ(box.text, again.text);
    AnswerMessageBox(again.window, IDOK);
    ExpectEnds(launcher);
}
