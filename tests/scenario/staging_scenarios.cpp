// Putting the main application's executable in place: the parked copy moved
// to its live name, its digest checked against "AppConf.ini", a rebuild
// through the bridge when it is missing or stale.
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "TestBridge.h"

namespace {

const std::wstring kLoadTitle = L"软件加载提示";

std::string StandinDigest() {
    return FileMd5Hex(RuntimeStandIn());
}
std::string StoreDigest() {
    return Md5Hex("");
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool Rebuilt(const ScratchInstall& install) {
    for (const std::string& call : TestBridgeCalls(install)) {
        if (call.rfind("RegenerateRuntime", 0) == 0) {
            return true;
        }
    }
    return false;
}

// Midnight of 1 January of that year, as a file time.
FILETIME FileTimeOfYear(WORD year) {
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = 1;
    date.wDay = 1;
    FILETIME time = {};
    ::SystemTimeToFileTime(&date, &time);
    return time;
}

bool SetLastWriteTime(const std::wstring& path, const FILETIME& time) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool set = ::SetFileTime(file, nullptr, nullptr, &time) != FALSE;
    ::CloseHandle(file);
    return set;
}

bool GetLastWriteTime(const std::wstring& path, FILETIME& time) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    time = data.ftLastWriteTime;
    return true;
}

}  // namespace

class StagingScenario : public LauncherScenario {};

TEST_F(StagingScenario, TheConfigurationDecidesWhetherTheExecutableIsRebuilt) {
    const std::string good = StandinDigest();
    const std::string bad(32, 'A');
    const std::string store = "Apdbm5=" + StoreDigest();
    struct Case {
        const char* name;
        std::vector<std::string> config;
        bool rebuilt;
    } cases[] = {
        {"plain upper-case hexadecimal", {store, "Apexm5=" + good}, false},
        {"lower-case key, spaces around the sign", {store, "  apexm5  =   " + good + "   "}, false},
        {"lower-case hexadecimal", {store, "Apexm5=" + Lower(good)}, Lower(good) != good},
        {"first of two keys wins (right first)", {store, "Apexm5=" + good, "Apexm5=" + bad}, false},
        {"first of two keys wins (wrong first)", {store, "Apexm5=" + bad, "Apexm5=" + good}, true},
        {"a commented line is not used", {store, ";Apexm5=" + good, "Apexm5=" + bad}, true},
        {"sections carry no meaning", {"[A]", store, "[B]", "Apexm5=" + good}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchInstall install;
        LayOutScriptedLaunch(install);
        WriteConfig(install, c.config);
        TestProcess launcher = install.StartLauncher();
        const RuntimeStart start = WaitForRuntimeStart(install);
        EXPECT_TRUE(start.recorded);
        ExpectEnds(launcher);
        EXPECT_EQ(c.rebuilt, Rebuilt(install));
        EXPECT_TRUE(install.Exists(L"ertmcache"));
    }
}

TEST_F(StagingScenario, ParkedCopyWithMatchingDigestIsMovedAndStartedWithoutRebuild) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.WriteFile(L"runtime-hold.txt", "");
    TestProcess launcher = install.StartLauncher();
    WaitForRuntimeStart(install);
    EXPECT_TRUE(install.Exists(L"InPrRtm.exe"));
    EXPECT_FALSE(install.Exists(L"ertmcache"));
    install.WriteFile(L"runtime-release.txt", "");
    ExpectEnds(launcher);
    EXPECT_FALSE(Rebuilt(install));
}

TEST_F(StagingScenario, NeitherCopyPresentMeansARebuildWithoutReadingTheExecutableDigest) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.Remove(L"ertmcache");
    // No "Apexm5" at all: reading it would stop the launch with a message.
    WriteConfig(install, {"Apdbm5=" + StoreDigest()});
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_TRUE(start.recorded);
    ExpectEnds(launcher);
    const std::string directory = Utf8(install.Directory());
    const std::vector<std::string> calls = TestBridgeCalls(install);
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(),
                                     "RegenerateRuntime(\"" + directory +
                                         "\\Quilord.da\",\"73kqd_415209\","
                                         "\"DatFileInfo\",\"FileDat\",\"" +
                                         directory + "\",\"InPrRtm.exe\")"));
    EXPECT_TRUE(install.Exists(L"ertmcache"));
}

