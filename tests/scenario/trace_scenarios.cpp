// The support trace as support meets it: every start leaves one whole record
// in %LOCALAPPDATA%\Tarvex\launcher.log, with the message the user saw, even
// when thirty launchers end at once; and a trace folder that cannot be
// written changes nothing for the user.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "SupportTrace.h"
#include "TestBridge.h"

namespace {

const std::wstring kInitTitle = L"初始化提示";
const std::wstring kMissingFilesText = L"软件安装目录下有重要文件缺失，请使用软件安装包修复软件！";
const std::wstring kLoadTitle = L"软件加载提示";
const std::wstring kStoreRetryText =
    L"软件加载失败！\n请重试，若多次尝试仍加载失败，请尝试下载完整安装包安装修复。\n"
    L"更多解决请咨询软件服务人员，咨询电话：19999999999";
const std::string kStorePassword = "73kqd_415209";

std::string Lines(const TraceRecordLines& record) {
    std::string all = record.header + "\n";
    for (const std::string& line : record.lines) {
        all += "  " + line + "\n";
    }
    return all;
}

// The records of one process (a launcher writes one per start).
std::vector<TraceRecordLines> RecordsOf(const std::vector<TraceRecordLines>& records, DWORD pid) {
    std::vector<TraceRecordLines> own;
    for (const TraceRecordLines& record : records) {
        if (record.pid == pid) {
            own.push_back(record);
        }
    }
    return own;
}

// A plain file where the trace folder should be, so that it cannot be
// created; removed again whatever the test's outcome.
class TraceFolderBlocked {
public:
    TraceFolderBlocked() {
        ClearSupportTraceFolder();
        HANDLE file = ::CreateFileW(SupportTraceFolder().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        created_ = file != INVALID_HANDLE_VALUE;
        if (created_) {
            ::CloseHandle(file);
        }
    }
    ~TraceFolderBlocked() { ClearSupportTraceFolder(); }
    TraceFolderBlocked(const TraceFolderBlocked&) = delete;
    TraceFolderBlocked& operator=(const TraceFolderBlocked&) = delete;
    bool IsBlocked() const { return created_; }

private:
    bool created_ = false;
};

}  // namespace

class TraceScenario : public LauncherScenario {
protected:
    void SetUp() override {
        LauncherScenario::SetUp();
        ClearSupportTraceFolder();
    }
};

TEST_F(TraceScenario, ACleanStartLeavesOneRecordWithoutAnyMessage) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    TestProcess launcher = install.StartLauncher();
    EXPECT_TRUE(WaitForRuntimeStart(install).recorded);
    ExpectEnds(launcher);

    std::string malformed;
    const std::vector<TraceRecordLines> records = ReadSupportTrace(&malformed);
    EXPECT_EQ("", malformed);
    const std::vector<TraceRecordLines> own = RecordsOf(records, launcher.Id());
    ASSERT_EQ(1u, own.size()) << "records of the launcher's start";
    const TraceRecordLines& record = own.front();
    EXPECT_TRUE(record.Has("launcher version: 1.2.3.4")) << Lines(record);
    EXPECT_EQ(1u, record.StartingWith("windows: ").size()) << Lines(record);
    EXPECT_NE("windows: ", record.StartingWith("windows: ").front()) << "no Windows version";
    EXPECT_EQ(1u, record.StartingWith("wow64: ").size()) << Lines(record);
    EXPECT_TRUE(record.StartingWith("message box: ").empty()) << Lines(record);
}

TEST_F(TraceScenario, ABridgeThatEchoesTheStorePasswordLeavesItOutOfTheTrace) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.Remove(L"ertmcache");
    // Every text of the bridge that the trace takes word for word carries it.
    ScriptTestBridge(install, "status=1\nstatus_error=key " + kStorePassword + "\ncomputer_id=PC-" +
                                  kStorePassword + "\nregenerate=0\nregenerate_error=wrong key " +
                                  kStorePassword + "\\nsecond line " + kStorePassword + "\n");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kLoadTitle, kStoreRetryText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    HWND loader = WaitForVisibleLoaderWindow(launcher, 30000);
    ASSERT_TRUE(loader) << "the window did not stay for another try";
    ::PostMessageW(loader, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageW(loader, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    ExpectEnds(launcher);

    const TraceRecordLines record = TraceRecordOf(launcher.Id());
    EXPECT_TRUE(record.Has("single instance: first copy")) << Lines(record);
    EXPECT_TRUE(record.Has("rebuild: failed: wrong key ***\\nsecond line ***")) << Lines(record);
    EXPECT_TRUE(record.Has(ExpectedMessageBoxLine(kLoadTitle, kStoreRetryText, "OK"))) << Lines(record);
    for (const std::string& line : record.lines) {
        EXPECT_EQ(std::string::npos, line.find(kStorePassword))
            << "the store password is in the trace: " << line;
    }
}

TEST_F(TraceScenario, AFailedStartRecordsTheMessageTheUserSawAndTheAnswer) {
    ScratchInstall install;  // the launcher alone: required files are missing
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kInitTitle, kMissingFilesText);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);

    std::string malformed;
    const std::vector<TraceRecordLines> own = RecordsOf(ReadSupportTrace(&malformed), launcher.Id());
    EXPECT_EQ("", malformed);
    ASSERT_EQ(1u, own.size());
    EXPECT_EQ(std::vector<std::string>{ExpectedMessageBoxLine(kInitTitle, kMissingFilesText, "OK")},
              own.front().StartingWith("message box: "))
        << Lines(own.front());
}

