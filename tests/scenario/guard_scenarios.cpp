// The launcher never vanishes without a word: a fault inside the maker's
// bridge library (outside code) ends the launcher with one warning that names
// the exception and the module, leaves a crash dump beside the support trace,
// and the next start runs normally.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "SupportTrace.h"
#include "TestBridge.h"
#include "TestPaths.h"

namespace {

const std::wstring kTitle = L"软件加载提示";
const std::wstring kAccessViolationInBridge =
    L"软件运行出现异常，即将关闭！\n异常代码：0xC0000005，出错模块：CsVarnApi.dll\n"
    L"请重新启动软件，若多次出现，请尝试下载完整安装包安装修复。\n"
    L"更多解决请咨询软件服务人员，咨询电话：19999999999";

struct CrashCase {
    const char* name;
    const char* call;     // the bridge call that faults
    bool missingRuntime;  // no runtime executable, so the launch asks the bridge to rebuild it
};

void PrintTo(const CrashCase& row, std::ostream* out) {
    *out << row.name;
}

// Dumps of earlier crashes, older than any new one: with them the folder
// holds one more than the launcher keeps once the new dump is written.
const std::vector<std::wstring> kEarlierDumps = {
    L"launcher-20200101-000001-11.dmp", L"launcher-20200101-000002-12.dmp",
    L"launcher-20200101-000003-13.dmp", L"launcher-20200101-000004-14.dmp",
    L"launcher-20200101-000005-15.dmp"};

void PlantEarlierDumps() {
    const std::wstring folder = SupportTraceFolder();
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (size_t i = 0; i < kEarlierDumps.size(); ++i) {
        const std::wstring path = folder + L"\\" + kEarlierDumps[i];
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        // One hour apart in 2020, in the order of their names.
        SYSTEMTIME time = {2020, 1, 0, 1, static_cast<WORD>(i), 0, 0, 0};
        FILETIME written = {};
        ::SystemTimeToFileTime(&time, &written);
        ::SetFileTime(file, nullptr, nullptr, &written);
        ::CloseHandle(file);
    }
}

std::vector<std::wstring> DumpsInTraceFolder() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW((SupportTraceFolder() + L"\\launcher-*.dmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string FirstBytes(const std::wstring& path, size_t count) {
    std::string bytes(count, '\0');
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (!file) {
        return std::string();
    }
    bytes.resize(std::fread(&bytes[0], 1, count, file));
    std::fclose(file);
    return bytes;
}

// Whether the report's dump is written: the oldest earlier dump is deleted
// right after it. A slow machine (an emulated one) may take longer to write
// it than the launcher waits once the warning is answered.
bool WaitForOldestEarlierDumpGone(DWORD timeoutMs) {
    const std::wstring oldest = SupportTraceFolder() + L"\\" + kEarlierDumps.front();
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetFileAttributesW(oldest.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(100);
    }
    return true;
}

}  // namespace

class BridgeCrash : public LauncherScenario, public ::testing::WithParamInterface<CrashCase> {};

TEST_P(BridgeCrash, EndsWithOneWarningNamingTheModuleLeavesADumpAndTheNextStartRuns) {
    const CrashCase& row = GetParam();
    ClearSupportTraceFolder();
    PlantEarlierDumps();
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    if (row.missingRuntime) {
        install.Remove(L"ertmcache");
    }
    ScriptTestBridge(
        install,
        std::string("status=1\nregenerate=1\nwrite_runtime=runtime-source.bin\ncrash=") + row.call + "\n");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kTitle, kAccessViolationInBridge, 30000);
    ASSERT_TRUE(box);
    EXPECT_EQ(1u, box.buttons.size());
    // The user reads the warning while the dump is written.
    EXPECT_TRUE(WaitForOldestEarlierDumpGone(120000)) << "the dump was not written while the warning was up";
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_EQ(0, RuntimeStartCount(install)) << "the main application started after the fault";

    // The new dump joins the four newest earlier ones; the oldest is deleted.
    const std::vector<std::wstring> dumps = DumpsInTraceFolder();
    ASSERT_EQ(5u, dumps.size());
    EXPECT_EQ(std::vector<std::wstring>(kEarlierDumps.begin() + 1, kEarlierDumps.end()),
              std::vector<std::wstring>(dumps.begin(), dumps.begin() + 4));
    const std::wstring dump = dumps.back();
    EXPECT_EQ("MDMP", FirstBytes(SupportTraceFolder() + L"\\" + dump, 4)) << Utf8(dump);
    std::string malformed;
    const std::vector<TraceRecordLines> records = ReadSupportTrace(&malformed);
    EXPECT_EQ("", malformed);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(launcher.Id(), records.back().pid);
    EXPECT_EQ(std::vector<std::string>{"crash dump: " + Utf8(dump)},
              records.back().StartingWith("crash dump: "));
    EXPECT_TRUE(records.back().Has(ExpectedMessageBoxLine(kTitle, kAccessViolationInBridge, "OK")));

    // The next start, with a bridge that works, goes all the way to the main application.
    ScriptTestBridge(install, "status=1\nregenerate=1\nwrite_runtime=runtime-source.bin\n");
    TestProcess again = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_TRUE(start.recorded) << "the start after the fault did not reach the main application";
    ExpectEnds(again);
    for (const MessageBoxInfo& other : MessageBoxes(again.Id())) {
        ADD_FAILURE() << "unexpected box: " << Utf8(other.text);
    }
}

