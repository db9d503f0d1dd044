// The launch driven through a fake window, with no dialog at all: what it
// asks of the window, in which order, and what it leaves in the install directory.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "launch/RuntimeFiles.h"
#include "launch/RuntimeLaunch.h"
#include "launch/EarlyDigests.h"
#include "tests/uia/ScratchInstall.h"
#include "tests/uia/TestPaths.h"
#include "tests/uia/UiAutomation.h"
#include "util/FileDigest.h"
#include "util/Paths.h"

namespace {

class FakeLaunchWindow : public LaunchWindow {
public:
    void HideWindow() override { calls.push_back(L"hide"); }
    void PostQuitRequest() override { calls.push_back(L"quit"); }

    std::vector<std::wstring> calls;
};

// The bridge without a library: a rebuild writes the runtime stand-in where it
// is asked to, and every request is kept.
class FakeBridge : public LaunchBridge {
public:
    explicit FakeBridge(bool loaded) : loaded_(loaded) {}

    bool IsLoaded() const override { return loaded_; }
    bool RegenerateRuntime(const std::wstring& storePath, const std::wstring& storePassword,
                           const std::wstring& recordName, const std::wstring& fieldName,
                           const std::wstring& targetDirectory, const std::wstring& targetFileName,
                           std::wstring& error) override {
        requests.push_back(storePath + L"|" + storePassword + L"|" + recordName + L"|" + fieldName + L"|" +
                           targetDirectory + L"|" + targetFileName);
        error.clear();
        return ::CopyFileW(RuntimeStandIn().c_str(), CombinePath(targetDirectory, targetFileName).c_str(),
                           FALSE) != FALSE;
    }

    std::vector<std::wstring> requests;

private:
    bool loaded_;
};

class RecordedPhases : public PhaseRecorder {
public:
    void EndPhase(std::wstring_view name) noexcept override { phases.emplace_back(name); }
    void AddDigestTime(double) override { ++digests; }
    void TraceCosts() override { phases.emplace_back(L"costs"); }

    std::vector<std::wstring> phases;
    int digests = 0;
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
        for (const wchar_t* name : {kLiveRuntimeName, kParkedRuntimeName, kConfigFileName, kDataStoreName,
                                    L"runtime-args.txt", L"runtime-starts.txt", L"runtime-exit-code.txt"}) {
            ::DeleteFileW(Path(name).c_str());
        }
    }
    std::wstring Path(const wchar_t* name) const { return CombinePath(folder_, name); }

    // The main application in place under its live name, with its digest recorded.
    void PlaceRuntime() {
        ASSERT_TRUE(::CopyFileW(RuntimeStandIn().c_str(), Path(kLiveRuntimeName).c_str(), FALSE));
        WriteConfig(L"Apexm5=" + GetFileMd5(Path(kLiveRuntimeName)));
    }
    // "AppConf.ini" with the one line given.
    void WriteConfig(const std::wstring& line) {
        const std::wstring config = L"[Digests]\r\n" + line + L"\r\n";
        WriteBytes(kConfigFileName, std::string(config.begin(), config.end()));
    }
    void WriteBytes(const wchar_t* name, const std::string& bytes) {
        HANDLE file = ::CreateFileW(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }

    LaunchSettings Settings(FakeBridge& bridge) const {
        LaunchSettings settings;
        settings.installDirectory = folder_;
        settings.updaterFileName = L"orloupd.exe";
        settings.bridge = &bridge;
        return settings;
    }

    std::wstring folder_;
};

}  // namespace

TEST_F(RuntimeLaunchInFolder, WithoutTheBridgeNothingStartsAndTheWindowStaysAsItWas) {
    PlaceRuntime();
    FakeLaunchWindow window;
    FakeBridge bridge(false);
    RuntimeLaunch launch(window, Settings(bridge));
    const MessageBoxInfo box = RunAnsweringOneBox([&] { launch.LaunchRuntime(); }, 10000);
    EXPECT_EQ(L"加载软件提示", box.title);
    EXPECT_EQ(L"软件启动失败！\n软件运行库未成功加载。", box.text);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_FALSE(FileExists(Path(L"runtime-starts.txt")));
    EXPECT_TRUE(FileExists(Path(kLiveRuntimeName)));
    EXPECT_TRUE(bridge.requests.empty());
}

TEST_F(RuntimeLaunchInFolder, ANormalEndHidesTheWindowThenAsksItToQuitAndParksTheRuntime) {
    PlaceRuntime();
    FakeLaunchWindow window;
    FakeBridge bridge(true);
    RuntimeLaunch launch(window, Settings(bridge));
    const MessageBoxInfo box = RunAnsweringOneBox([&] { launch.LaunchRuntime(); }, 3000);
    EXPECT_FALSE(box) << box.title << L": " << box.text;
    EXPECT_EQ((std::vector<std::wstring>{L"hide", L"quit"}), window.calls);
    EXPECT_TRUE(FileExists(Path(L"runtime-starts.txt")));
    EXPECT_FALSE(FileExists(Path(kLiveRuntimeName)));
    EXPECT_TRUE(FileExists(Path(kParkedRuntimeName)));
}

