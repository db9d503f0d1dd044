// What a start leaves in the support trace, as support staff read it: the
// verdict of each check, the main application's start and end, the phases,
// and the words of every message the user saw.
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "SupportTrace.h"

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

}  // namespace

class SupportRecordScenario : public LauncherScenario {
protected:
    void SetUp() override {
        LauncherScenario::SetUp();
        ClearSupportTraceFolder();
    }
};

TEST_F(SupportRecordScenario, ACleanStartRecordsEachVerdictTheChildAndThePhases) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    TestProcess launcher = install.StartLauncher();
    const RuntimeStart start = WaitForRuntimeStart(install);
    ExpectEnds(launcher);

    const TraceRecordLines record = TraceRecordOf(launcher.Id());
    const std::string shown = Joined(record.lines);
    for (const std::string& line : std::vector<std::string>{
             "single instance: first copy", "install directory: " + Utf8(install.Directory()),
             "required files: all present", ".NET release: " + std::to_string(kDotNet48Release),
             "bridge load: ok", "bridge status: 1", "updater: AutoUpdate.exe", "desktop rule: not on the desktop",
             "data store digest: matches", "child: pid " + std::to_string(start.pid) + ", online",
             "exit action: normal end"}) {
        EXPECT_TRUE(record.Has(line)) << "no line \"" << line << "\" in\n" << shown;
    }
    for (const char* prefix :
         {"elevated: ", "runtime digest: ", "child exit: code 0 after ", "phase startup: ", "phase checks: ",
          "phase bridge: ", "phase window: ", "phase staging: ", "phase child: ", "phase bridge calls: ",
          "phase digests: "}) {
        EXPECT_EQ(1u, record.StartingWith(prefix).size()) << "not one line starting \"" << prefix << "\" in\n"
                                                          << shown;
    }
    EXPECT_EQ(std::string::npos, shown.find("73kqd_415209")) << "the store password is in the trace";
}

TEST_F(SupportRecordScenario, AFailedStartRecordsTheVerdictAndTheMessageTheUserSaw) {
    ScratchInstall install;
    LayOutScriptedLaunch(install);
    install.Remove(L"Quilord.da");
    TestProcess launcher = install.StartLauncher();
    const std::wstring title = L"初始化提示";
    const std::wstring text = L"软件安装目录下有重要文件缺失，请使用软件安装包修复软件！";
    MessageBoxInfo box = ExpectMessageBox(launcher, title, text);
    ASSERT_TRUE(box);
    AnswerMessageBox(box.window, IDOK);
    ExpectEnds(launcher);

    const TraceRecordLines record = TraceRecordOf(launcher.Id());
    const std::string shown = Joined(record.lines);
    EXPECT_TRUE(record.Has("required files: " + Utf8(install.PathOf(L"Quilord.da")) + " missing")) << shown;
    EXPECT_TRUE(record.Has(ExpectedMessageBoxLine(title, text, "OK"))) << shown;
    EXPECT_TRUE(record.StartingWith("bridge load: ").empty()) << shown;
}
