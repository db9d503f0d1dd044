// The launch driven through a fake window, with no dialog at all: what it
// asks of the window, in which order, and what it leaves in the install directory.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "launch/RuntimeFiles.h"
#include "launch/RuntimeLaunch.h"
#include "tests/uia/TestPaths.h"
#include "tests/uia/UiAutomation.h"
#include "util/FileDigest.h"
#include "util/Paths.h"

namespace {

class FakeLaunchWindow : public LaunchWindow {
public:
    void SetStatusText(const std::wstring& text) override { calls.push_back(L"status " + text); }
    void ShowContinueLink() override { calls.push_back(L"continue link"); }
    void HideWindow() override { calls.push_back(L"hide"); }
    void PostQuitRequest() override { calls.push_back(L"quit"); }

    std::vector<std::wstring> calls;
};

// Runs `step` on a thread of its own and answers the one message box it
// shows, if any; returns that box (empty when none appeared in time).
template <typename Step>
MessageBoxInfo RunAnsweringOneBox(Step step, DWORD waitForBoxMs) {
    std::future<void> done = std::async(std::launch::async, step);
    MessageBoxInfo box = WaitForMessageBox(::GetCurrentProcessId(), waitForBoxMs);
    if (box) {
        AnswerMessageBox(box.window, IDOK);
    }
    EXPECT_EQ(std::future_status::ready, done.wait_for(std::chrono::seconds(60)));
    return box;
}

class RuntimeLaunchInFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = CombinePath(temp, L"quilo-runtime-launch-test");
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        Clean();
    }
    void TearDown() override {
        Clean();
        ::RemoveDirectoryW(folder_.c_str());
    }
    void Clean() {
        for (const wchar_t* name : {kLiveRuntimeName, kParkedRuntimeName, kConfigFileName, L"runtime-args.txt",
                                    L"runtime-starts.txt", L"runtime-exit-code.txt"}) {
            ::DeleteFileW(Path(name).c_str());
        }
    }
    std::wstring Path(const wchar_t* name) const { return CombinePath(folder_, name); }

    // The main application in place under its live name, with its digest recorded.
    void PlaceRuntime() {
        ASSERT_TRUE(::CopyFileW(RuntimeStandIn().c_str(), Path(kLiveRuntimeName).c_str(), FALSE));
        const std::wstring config = L"[Digests]\r\nApexm5=" + GetFileMd5(Path(kLiveRuntimeName)) + L"\r\n";
        const std::string bytes(config.begin(), config.end());
        HANDLE file = ::CreateFileW(Path(kConfigFileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }

    LaunchSettings Settings(bool bridgeLoaded) const {
        LaunchSettings settings;
        settings.installDirectory = folder_;
        settings.updaterFileName = L"orloupd.exe";
        settings.bridgeLoaded = bridgeLoaded;
        return settings;
    }

    std::wstring folder_;
};

}  // namespace

TEST_F(RuntimeLaunchInFolder, WithoutTheBridgeNothingStartsAndTheWindowStaysAsItWas) {
    PlaceRuntime();
    FakeLaunchWindow window;
    RuntimeLaunch launch(window, Settings(false));
    const MessageBoxInfo box = RunAnsweringOneBox([&] { launch.LaunchRuntime(); }, 10000);
    EXPECT_EQ(L"加载软件提示", box.title);
    EXPECT_EQ(L"软件启动失败！\n软件运行库未成功加载。", box.text);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_FALSE(FileExists(Path(L"runtime-starts.txt")));
    EXPECT_TRUE(FileExists(Path(kLiveRuntimeName)));
}

TEST_F(RuntimeLaunchInFolder, ANormalEndHidesTheWindowThenAsksItToQuitAndParksTheRuntime) {
    PlaceRuntime();
    FakeLaunchWindow window;
    RuntimeLaunch launch(window, Settings(true));
    const MessageBoxInfo box = RunAnsweringOneBox([&] { launch.LaunchRuntime(); }, 3000);
    EXPECT_FALSE(box) << box.title << L": " << box.text;
    EXPECT_EQ((std::vector<std::wstring>{L"hide", L"quit"}), window.calls);
    EXPECT_TRUE(FileExists(Path(L"runtime-starts.txt")));
    EXPECT_FALSE(FileExists(Path(kLiveRuntimeName)));
    EXPECT_TRUE(FileExists(Path(kParkedRuntimeName)));
}
