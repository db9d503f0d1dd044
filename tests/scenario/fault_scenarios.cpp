// Damaged install directories as people's machines have them: files of every
// kind empty, cut short, replaced by a folder, read-only or held open by
// another program, a runaway update marker, paths at the length limit, an
// install path with ideographs, a configuration file with megabyte lines and
// zero bytes. Each row gives its one clear message or runs the main
// application; never a crash, a hang or a generic error box.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "RuntimeKeeping.h"
#include "launch/FailureDiagnosis.h"

namespace {

constexpr DWORD kRowWaitMs = 60000;
constexpr int kStatusControl = 1011;

const std::wstring kInitTitle = L"初始化提示";
const std::wstring kRuntimeCheckTitle = L"运行环境检测提示";
const std::wstring kInitFailedTitle = L"初始化失败";
const std::wstring kLoadTitle = L"软件加载提示";
const std::wstring kUpdateTitle = L"软件升级提示";

const std::wstring kLibraryCodePrefix = L"运行库加载失败，错误码：";
const std::wstring kBridgeMissingText =
    L"软件启动失败！当前电脑缺少必需的运行库。\n请先安装相关运行环境或使用软件安装包修复。\n\n"
    L"如需帮助，请联系软件服务人员。";
const std::wstring kDataStoreConfigText = L"加载配置文件失败！\r\nAppConf-apdbm5";
const std::wstring kRuntimeConfigText = L"读取配置文件失败！\r\nAppConf-apexm5";
const std::wstring kUpdaterMissingText = L"升级程序加载失败！\n文件丢失。";
const std::wstring kBothCopiesPrefix = L"软件加载失败！\n安装目录中同时存在 InPrRtm.exe 和 ertmcache";
const std::wstring kUnparkPrefix = L"软件加载失败！\n无法准备运行文件 InPrRtm.exe。\n原因：";

const std::wstring kBridgeFailedStatus = L"运行库加载失败，请尝试重启软件...";
const std::wstring kDataFileStatus = L"数据文件错误，请下载完整安装包修复。";
const std::wstring kLoadingStatus = L"正在加载中";

// Handles another program keeps open on files of the install directory.
struct HeldFiles {
    std::vector<HANDLE> handles;
    ~HeldFiles() {
        for (HANDLE handle : handles) {
            ::CloseHandle(handle);
        }
    }
};

struct ExpectedBox {
    std::wstring title;
    std::wstring text;
    bool textIsPrefix = false;
    int answer = IDOK;
    std::wstring suffix;  // with a prefix: how the text must end
};

enum class Ending {
    Ends,             // the launcher ends by itself
    WindowWithStatus  // the loader window stays, showing a status text (prefix)
};

struct DamageRow {
    std::string name;
    std::function<void(ScratchInstall&, HeldFiles&)> damage;
    std::vector<ExpectedBox> boxes;  // in order; the main application's run (if any) may come between
    bool runsMainApplication;
    Ending ending;
    std::wstring status;  // for WindowWithStatus
    std::wstring folder;  // install directory name; empty: named after the row
};

std::string Truncated(const std::string& bytes) {
    return bytes.substr(0, bytes.size() / 3);
}

void Empty(ScratchInstall& install, const wchar_t* name) {
    install.WriteFile(name, "");
}
void CutShort(ScratchInstall& install, const wchar_t* name) {
    install.WriteFile(name, Truncated(install.ReadFile(name)));
}
void FolderInstead(ScratchInstall& install, const wchar_t* name) {
    install.Remove(name);
    install.MakeFolder(name);
    install.WriteFile(std::wstring(name) + L"\\inside.txt", "a folder where a file should be");
}
void ReadOnly(ScratchInstall& install, const wchar_t* name) {
    ::SetFileAttributesW(install.PathOf(name).c_str(), FILE_ATTRIBUTE_READONLY);
}
// Held open for writing by another program that lets others read only.
void HeldForWriting(ScratchInstall& install, HeldFiles& held, const wchar_t* name) {
    HANDLE file = ::CreateFileW(install.PathOf(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "cannot hold the file open";
    held.handles.push_back(file);
}
void PendingUpdateFolder(ScratchInstall& install) {
    install.MakeFolder(L"update");
    install.WriteFile(L"update\\patch.bin", "patch");
}
std::wstring PaddedName(const std::wstring& stem, size_t directoryLength) {
    const size_t parentLength = std::wstring(L"D:\\scenarios\\").size();
    std::wstring name = stem;
    name.resize(directoryLength - parentLength, L'x');
    return name;
}

ExpectedBox Box(const std::wstring& title, const std::wstring& text) {
    return {title, text, false, IDOK};
}
ExpectedBox BoxStartingWith(const std::wstring& title, const std::wstring& prefix, int answer = IDOK) {
    return {title, prefix, true, answer, L""};
}
// The bridge's own error text framed for the user (no marker in it).
ExpectedBox BridgeTextBox() {
    return {kLoadTitle, L"软件加载失败！\n", true, IDOK,
            L"\n更多解决请咨询软件服务人员，咨询电话：19999999999"};
}

const std::wstring kVcRuntimeText =
    L"检测到电脑可能未安装微软 VC++ 2015 "
    L"运行库。\n请下载安装后重试。\n如遇运行库安装失败等问题，请联系软件服务人员。\n"
    L"安装包通常保存在桌面，文件名为 VC_redist.x86.exe。";
const std::wstring kMissingFilesText = L"软件安装目录下有重要文件缺失，请使用软件安装包修复软件！";

// The component library cannot be loaded: the bridge's own dependency is
// missing (module not found), which the launcher takes for a missing VC++ runtime.
const std::vector<ExpectedBox> kComponentBroken = {
    Box(kRuntimeCheckTitle, kVcRuntimeText),
    Box(kInitFailedTitle, kBridgeMissingText),
};

const std::vector<ExpectedBox> kBridgeBroken = {
    BoxStartingWith(kRuntimeCheckTitle, kLibraryCodePrefix, IDNO),
    Box(kInitFailedTitle, kBridgeMissingText),
};

std::vector<DamageRow> DamageTable() {
    using H = HeldFiles;
    using S = ScratchInstall;
    const std::string hugeLine(1 << 20, 'x');
    const std::string zeros(1 << 20, '\0');
    return {
        // The bridge library and its component library.
        {"bridge empty", [](S& i, H&) { Empty(i, L"CsVarnApi.dll"); }, kBridgeBroken, false,
         Ending::WindowWithStatus, kBridgeFailedStatus},
        {"bridge cut short", [](S& i, H&) { CutShort(i, L"CsVarnApi.dll"); }, kBridgeBroken, false,
         Ending::WindowWithStatus, kBridgeFailedStatus},
        {"bridge is a folder", [](S& i, H&) { FolderInstead(i, L"CsVarnApi.dll"); }, kBridgeBroken, false,
         Ending::WindowWithStatus, kBridgeFailedStatus},
        {"bridge held open", [](S& i, H& h) { HeldForWriting(i, h, L"CsVarnApi.dll"); }, kBridgeBroken, false,
         Ending::WindowWithStatus, kBridgeFailedStatus},
        {"component library empty", [](S& i, H&) { Empty(i, L"CsVarnLab.dll"); }, kComponentBroken, false,
         Ending::WindowWithStatus, kBridgeFailedStatus},
        {"component library cut short", [](S& i, H&) { CutShort(i, L"CsVarnLab.dll"); }, kComponentBroken,
         false, Ending::WindowWithStatus, kBridgeFailedStatus},
        {"component library is a folder", [](S& i, H&) { FolderInstead(i, L"CsVarnLab.dll"); },
         kComponentBroken, false, Ending::WindowWithStatus, kBridgeFailedStatus},
        // The data store.
        {"store empty",
         [](S& i, H&) { Empty(i, L"Quilord.da"); },
         {},
         false,
         Ending::WindowWithStatus,
         kDataFileStatus},
        {"store cut short",
         [](S& i, H&) { CutShort(i, L"Quilord.da"); },
         {},
         false,
         Ending::WindowWithStatus,
         kDataFileStatus},
        {"store is a folder",
         [](S& i, H&) { FolderInstead(i, L"Quilord.da"); },
         {},
         false,
         Ending::WindowWithStatus,
         kDataFileStatus},
        {"store held open",
         [](S& i, H& h) { HeldForWriting(i, h, L"Quilord.da"); },
         {},
         false,
         Ending::WindowWithStatus,
         kDataFileStatus},
        {"store read-only", [](S& i, H&) { ReadOnly(i, L"Quilord.da"); }, {}, true, Ending::Ends},
        // The configuration file.
        {"configuration empty",
         [](S& i, H&) { Empty(i, L"AppConf.ini"); },
         {Box(kLoadTitle, kDataStoreConfigText)},
         false,
         Ending::WindowWithStatus,
         kDataFileStatus},
        {"configuration is a folder",
         [](S& i, H&) { FolderInstead(i, L"AppConf.ini"); },
         {Box(kLoadTitle, kDataStoreConfigText)},
         false,
         Ending::WindowWithStatus,
         kDataFileStatus},
        {"configuration without the runtime digest",
         [](S& i, H&) { WriteConfig(i, {"Apdbm5=" + FileMd5Hex(i.PathOf(L"Quilord.da"))}); },
         {Box(kLoadTitle, kRuntimeConfigText)},
         false,
         Ending::WindowWithStatus,
         kLoadingStatus},
        {"configuration held open",
         [](S& i, H& h) { HeldForWriting(i, h, L"AppConf.ini"); },
         {},
         true,
         Ending::Ends},
        {"configuration read-only", [](S& i, H&) { ReadOnly(i, L"AppConf.ini"); }, {}, true, Ending::Ends},
        {"configuration with megabyte lines and zero bytes",
         [hugeLine](S& i, H&) {
             const std::string original = i.ReadFile(L"AppConf.ini");
             i.WriteFile(L"AppConf.ini", hugeLine + "\r\n" + std::string("a\0b=c\0", 6) + "\r\n;" + hugeLine +
                                             "=\r\n" + original + hugeLine);
         },
         {},
         true,
         Ending::Ends},
        {"configuration of zero bytes only",
         [zeros](S& i, H&) { i.WriteFile(L"AppConf.ini", zeros); },
         {Box(kLoadTitle, kDataStoreConfigText)},
         false,
         Ending::WindowWithStatus,
         kDataFileStatus},
        // The runtime executable, parked and live.
        {"parked runtime empty", [](S& i, H&) { Empty(i, L"ertmcache"); }, {}, true, Ending::Ends},
        {"parked runtime cut short", [](S& i, H&) { CutShort(i, L"ertmcache"); }, {}, true, Ending::Ends},
        {"parked runtime read-only", [](S& i, H&) { ReadOnly(i, L"ertmcache"); }, {}, true, Ending::Ends},
        {"parked runtime empty and read-only",
         [](S& i, H&) {
             Empty(i, L"ertmcache");
             ReadOnly(i, L"ertmcache");
         },
         {},
         true,
         Ending::Ends},
        // The folder is moved to the live name, its digest cannot match, and the
        // bridge cannot write the executable over it: the bridge's own words.
        {"parked runtime is a folder",
         [](S& i, H&) { FolderInstead(i, L"ertmcache"); },
         {BridgeTextBox()},
         false,
         Ending::WindowWithStatus,
         kLoadingStatus},
        {"parked runtime held open",
         [](S& i, H& h) { HeldForWriting(i, h, L"ertmcache"); },
         {BoxStartingWith(kLoadTitle, kUnparkPrefix)},
         false,
         Ending::WindowWithStatus,
         kLoadingStatus},
        {"live runtime empty, none parked",
         [](S& i, H&) {
             i.Remove(L"ertmcache");
             Empty(i, L"InPrRtm.exe");
         },
         {},
         true,
         Ending::Ends},
        {"live runtime empty next to the parked one",
         [](S& i, H&) { Empty(i, L"InPrRtm.exe"); },
         {BoxStartingWith(kLoadTitle, kBothCopiesPrefix)},
         false,
         Ending::WindowWithStatus,
         kLoadingStatus},
        {"live runtime name is a folder",
         [](S& i, H&) { FolderInstead(i, L"InPrRtm.exe"); },
         {BoxStartingWith(kLoadTitle, kBothCopiesPrefix)},
         false,
         Ending::WindowWithStatus,
         kLoadingStatus},
        // The update marker, with something in the update folder.
        {"marker empty",
         [](S& i, H&) {
             PendingUpdateFolder(i);
             Empty(i, L"upd.tmp");
         },
         {},
         true,
         Ending::Ends},
        {"marker of three bytes",
         [](S& i, H&) {
             PendingUpdateFolder(i);
             i.WriteFile(L"upd.tmp", std::string("\x01\x00\x00", 3));
         },
         {},
         true,
         Ending::Ends},
        {"marker is a folder",
         [](S& i, H&) {
             PendingUpdateFolder(i);
             i.MakeFolder(L"upd.tmp");
         },
         {},
         true,
         Ending::Ends},
        {"marker counting 0x7FFFFFFF bytes, no updater",
         [](S& i, H&) {
             PendingUpdateFolder(i);
             i.WriteFile(L"upd.tmp", MarkerBytes(0x7FFFFFFF, "6"));
         },
         {Box(kUpdateTitle, kUpdaterMissingText)},
         true,
         Ending::Ends},
        {"marker counting 0x7FFFFFFF bytes, updater present",
         [](S& i, H&) {
             PendingUpdateFolder(i);
             InstallUpdater(i);
             i.WriteFile(L"upd.tmp", MarkerBytes(0x7FFFFFFF, "6"));
         },
         {},
         false,
         Ending::Ends},
        {"marker held open",
         [](S& i, H& h) {
             PendingUpdateFolder(i);
             i.WriteFile(L"upd.tmp", MarkerBytes(1, "0"));
             HeldForWriting(i, h, L"upd.tmp");
         },
         {},
         true,
         Ending::Ends},
        // Paths at the length limit, and ideographs under a non-Chinese system locale.
        {"launcher path of 259 characters",
         [](S&, H&) {},
         {},
         true,
         Ending::Ends,
         L"",
         PaddedName(L"len259_", 259 - 19)},
        {"ideographs in the install path",
         [](S&, H&) {},
         {},
         true,
         Ending::Ends,
         L"",
         L"\u53D1\u7968\u8F6F\u4EF6 Tarvex"},
        // The bridge receives the path in the ANSI code page, which cannot carry
        // the ideographs: it finds no data store there, and the user is told
        // that the install path is the problem.
        {"ideographs in the install path, rebuild needed",
         [](S& i, H&) { i.Remove(L"ertmcache"); },
         {Box(kLoadTitle, kPathMessage)},
         false,
         Ending::WindowWithStatus,
         kLoadingStatus,
         L"\u53D1\u7968\u8F6F\u4EF6 rebuild"},
    };
}

}  // namespace

class FaultScenario : public LauncherScenario {
protected:
    // Answers the expected boxes in order, failing on any other box; returns
    // false when the launcher crashed or hung.
    void RunRow(const DamageRow& row, size_t index);
};

void FaultScenario::RunRow(const DamageRow& row, size_t index) {
    SCOPED_TRACE("row " + std::to_string(index) + ": " + row.name);
    const std::wstring folder = row.folder.empty() ? L"fault_row" + std::to_wstring(index) : row.folder;
    ScratchInstall install(folder);
    LayOutPackagedLaunch(install);
    HeldFiles held;
    row.damage(install, held);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    ClearOpenedUrls();
    TestProcess launcher = install.StartLauncher();
    ASSERT_TRUE(launcher.IsStarted());

    for (const ExpectedBox& expected : row.boxes) {
        MessageBoxInfo box = WaitForMessageBox(launcher.Id(), kRowWaitMs);
        ASSERT_TRUE(box) << "no box \"" << Utf8(expected.title) << "\": \"" << Utf8(expected.text) << "\"";
        EXPECT_EQ(Utf8(expected.title), Utf8(box.title));
        if (expected.textIsPrefix) {
            EXPECT_EQ(0u, box.text.rfind(expected.text, 0))
                << "expected a text starting with \"" << Utf8(expected.text) << "\", got \"" << Utf8(box.text)
                << "\"";
            EXPECT_GT(box.text.size(), expected.text.size() + expected.suffix.size())
                << "the reason is missing: " << Utf8(box.text);
            EXPECT_TRUE(box.text.size() >= expected.suffix.size() &&
                        box.text.compare(box.text.size() - expected.suffix.size(), expected.suffix.size(),
                                         expected.suffix) == 0)
                << "expected a text ending with \"" << Utf8(expected.suffix) << "\", got \"" << Utf8(box.text)
                << "\"";
        } else {
            EXPECT_EQ(Utf8(expected.text), Utf8(box.text));
        }
        AnswerMessageBox(box.window, expected.answer);
        PumpFor(200);
    }

    if (row.ending == Ending::Ends) {
        DWORD exitCode = 0;
        const ULONGLONG deadline = ::GetTickCount64() + kRowWaitMs;
        bool ended = false;
        while (!(ended = launcher.WaitForExit(100, &exitCode)) && ::GetTickCount64() < deadline) {
            for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
                ADD_FAILURE() << "unexpected box \"" << Utf8(box.title) << "\": \"" << Utf8(box.text) << "\"";
                AnswerMessageBox(box.window, IDOK);
            }
        }
        EXPECT_TRUE(ended) << "the launcher did not end within " << kRowWaitMs << " ms";
        EXPECT_LT(exitCode, 0xC0000000u) << "the launcher crashed, exit code " << std::hex << exitCode;
    } else {
        HWND loader = WaitForVisibleLoaderWindow(launcher, kRowWaitMs);
        ASSERT_TRUE(loader) << "the loader window did not show";
        EXPECT_EQ(0u, ControlText(loader, kStatusControl).rfind(row.status, 0))
            << "status text: " << Utf8(ControlText(loader, kStatusControl));
        PumpFor(300);
        for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
            ADD_FAILURE() << "unexpected box \"" << Utf8(box.title) << "\": \"" << Utf8(box.text) << "\"";
        }
        EXPECT_TRUE(launcher.IsRunning())
            << "the launcher ended (or crashed) instead of waiting for the user";
    }
    EXPECT_EQ(row.runsMainApplication ? 1 : 0, RuntimeStartCount(install))
        << (row.runsMainApplication ? "the main application did not run once" : "the main application ran");
    launcher.Kill();
    KillScenarioProcesses();
}