TEST_F(TraceScenario, ATraceFolderThatCannotBeWrittenChangesNothingForTheUser) {
    TraceFolderBlocked blocked;
    ASSERT_TRUE(blocked.IsBlocked()) << "could not put a file in the trace folder's place";
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_TRUE(start.recorded) << "the main application did not start";
    ExpectEnds(launcher);
    DWORD exitCode = 1;
    EXPECT_TRUE(launcher.WaitForExit(0, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_TRUE(MessageBoxes(launcher.Id()).empty());
    const DWORD attributes = ::GetFileAttributesW(SupportTraceFolder().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        << "the file standing in the folder's place was replaced";
}

TEST_F(TraceScenario, AnOlderTraceHeldOpenByAnotherProgramLeavesTheTraceWithinItsBound) {
    constexpr size_t kBoundBytes = 256 * 1024;
    const std::wstring folder = SupportTraceFolder();
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr)) << "error " << ::GetLastError();
    const std::wstring log = folder + L"\\launcher.log";
    const std::wstring older = folder + L"\\launcher.old.log";
    auto write = [](const std::wstring& path, const std::string& bytes) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        const bool whole =
            file != INVALID_HANDLE_VALUE &&
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
        ::CloseHandle(file);
        return whole;
    };
    ASSERT_TRUE(write(log, std::string(kBoundBytes - 16, 'x')));  // full: the next record moves it aside
    ASSERT_TRUE(write(older, "older records\r\n"));
    // A program reading the older copy, as an editor or a virus scanner would:
    // no delete sharing, so it cannot be renamed over.
    HANDLE held = ::CreateFileW(older.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held) << "error " << ::GetLastError();

    ScratchInstall install;  // required files missing: a short start with one box
    DWORD lastLauncher = 0;
    for (int start = 0; start < 3; ++start) {
        TestProcess launcher = install.StartLauncher();
        MessageBoxInfo box = ExpectMessageBox(launcher, kInitTitle, kMissingFilesText);
        ASSERT_TRUE(box);
        AnswerMessageBox(box.window, IDOK);
        ExpectEnds(launcher);
        lastLauncher = launcher.Id();
    }
    ::CloseHandle(held);

    const std::string trace = ReadFileBytes(log);
    EXPECT_LE(trace.size(), kBoundBytes) << "the trace grew past its bound";
    const std::string lastHeader = " start pid " + std::to_string(lastLauncher) + " ====\r\n";
    EXPECT_NE(std::string::npos, trace.find(lastHeader)) << "the latest start left no record";
}

TEST_F(TraceScenario, ThirtyLaunchersAtOnceLeaveThirtyWholeRecordsEachWithItsOwnMessage) {
    constexpr size_t kLaunchers = 30;
    ScratchInstall install;  // required files missing: the one that is not refused says so
    std::vector<TestProcess> launchers;
    for (size_t i = 0; i < kLaunchers; ++i) {
        launchers.push_back(install.StartLauncher());
        ASSERT_TRUE(launchers.back().IsStarted()) << "error " << launchers.back().StartError();
    }
    // Every copy shows one box, the refused ones "already running", the
    // others the missing files; each is answered as it appears.
    std::map<DWORD, MessageBoxInfo> seen;
    std::set<HWND> answered;
    const ULONGLONG deadline = ::GetTickCount64() + 180000;
    size_t ended = 0;
    while (ended < kLaunchers && ::GetTickCount64() < deadline) {
        ended = 0;
        for (TestProcess& launcher : launchers) {
            if (!launcher.IsRunning()) {
                ++ended;
                continue;
            }
            for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
                if (!answered.insert(box.window).second) {
                    continue;
                }
                EXPECT_TRUE(seen.emplace(launcher.Id(), box).second) << "a launcher showed a second box";
                AnswerMessageBox(box.window, IDOK);
            }
        }
        PumpFor(100);
    }
    ASSERT_EQ(kLaunchers, ended) << "launchers still running after three minutes";

    std::string malformed;
    const std::vector<TraceRecordLines> records = ReadSupportTrace(&malformed);
    EXPECT_EQ("", malformed) << "records were cut or interleaved";
    EXPECT_EQ(kLaunchers, records.size());
    for (const TraceRecordLines& record : records) {
        const auto box = seen.find(record.pid);
        if (box == seen.end()) {
            ADD_FAILURE() << "a record of a process whose box was not seen:\n" << Lines(record);
            continue;
        }
        EXPECT_EQ(std::vector<std::string>{ExpectedMessageBoxLine(box->second.title, box->second.text, "OK")},
                  record.StartingWith("message box: "))
            << Lines(record);
    }
    for (const TestProcess& launcher : launchers) {
        EXPECT_EQ(1u, RecordsOf(records, launcher.Id()).size()) << "records of pid " << launcher.Id();
    }
}