INSTANTIATE_TEST_SUITE_P(EachCall, BridgeCrash,
                         ::testing::Values(CrashCase{"InQueryStatus", "status", false},
                                           CrashCase{"InRegenerateRuntime", "regenerate", true}),
                         [](const ::testing::TestParamInfo<CrashCase>& info) { return info.param.name; });

class TerminateRoute : public LauncherScenario {};

// std::terminate (an exception nobody caught, on a thread where it cannot
// unwind) goes through the launcher's terminate handler to its last-resort
// filter: the same warning, dump and record as any fault, then the end.
TEST_F(TerminateRoute, ShowsTheCrashWarningLeavesADumpAndARecordAndEnds) {
    ClearSupportTraceFolder();
    PlantEarlierDumps();
    TestProcess probe = TestProcess::Start(BuildFile("standins/terminate_probe.exe"));
    ASSERT_TRUE(probe.IsStarted()) << "error " << probe.StartError();
    MessageBoxInfo box = WaitForMessageBox(probe.Id(), 30000);
    ASSERT_TRUE(box) << "no warning";
    EXPECT_EQ(Utf8(kTitle), Utf8(box.title));
    const std::wstring opening = L"软件运行出现异常，即将关闭！\n异常代码：0x40000015，出错模块：";
    const std::wstring closing =
        L"\n请重新启动软件，若多次出现，请尝试下载完整安装包安装修复。\n"
        L"更多解决请咨询软件服务人员，咨询电话：19999999999";
    EXPECT_EQ(0u, box.text.rfind(opening, 0)) << Utf8(box.text);
    ASSERT_GT(box.text.size(), opening.size() + closing.size()) << Utf8(box.text);
    EXPECT_EQ(Utf8(closing), Utf8(box.text.substr(box.text.size() - closing.size())));
    EXPECT_EQ(1u, box.buttons.size());
    // The user reads the warning while the dump is written.
    EXPECT_TRUE(WaitForOldestEarlierDumpGone(120000)) << "the dump was not written while the warning was up";
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(probe);

    // The newest of the five dumps kept (the earlier ones are named after 2020).
    const std::vector<std::wstring> dumps = DumpsInTraceFolder();
    ASSERT_EQ(5u, dumps.size()) << "no crash dump";
    const std::wstring dump = dumps.back();
    EXPECT_EQ("MDMP", FirstBytes(SupportTraceFolder() + L"\\" + dump, 4));
    const TraceRecordLines record = TraceRecordOf(probe.Id());
    EXPECT_TRUE(record.Has("terminate probe: calling std::terminate"));
    EXPECT_TRUE(record.Has("crash dump: " + Utf8(dump)));
    EXPECT_TRUE(record.Has(ExpectedMessageBoxLine(kTitle, box.text, "OK")));
}

struct LockedCrashCase {
    const char* name;
    const char* holding;  // the lock the faulting thread holds (test bridge's crash_holding)
};

void PrintTo(const LockedCrashCase& row, std::ostream* out) {
    *out << row.name;
}

class CrashHoldingALock : public LauncherScenario, public ::testing::WithParamInterface<LockedCrashCase> {};

// A fault while the faulting thread holds a lock the crash report would need:
// the launcher may show its warning or not, but it never hangs holding the
// single-instance mutex, and the next start runs.
TEST_P(CrashHoldingALock, NeverLeavesTheLauncherHungAndTheNextStartRuns) {
    ClearSupportTraceFolder();
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    ScriptTestBridge(install,
                     std::string("status=1\ncrash=status\ncrash_holding=") + GetParam().holding + "\n");
    TestProcess launcher = install.StartLauncher();
    ASSERT_TRUE(launcher.IsStarted()) << "error " << launcher.StartError();
    // The fault comes right after the bridge logs the status query.
    const ULONGLONG queryDeadline = ::GetTickCount64() + 30000;
    auto queried = [&] {
        const std::vector<std::string> calls = TestBridgeCalls(install);
        return std::find(calls.begin(), calls.end(), "QueryStatus") != calls.end();
    };
    while (!queried() && launcher.IsRunning() && ::GetTickCount64() < queryDeadline) {
        PumpFor(50);
    }
    ASSERT_TRUE(queried()) << "the bridge was never asked for its status";
    const ULONGLONG deadline = ::GetTickCount64() + 20000;
    while (launcher.IsRunning() && ::GetTickCount64() < deadline) {
        for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
            EXPECT_EQ(Utf8(kTitle), Utf8(box.title));
            EXPECT_EQ(Utf8(kAccessViolationInBridge), Utf8(box.text));
            AnswerMessageBox(box.window, IDOK);
        }
        PumpFor(100);
    }
    EXPECT_FALSE(launcher.IsRunning()) << "the launcher still runs 20 s after the fault";
    launcher.Kill();

    ScriptTestBridge(install, "status=1\n");
    TestProcess again = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    EXPECT_TRUE(start.recorded) << "the start after the fault did not reach the main application";
    ExpectEnds(again);
}

INSTANTIATE_TEST_SUITE_P(EachLock, CrashHoldingALock,
                         ::testing::Values(LockedCrashCase{"HeapLock", "heap"},
                                           LockedCrashCase{"LoaderLock", "loader"}),
                         [](const ::testing::TestParamInfo<LockedCrashCase>& info) {
                             return info.param.name;
                         });