TEST_F(FaultScenario, EachDamagedInstallGetsItsOneClearAnswer) {
    const std::vector<DamageRow> rows = DamageTable();
    ASSERT_GE(rows.size(), 30u);
    const char* only = std::getenv("QUILO_FAULT_ROW");  // run one row by hand while mending
    for (size_t index = 0; index < rows.size(); ++index) {
        if (only && std::to_string(index) != only) {
            continue;
        }
        RunRow(rows[index], index);
    }
}

// The longest names the launcher joins to its install directory are the two
// bridge libraries (13 characters). A launcher renamed to a short name can sit
// in a directory where their paths reach 259 characters (they fit) or 260
// (they do not: the path comes out empty and the file counts as missing).
TEST_F(FaultScenario, BridgePathsOfTwoHundredFiftyNineAndTwoHundredSixtyCharacters) {
    const std::wstring parent = L"D:\\scenarios\\";
    for (size_t bridgePathLength : {259u, 260u}) {
        SCOPED_TRACE("bridge library path of " + std::to_string(bridgePathLength) + " characters");
        const size_t directoryLength = bridgePathLength - 14;
        std::wstring directory = parent + L"long" + std::to_wstring(bridgePathLength) + L"_";
        directory.resize(directoryLength, L'x');
        const std::wstring longPrefix = L"\\\\?\\";
        ::CreateDirectoryW((longPrefix + directory).c_str(), nullptr);
        const std::wstring fixture = PackagedLaunchFolder();
        for (const wchar_t* name :
             {L"CsVarnApi.dll", L"CsVarnLab.dll", L"Quilord.da", L"AppConf.ini", L"ertmcache"}) {
            ASSERT_TRUE(::CopyFileW((fixture + L"\\" + name).c_str(),
                                    (longPrefix + directory + L"\\" + name).c_str(), FALSE))
                << "error " << ::GetLastError();
        }
        for (const wchar_t* name : {L"runtime-args.txt", L"runtime-starts.txt", L"InPrRtm.exe"}) {
            ::DeleteFileW((longPrefix + directory + L"\\" + name).c_str());
        }
        const std::wstring launcherPath = directory + L"\\T.exe";
        ASSERT_TRUE(::CopyFileW(LauncherExecutable().c_str(), launcherPath.c_str(), FALSE));
        ClearOpenedUrls();
        RememberLauncherStart(directory);
        TestProcess launcher = TestProcess::Start(launcherPath);
        ASSERT_TRUE(launcher.IsStarted()) << "error " << launcher.StartError();
        if (bridgePathLength == 259) {
            ExpectEnds(launcher, kRowWaitMs);
            EXPECT_NE(INVALID_FILE_ATTRIBUTES,
                      ::GetFileAttributesW((longPrefix + directory + L"\\runtime-args.txt").c_str()))
                << "the main application did not run";
            EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
        } else {
            ExpectMessageBox(launcher, kInitTitle, kMissingFilesText, kRowWaitMs);
            AnswerMessageBox(WaitForMessageBox(launcher.Id(), 1000).window, IDOK);
            ExpectEnds(launcher, kRowWaitMs);
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
                      ::GetFileAttributesW((longPrefix + directory + L"\\runtime-args.txt").c_str()));
        }
        KillScenarioProcesses();
    }
}
