// A library planted in the current directory or on PATH must never be loaded
// in place of a dependency of the bridge, while the bridge in the install
// directory still loads as before.
#include <string>
#include <vector>

#include "LauncherScenario.h"
#include "TestBridge.h"

namespace {

const std::wstring kRuntimeTitle = L"运行环境检测提示";
const std::wstring kVcRuntimeText =
    L"检测到电脑可能未安装微软 VC++ 2015 "
    L"运行库。\n请下载安装后重试。\n如遇运行库安装失败等问题，请联系软件服务人员。\n"
    L"安装包通常保存在桌面，文件名为 VC_redist.x86.exe。";

// A folder with the planted library in it, away from the install directory.
std::wstring PlantLibrary(const std::wstring& folder) {
    ::CreateDirectoryW(L"D:\\planted", nullptr);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring library = folder + L"\\QuiloAbsentRuntime.dll";
    ::DeleteFileW((folder + L"\\planted-dll-loaded.txt").c_str());
    EXPECT_TRUE(::CopyFileW(BuildFile("standins/planted/QuiloAbsentRuntime.dll").c_str(), library.c_str(), FALSE));
    return folder;
}

bool WasLoaded(const std::wstring& folder) {
    return ::GetFileAttributesW((folder + L"\\planted-dll-loaded.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring PathWith(const std::wstring& folder) {
    wchar_t path[8192] = {};
    ::GetEnvironmentVariableW(L"PATH", path, 8192);
    return L"PATH=" + folder + L";" + path;
}

}  // namespace

class HardeningScenario : public LauncherScenario {};

TEST_F(HardeningScenario, ABridgeDependencyPlantedInTheCurrentDirectoryOrOnPathIsNotLoaded) {
    ScratchInstall install;
    InstallTestBridge(install, TestBridgeVariant::MissingDependency);
    const std::wstring currentDirectory = PlantLibrary(L"D:\\planted\\current");
    const std::wstring onPath = PlantLibrary(L"D:\\planted\\on-path");
    StartOptions options;
    options.workingDirectory = currentDirectory;
    options.environment.push_back(PathWith(onPath));

    TestProcess launcher = install.StartLauncher(options);
    // The dependency is looked up only in the install directory and the system
    // folders, where it is not: the load fails as with a missing runtime.
    MessageBoxInfo box = ExpectMessageBox(launcher, kRuntimeTitle, kVcRuntimeText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    EXPECT_FALSE(WasLoaded(currentDirectory)) << "the library planted in the current directory was loaded";
    EXPECT_FALSE(WasLoaded(onPath)) << "the library planted on PATH was loaded";
}

TEST_F(HardeningScenario, TheBridgeInTheInstallDirectoryStillLoadsBesidePlantedLibraries) {
    ScratchInstall install;
    InstallTestBridge(install);
    ScriptTestBridge(install, "status=1\n");
    const std::wstring currentDirectory = PlantLibrary(L"D:\\planted\\current-legit");
    StartOptions options;
    options.workingDirectory = currentDirectory;
    options.environment.push_back(PathWith(currentDirectory));

    TestProcess launcher = install.StartLauncher(options);
    std::vector<MessageBoxInfo> boxes;
    WaitForLoaderWindowAnsweringBoxes(launcher.Id(), &boxes, kDefaultWaitMs);
    for (const MessageBoxInfo& shown : boxes) {
        EXPECT_NE(Utf8(kRuntimeTitle), Utf8(shown.title)) << "the bridge did not load: " << Utf8(shown.text);
    }
    const std::vector<std::string> calls = TestBridgeCalls(install);
    ASSERT_FALSE(calls.empty()) << "the bridge in the install directory was not loaded";
    EXPECT_FALSE(WasLoaded(currentDirectory));
}