TEST_F(StagingScenario, ALiveExecutableWithoutItsRecordedDigestShowsTheConfigurationMessageOnly) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    WriteConfig(install, {"Apdbm5=" + StoreDigest()});
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kLoadTitle, L"读取配置文件失败！\r\nAppConf-apexm5");
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    HWND loader = WaitForVisibleLoaderWindow(launcher);
    EXPECT_TRUE(loader);
    EXPECT_FALSE(Rebuilt(install));
    EXPECT_FALSE(install.Exists(L"runtime-args.txt")) << "the main application started";
    // The parked copy was moved before the configuration was read, and stays live.
    EXPECT_TRUE(install.Exists(L"InPrRtm.exe"));
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
}

TEST_F(StagingScenario, AReadOnlyStaleExecutableIsClearedAndOverwritten) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.Remove(L"ertmcache");
    install.WriteFile(L"InPrRtm.exe", "stale bytes");
    ::SetFileAttributesW(install.PathOf(L"InPrRtm.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_TRUE(start.recorded);
    ExpectEnds(launcher);
    EXPECT_TRUE(Rebuilt(install));
    const DWORD attributes = ::GetFileAttributesW(install.PathOf(L"ertmcache").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(StandinDigest(), FileMd5Hex(install.PathOf(L"ertmcache")));
}

TEST_F(StagingScenario, ALeftoverLiveFileNextToTheParkedCopyAbandonsTheLaunchWithAWarning) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.CopyIn(install.PathOf(L"ertmcache"), L"InPrRtm.exe");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(
        launcher, kLoadTitle,
        L"软件加载失败！\n安装目录中同时存在 InPrRtm.exe 和 ertmcache，无法确定应启动哪一个。\n"
        L"请确认软件未在运行后删除 InPrRtm.exe，再重新启动软件。");
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    HWND loader = WaitForVisibleLoaderWindow(launcher);
    ASSERT_TRUE(loader);
    EXPECT_TRUE(IsControlEnabled(loader, 1013));
    EXPECT_FALSE(install.Exists(L"runtime-args.txt"));
    EXPECT_TRUE(install.Exists(L"InPrRtm.exe"));
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_TRUE(launcher.IsRunning());
}

TEST_F(StagingScenario, ARebuildThatWritesNothingReportsTheMissingFile) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.Remove(L"ertmcache");
    ScriptTestBridge(install, "status=1\ncomputer_id=PC-1\nregenerate=1\n");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box =
        ExpectMessageBox(launcher, L"加载软件提示", L"软件加载失败，未找到加载文件，请重试。");
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    EXPECT_TRUE(WaitForVisibleLoaderWindow(launcher));
    EXPECT_FALSE(install.Exists(L"runtime-args.txt"));
}

TEST_F(StagingScenario, APackagedInstallWithTheReferenceBridgeStartsWithoutRebuild) {
    ScratchInstall install;
    LayOutPackagedLaunch(install);
    // The packager writes digests with substitute characters. A rebuild
    // would write the same bytes, so what tells it is the file's time: the
    // parked copy is dated back, and moving it keeps that date.
    ASSERT_TRUE(install.Exists(L"ertmcache"));
    const FILETIME dated = FileTimeOfYear(2020);
    ASSERT_TRUE(SetLastWriteTime(install.PathOf(L"ertmcache"), dated));
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_EQ(15u, start.argv.size());
    ExpectEnds(launcher);
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
    FILETIME after = {};
    ASSERT_TRUE(GetLastWriteTime(install.PathOf(L"ertmcache"), after));
    EXPECT_EQ(0, ::CompareFileTime(&dated, &after)) << "the executable was written again";
}

TEST_F(StagingScenario, APackagedInstallRebuildsAMissingExecutableFromItsDataStore) {
    ScratchInstall install;
    LayOutPackagedLaunch(install);
    install.Remove(L"ertmcache");
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_EQ(15u, start.argv.size());
    ExpectEnds(launcher);
    EXPECT_EQ(StandinDigest(), FileMd5Hex(install.PathOf(L"ertmcache")));
}
