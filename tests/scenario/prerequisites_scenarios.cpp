// The checks before the loader window, as a person meets them: the required
// files, the .NET Framework prompt with the bridge load it gates, the desktop
// rule, and the order in which they run.
#include <shlobj.h>

#include <cstdio>

#include <ostream>
#include <string>
#include <vector>

#include "LauncherScenario.h"
#include "SupportTrace.h"
#include "TestBridge.h"
#include "util/ProductConstants.h"

namespace {

const std::wstring kInitTitle = L"初始化提示";
const std::wstring kRuntimeTitle = L"运行环境检测提示";
const std::wstring kMissingFilesText = L"软件安装目录下有重要文件缺失，请使用软件安装包修复软件！";
const std::wstring kDotNetText =
    L"电脑上可能缺少.Net Framework4.5.2 运行环境，请进入微软官网下载安装.Net "
    L"Framework4.5.2或以上版本后再尝试运行本软件！\n是否继续？";
const std::wstring kDesktopText = L"软件不可直接安装在电脑桌面，请卸载后重新安装！";

std::string SoftListPage() {
    return Utf8(std::wstring(kWebsiteAddress) + kSoftwareListPath);
}

std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) {
        return std::wstring();
    }
    return path;
}

// Files laid out by a scratch install, copied into a folder that cannot be a
// scratch install itself (the desktop, a drive root) and removed afterwards.
class CopiedInstall {
public:
    CopiedInstall(const ScratchInstall& source, const std::wstring& folder,
                  const std::vector<std::wstring>& names)
        : folder_(folder) {
        for (const std::wstring& name : names) {
            if (source.Exists(name)) {
                const std::wstring target = PathOf(name);
                EXPECT_TRUE(::CopyFileW(source.PathOf(name).c_str(), target.c_str(), FALSE))
                    << "cannot copy into " << Utf8(folder_);
                copied_.push_back(target);
            }
        }
        copied_.push_back(PathOf(L"test-bridge-calls.log"));
    }
    ~CopiedInstall() {
        KillScenarioProcesses();
        for (const std::wstring& path : copied_) {
            ::DeleteFileW(path.c_str());
        }
    }
    std::wstring PathOf(const std::wstring& name) const {
        return folder_.back() == L'\\' ? folder_ + name : folder_ + L"\\" + name;
    }
    // The test bridge's call log in this folder, one entry per line.
    std::vector<std::string> BridgeCalls() const {
        std::vector<std::string> calls;
        FILE* file = ::_wfopen(PathOf(L"test-bridge-calls.log").c_str(), L"rb");
        if (!file) {
            return calls;
        }
        char line[512];
        while (std::fgets(line, sizeof(line), file)) {
            std::string entry = line;
            while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r')) {
                entry.pop_back();
            }
            calls.push_back(entry);
        }
        std::fclose(file);
        return calls;
    }
    TestProcess StartLauncher() const {
        TestProcess launcher = TestProcess::Start(PathOf(kLauncherFileName));
        EXPECT_TRUE(launcher.IsStarted()) << "error " << launcher.StartError();
        return launcher;
    }

private:
    std::wstring folder_;
    std::vector<std::wstring> copied_;
};

const std::vector<std::wstring> kInstallFiles = {kLauncherFileName, L"Quilord.da", L"CsVarnLab.dll",
                                                 L"CsVarnApi.dll", L"test-bridge.ini"};

enum class DotNet { Release379893, Release379892, ReleaseAsString, InstallOnly, NoSetupKey };

void Register(DotNet state) {
    RemoveDotNetSetupKey();
    switch (state) {
        case DotNet::Release379893:
            SetDotNetValue(L"Release", 379893);
            break;
        case DotNet::Release379892:
            SetDotNetValue(L"Release", 379892);
            SetDotNetValue(L"Install", 1);
            break;
        case DotNet::ReleaseAsString:
            SetDotNetStringValue(L"Release", L"528040");
            SetDotNetValue(L"Install", 1);
            break;
        case DotNet::InstallOnly:
            SetDotNetValue(L"Install", 1);
            break;
        case DotNet::NoSetupKey:
            break;
    }
}

