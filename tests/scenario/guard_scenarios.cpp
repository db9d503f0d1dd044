// The launcher never vanishes without a word: a fault inside the maker's
// bridge library (outside code) ends the launcher with one warning that names
// the exception and the module, and the next start runs normally.
#include <string>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "TestBridge.h"

namespace {

const std::wstring kTitle = L"软件加载提示";
const std::wstring kAccessViolationInBridge =
    L"软件运行出现异常，即将关闭！\n异常代码：0xC0000005，出错模块：CsVarnApi.dll\n"
    L"请重新启动软件，若多次出现，请尝试下载完整安装包安装修复。\n"
    L"更多解决请咨询软件服务人员，咨询电话：19999999999";

struct CrashCase {
    const char* name;
    const char* call;      // the bridge call that faults
    bool missingRuntime;   // no runtime executable, so the launch asks the bridge to rebuild it
};

void PrintTo(const CrashCase& row, std::ostream* out) { *out << row.name; }

}  // namespace

class BridgeCrash : public LauncherScenario, public ::testing::WithParamInterface<CrashCase> {};

TEST_P(BridgeCrash, EndsWithOneWarningNamingTheModuleAndTheNextStartRuns) {
    const CrashCase& row = GetParam();
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    if (row.missingRuntime) {
        install.Remove(L"ertmcache");
    }
    ScriptTestBridge(install, std::string("status=1\nregenerate=1\nwrite_runtime=runtime-source.bin\ncrash=") +
                                  row.call + "\n");
    TestProcess launcher = install.StartLauncher();
    MessageBoxInfo box = ExpectMessageBox(launcher, kTitle, kAccessViolationInBridge, 30000);
    ASSERT_TRUE(box);
    EXPECT_EQ(1u, box.buttons.size());
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);
    EXPECT_EQ(0, RuntimeStartCount(install)) << "the main application started after the fault";

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