// No executable in place: the bridge given to the launch rebuilds it from the
// data store, with the store's password, record and field, into the install
// directory under its live name; then it starts, and its phases are reported
// to the recorder given.
TEST_F(RuntimeLaunchInFolder, AMissingExecutableIsRebuiltThroughTheBridgeItWasGivenAndStarted) {
    FakeLaunchWindow window;
    FakeBridge bridge(true);
    RecordedPhases phases;
    LaunchSettings settings = Settings(bridge);
    settings.phases = &phases;
    RuntimeLaunch launch(window, settings);
    const MessageBoxInfo box = RunAnsweringOneBox([&] { launch.LaunchRuntime(); }, 3000);
    EXPECT_FALSE(box) << box.title << L": " << box.text;
    EXPECT_EQ((std::vector<std::wstring>{Path(L"Quilord.da") + L"|73kqd_415209|DatFileInfo|FileDat|" +
                                         folder_ + L"|InPrRtm.exe"}),
              bridge.requests);
    EXPECT_TRUE(FileExists(Path(L"runtime-starts.txt")));
    EXPECT_EQ((std::vector<std::wstring>{L"hide", L"quit"}), window.calls);
    EXPECT_TRUE(FileExists(Path(kParkedRuntimeName)));
    EXPECT_EQ((std::vector<std::wstring>{L"staging", L"child", L"costs"}), phases.phases);
    EXPECT_EQ(0, phases.digests) << "nothing was in place to digest";
}

// Digests begun at start-up judge the files that staging and the data
// store's check find. The early reading is what judges while the system tells
// of no change: bytes changed behind its back, leaving no trace, still pass
// (which shows that the early reading was used). Another file put in the
// place of the one read, alike in length and last write, is judged by its own
// bytes: a stale executable is rebuilt, a damaged store found damaged.
enum class AfterEarlyReading { Nothing, BytesChangedUnnoticed, ReplacedByLookalike };

TEST_F(RuntimeLaunchInFolder, DigestsBegunEarlyJudgeTheExecutableStagingFinds) {
    struct Case {
        AfterEarlyReading change;
        size_t rebuilds;
    } cases[] = {
        {AfterEarlyReading::Nothing, 0},
        {AfterEarlyReading::BytesChangedUnnoticed, 0},
        {AfterEarlyReading::ReplacedByLookalike, 1},
    };
    for (const Case& c : cases) {
        const int row = static_cast<int>(c.change);
        PlaceRuntime();
        const std::wstring parked = Path(kParkedRuntimeName);
        ASSERT_TRUE(::MoveFileW(Path(kLiveRuntimeName).c_str(), parked.c_str()));
        EarlyDigests digests(folder_);
        ASSERT_TRUE(digests.runtime.WaitForReading(10000));
        if (c.change == AfterEarlyReading::BytesChangedUnnoticed) {
            // A letter of the DOS stub's text: the program still runs.
            ChangeBytesUnnoticed(parked, 0x50, "t");
        } else if (c.change == AfterEarlyReading::ReplacedByLookalike) {
            std::string stale = ReadFileBytes(parked);
            stale[0x50] ^= 0x20;
            ReplaceWithLookalike(parked, stale);
        }
        FakeLaunchWindow window;
        FakeBridge bridge(true);
        LaunchSettings settings = Settings(bridge);
        settings.earlyDigests = &digests;
        RuntimeLaunch launch(window, settings);
        const MessageBoxInfo box = RunAnsweringOneBox([&] { launch.LaunchRuntime(); }, 3000);
        EXPECT_FALSE(box) << row << L" " << box.title << L": " << box.text;
        EXPECT_EQ(c.rebuilds, bridge.requests.size()) << row;
        EXPECT_TRUE(FileExists(Path(L"runtime-starts.txt"))) << row;
        Clean();
    }
}

TEST_F(RuntimeLaunchInFolder, DigestsBegunEarlyJudgeTheDataStoreTheCheckFinds) {
    const std::wstring store = Path(kDataStoreName);
    struct Case {
        AfterEarlyReading change;
        bool matches;
    } cases[] = {
        {AfterEarlyReading::Nothing, true},
        {AfterEarlyReading::BytesChangedUnnoticed, true},
        {AfterEarlyReading::ReplacedByLookalike, false},
    };
    for (const Case& c : cases) {
        WriteBytes(kDataStoreName, "the data store");
        WriteConfig(L"Apdbm5=" + GetFileMd5(store));
        EarlyDigests digests(folder_);
        ASSERT_TRUE(digests.dataStore.WaitForReading(10000));
        if (c.change == AfterEarlyReading::BytesChangedUnnoticed) {
            ChangeBytesUnnoticed(store, 0, "THE");
        } else if (c.change == AfterEarlyReading::ReplacedByLookalike) {
            ReplaceWithLookalike(store, "THE DATA STORE");
        }
        FakeLaunchWindow window;
        FakeBridge bridge(true);
        LaunchSettings settings = Settings(bridge);
        settings.earlyDigests = &digests;
        RuntimeLaunch launch(window, settings);
        EXPECT_EQ(c.matches, launch.CheckDataStore()) << static_cast<int>(c.change);
    }
}
