// The whole product end to end: the launcher in a demo install directory
// packaged with the reference bridge, handing over to the demo main
// application, refusing a damaged data store, and handing over to the demo
// updater when an update waits.
#include <string>
#include <vector>

#include "LauncherScenario.h"

namespace {

constexpr int kStatusTextId = 1011;
constexpr wchar_t kDemoAppTitle[] = L"Tarvex 发票 (演示)";
constexpr wchar_t kSeparator[] = L"≡";
const std::wstring kDataStoreStatus = L"数据文件错误，请下载完整安装包修复。";

// The packaged demo install directory (ctest fixture demo_install).
std::wstring PackagedFile(const std::wstring& name) {
    return BuildFile("demo-test/install/") + name;
}

// A scratch install directory holding the packaged demo product and the launcher.
void CopyDemoProduct(ScratchInstall& install) {
    for (const wchar_t* name : {L"Quilord.da", L"AppConf.ini", L"ertmcache", L"CsVarnApi.dll",
                                L"CsVarnLab.dll", L"orloupd.exe", L"Pelko.exe"}) {
        install.CopyIn(PackagedFile(name), name);
    }
    install.MakeFolder(L"records");
}

// The demo programs end by themselves and write down how they were started.
StartOptions DemoOptions(const ScratchInstall& install) {
    StartOptions options;
    options.environment = {L"TARVEX_DEMO_AUTOCLOSE_SECONDS=3",
                           L"TARVEX_DEMO_RECORD_DIR=" + install.PathOf(L"records")};
    return options;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// The "arg ..." lines of the demo application's record, in order.
std::vector<std::wstring> RecordedArguments(const std::string& record) {
    std::vector<std::wstring> arguments;
    size_t start = 0;
    while (start < record.size()) {
        size_t end = record.find('\n', start);
        if (end == std::string::npos) {
            end = record.size();
        }
        const std::string line = record.substr(start, end - start);
        if (line.compare(0, 4, "arg ") == 0) {
            arguments.push_back(FromUtf8(line.substr(4)));
        }
        start = end + 1;
    }
    return arguments;
}

size_t CountOf(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

HWND WaitForTitledWindow(const std::wstring& exeName, const std::wstring& title, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        for (DWORD id : ProcessIdsByName(exeName)) {
            for (HWND window : TopLevelWindows(id)) {
                if (WindowText(window) == title) {
                    return window;
                }
            }
        }
        PumpFor(100);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

bool WaitUntil(const ScratchInstall& install, const std::wstring& name, bool present, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (install.Exists(name) != present) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        PumpFor(100);
    }
    return true;
}

}  // namespace

class DemoScenario : public LauncherScenario {
protected:
    void TearDown() override {
        for (const wchar_t* name :
             {L"tarvex_demo_app.exe", L"tarvex_demo_updater.exe", L"tarvex_demo_support.exe"}) {
            KillProcessesByName(name);
        }
        LauncherScenario::TearDown();
    }
};

TEST_F(DemoScenario, CleanStartRunsTheDemoApplicationWithFifteenArgumentsAndEndsCleanly) {
    ScratchInstall install;
    CopyDemoProduct(install);
    TestProcess launcher = install.StartLauncher(DemoOptions(install));

    HWND app = WaitForTitledWindow(L"InPrRtm.exe", kDemoAppTitle, 60000);
    ASSERT_TRUE(app) << "the demo main application showed no window";
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
    // The loader window is hidden while the main application runs.
    EXPECT_TRUE(TopLevelWindows(launcher.Id(), L"#32770").empty());

    DWORD exitCode = 0;
    ASSERT_TRUE(launcher.WaitForExit(60000, &exitCode))
        << "the launcher did not end after the demo application";
    const std::string record = install.ReadFile(L"records\\tarvex_demo_app.txt");
    EXPECT_NE(std::string::npos, record.find("exit 0\n")) << record;

    const std::vector<std::wstring> arguments = RecordedArguments(record);
    ASSERT_EQ(15u, arguments.size()) << record;
    EXPECT_EQ(install.PathOf(L"InPrRtm.exe"), arguments[0]);
    EXPECT_EQ(install.Directory(), arguments[2]);
    for (size_t position = 7; position <= 12; ++position) {
        EXPECT_EQ(1u, CountOf(arguments[position], kSeparator)) << "position " << position;
    }
    EXPECT_EQ(L"orloupd.exe", arguments[13]);
    EXPECT_EQ(2u, CountOf(arguments[14], kSeparator));
    // The reference bridge's engine works, so the launcher is online.
    EXPECT_EQ(L'1', arguments[14].back());

    // The runtime executable is parked again for the next start.
    EXPECT_TRUE(install.Exists(L"ertmcache"));
    EXPECT_FALSE(install.Exists(L"InPrRtm.exe"));
    EXPECT_TRUE(OpenedUrls().empty());
}

TEST_F(DemoScenario, DamagedDataStoreShowsTheStoreMessageAndOpensTheSoftwareList) {
    ScratchInstall install;
    CopyDemoProduct(install);
    install.WriteFile(L"Quilord.da", std::string(4096, 'x'));
    TestProcess launcher = install.StartLauncher(DemoOptions(install));

    HWND loader = WaitForWindow(launcher.Id(), L"#32770", 60000);
    ASSERT_TRUE(loader) << "the loader window did not show";
    const ULONGLONG deadline = ::GetTickCount64() + kDefaultWaitMs;
    while (ControlText(loader, kStatusTextId) != kDataStoreStatus && ::GetTickCount64() < deadline) {
        PumpFor(100);
    }
    EXPECT_EQ(Utf8(kDataStoreStatus), Utf8(ControlText(loader, kStatusTextId)));
    const std::vector<std::string> urls = WaitForOpenedUrls(1);
    ASSERT_EQ(1u, urls.size());
    EXPECT_EQ("http://www.tarvex-invoice.example/softlist", urls[0]);
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
    EXPECT_TRUE(ProcessIdsByName(L"InPrRtm.exe").empty());
    EXPECT_FALSE(install.Exists(L"records\\tarvex_demo_app.txt"));
    EXPECT_TRUE(launcher.IsRunning());
}

TEST_F(DemoScenario, PendingUpdateHandsOverToTheDemoUpdater) {
    ScratchInstall install;
    CopyDemoProduct(install);
    install.WriteFile(L"upd.tmp", std::string("\x01\x00\x00\x00"
                                              "6",
                                              5));
    install.MakeFolder(L"update").WriteFile(L"update\\payload.bin", "new version");
    TestProcess launcher = install.StartLauncher(DemoOptions(install));

    // The launcher ends without waiting for anybody.
    ExpectEnds(launcher, 60000);
    EXPECT_TRUE(WaitForTitledWindow(L"orloupd.exe", L"Tarvex 升级 (演示)", kDefaultWaitMs))
        << "the demo updater showed no window";
    EXPECT_TRUE(WaitUntil(install, L"records\\tarvex_demo_updater.txt", true, kDefaultWaitMs));
    EXPECT_FALSE(install.Exists(L"upd.tmp"));
    EXPECT_FALSE(install.Exists(L"records\\tarvex_demo_app.txt")) << "the main application ran";
    EXPECT_TRUE(ProcessIdsByName(L"InPrRtm.exe").empty());
}