struct RuntimeCase;
void PrintTo(const RuntimeCase& row, std::ostream* out);

struct RuntimeCase {
    const char* name;
    DotNet registry;
    bool prompts;
    int answer;              // to the prompt
    bool bridgeLoads;        // CreateWrapper and QueryStatus are called
    bool showsLoaderWindow;  // otherwise the launcher ends after opening the download page
};

void PrintTo(const RuntimeCase& row, std::ostream* out) {
    *out << row.name;
}

const std::vector<RuntimeCase>& RuntimeCases() {
    static const std::vector<RuntimeCase> cases = {
        {"Release379893PassesWithoutPrompt", DotNet::Release379893, false, 0, true, true},
        {"Release379892PromptsAndYesGoesOn", DotNet::Release379892, true, IDYES, true, true},
        {"ReleaseOfStringTypeCountsAsAbsent", DotNet::ReleaseAsString, true, IDYES, true, true},
        {"InstallOneWithoutReleaseAndYesLoadsTheBridge", DotNet::InstallOnly, true, IDYES, true, true},
        {"NoSetupKeyAndYesShowsTheWindowWithoutBridge", DotNet::NoSetupKey, true, IDYES, false, true},
        {"NoSetupKeyAndNoOpensTheDownloadPageAndEnds", DotNet::NoSetupKey, true, IDNO, false, false},
        {"Release379892AndNoOpensTheDownloadPageAndEnds", DotNet::Release379892, true, IDNO, false, false},
    };
    return cases;
}

}  // namespace

class RuntimePrompt : public LauncherScenario, public ::testing::WithParamInterface<RuntimeCase> {};

TEST_P(RuntimePrompt, GatesTheBridgeAndTheWindow) {
    const RuntimeCase& row = GetParam();
    Register(row.registry);
    ScratchInstall install;
    InstallTestBridge(install);
    TestProcess launcher = install.StartLauncher();

    if (row.prompts) {
        MessageBoxInfo box = ExpectMessageBox(launcher, kRuntimeTitle, kDotNetText);
        ASSERT_TRUE(box);
        EXPECT_EQ(2u, box.buttons.size());
        // Yes is the default: Enter goes on without the runtime.
        ExpectOwnerlessWarningBox(box, IDYES);
        EXPECT_TRUE(TestBridgeCalls(install).empty()) << "the bridge was loaded before the answer";
        AnswerMessageBox(box.window, row.answer);
        ASSERT_TRUE(WaitForWindowGone(box.window)) << "the prompt stayed after it was answered";
    }
    if (row.showsLoaderWindow) {
        std::vector<MessageBoxInfo> later;
        ASSERT_TRUE(WaitForLoaderWindowAnsweringBoxes(launcher.Id(), &later)) << "no loader window";
        for (const MessageBoxInfo& box : later) {
            EXPECT_NE(Utf8(kDotNetText), Utf8(box.text)) << "asked twice";
        }
    } else {
        ExpectEnds(launcher);
        EXPECT_EQ(std::vector<std::string>{Utf8(kDotNetDownloadPage)}, WaitForOpenedUrls(1));
    }
    const std::vector<std::string> calls = TestBridgeCalls(install);
    if (row.bridgeLoads) {
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ("CreateWrapper", calls[0]);
        EXPECT_EQ("QueryStatus", calls[1]);
    } else {
        EXPECT_TRUE(calls.empty()) << "the bridge was loaded: " << calls.front();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCase, RuntimePrompt, ::testing::ValuesIn(RuntimeCases()),
                         [](const ::testing::TestParamInfo<RuntimeCase>& info) { return info.param.name; });

class MissingRequiredFile : public LauncherScenario,
                            public ::testing::WithParamInterface<std::vector<std::wstring>> {};

TEST_P(MissingRequiredFile, ShowsOneBoxOpensOnePageAndEndsBeforeTheBridge) {
    ScratchInstall install;
    InstallTestBridge(install);
    for (const std::wstring& name : GetParam()) {
        install.Remove(name);
    }
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kInitTitle, kMissingFilesText);
    ASSERT_TRUE(box);
    EXPECT_TRUE(OpenedUrls().empty()) << "the page opened before the box was answered";
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_EQ(std::vector<std::string>{SoftListPage()}, WaitForOpenedUrls(1));
    PumpFor(500);
    EXPECT_EQ(1u, OpenedUrls().size()) << "more than one page";
    EXPECT_TRUE(TestBridgeCalls(install).empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachAndAll, MissingRequiredFile,
    ::testing::Values(std::vector<std::wstring>{L"Quilord.da"}, std::vector<std::wstring>{L"CsVarnLab.dll"},
                      std::vector<std::wstring>{L"CsVarnApi.dll"},
                      std::vector<std::wstring>{L"Quilord.da", L"CsVarnLab.dll", L"CsVarnApi.dll"}));

class PrerequisiteScenario : public LauncherScenario {};

TEST_F(PrerequisiteScenario, TheDesktopFolderItselfIsRefusedAfterTheBridgeWasLoadedAndReleased) {
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    ScratchInstall source;
    InstallTestBridge(source);
    CopiedInstall install(source, desktop, kInstallFiles);
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kInitTitle, kDesktopText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_TRUE(OpenedUrls().empty());
    // The exit routine runs twice on this way out; the bridge is released once.
    EXPECT_EQ((std::vector<std::string>{"CreateWrapper", "QueryStatus", "DeleteThis 1", "Unloaded"}),
              install.BridgeCalls());
}

TEST_F(PrerequisiteScenario, OnTheDesktopAMissingFileIsTheOnlyMessage) {
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    ScratchInstall source;
    InstallTestBridge(source);
    source.Remove(L"Quilord.da");
    CopiedInstall install(source, desktop, kInstallFiles);
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kInitTitle, kMissingFilesText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_EQ(std::vector<std::string>{SoftListPage()}, WaitForOpenedUrls(1));
}

TEST_F(PrerequisiteScenario, OnTheDesktopWithoutTheRuntimeThePromptComesBeforeTheRefusal) {
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    RemoveDotNetSetupKey();
    ScratchInstall source;
    InstallTestBridge(source);
    CopiedInstall install(source, desktop, kInstallFiles);
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo prompt = ExpectMessageBox(launcher, kRuntimeTitle, kDotNetText);
    ASSERT_TRUE(prompt);
    AnswerMessageBox(prompt.window, IDYES);
    ASSERT_TRUE(WaitForWindowGone(prompt.window)) << "the prompt stayed after it was answered";
    MessageBoxInfo refusal = ExpectMessageBox(launcher, kInitTitle, kDesktopText);
    ASSERT_TRUE(refusal);
    AnswerMessageBox(refusal.window, IDOK);
    ExpectEnds(launcher);
}

TEST_F(PrerequisiteScenario, AFolderBelowTheDesktopIsAccepted) {
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    ScratchInstall install(CurrentTestName(), desktop);
    InstallTestBridge(install);
    TestProcess launcher = install.StartLauncher();
    std::vector<MessageBoxInfo> boxes;
    EXPECT_TRUE(WaitForLoaderWindowAnsweringBoxes(launcher.Id(), &boxes));
    for (const MessageBoxInfo& box : boxes) {
        EXPECT_NE(Utf8(kDesktopText), Utf8(box.text));
    }
    launcher.Kill();
    launcher.WaitForExit(5000);
    DeleteTree(install.Directory());
}

TEST_F(PrerequisiteScenario, ALauncherAtADriveRootNamesItsFilesThereAndOpensThePageOnce) {
    ClearSupportTraceFolder();
    ScratchInstall source;
    InstallTestBridge(source);
    // The two files checked first are found at the root; the last one is not.
    CopiedInstall install(source, L"E:\\", {kLauncherFileName, L"Quilord.da", L"CsVarnLab.dll"});
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kInitTitle, kMissingFilesText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_EQ(std::vector<std::string>{SoftListPage()}, WaitForOpenedUrls(1));
    PumpFor(500);
    EXPECT_EQ(1u, OpenedUrls().size());

    // The root already ends in a backslash: the path holds exactly one before the name.
    EXPECT_EQ(std::vector<std::string>{"required files: E:\\CsVarnApi.dll missing"},
              TraceRecordOf(launcher.Id()).StartingWith("required files: "));
}
