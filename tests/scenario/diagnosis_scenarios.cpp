// What the user is told when the main application's executable cannot be
// rebuilt: the bridge's error text, the install path and the system locale
// decide between the path, retry, framework and bridge-text messages.
//
// The system locale is chosen per launcher: Wine takes the system default
// locale (and the ANSI code page) of a process from its Unix LC_ALL variable.
// Setting LC_ALL in the Windows environment block of the launcher does not
// reach it, so the launcher is started as a new Wine process through
// /usr/bin/env with LC_ALL set.
#include <string>
#include <vector>

#include "LaunchInstall.h"
#include "LauncherScenario.h"
#include "LoaderWindow.h"
#include "TestBridge.h"

namespace {

const std::wstring kTitle = L"软件加载提示";
const std::wstring kFooter = L"更多解决请咨询软件服务人员，咨询电话：19999999999";
const std::wstring kPathMessage =
    L"软件加载失败！\n可能原因：检测到操作系统语言为繁体中文，导致安装路径无法识别。\n"
    L"参考解决方法：请卸载软件后，将其安装至英文或拼音命名的文件夹，再重新启动软件。\n" +
    kFooter;
const std::wstring kStoreRetry =
    L"软件加载失败！\n请重试，若多次尝试仍加载失败，请尝试下载完整安装包安装修复。\n" + kFooter;
const std::wstring kGeneralRetry =
    L"软件加载失败！\n请重试，若多次尝试仍加载失败，请重启电脑或尝试下载完整安装包安装修复。\n" + kFooter;
const std::wstring kFramework =
    L"软件加载失败！\n请检查电脑是否已正确安装微软.NET Framework4.5.2或以上版本。" + kFooter;

const std::string kZhCn = "zh_CN.UTF-8";
const std::string kEnUs = "en_US.UTF-8";

// Answers the .NET question of start-up with Yes (the release value is missing
// but .NET 4 is installed), then returns the next message box.
MessageBoxInfo NextBoxAfterDotNetQuestion(DWORD launcher, bool expectQuestion) {
    MessageBoxInfo box = WaitForMessageBox(launcher);
    if (expectQuestion && box && box.title == L"运行环境检测提示") {
        AnswerMessageBox(box.window, IDYES);
        PumpFor(200);
        box = WaitForMessageBox(launcher);
    }
    return box;
}

}  // namespace

class DiagnosisScenario : public LauncherScenario {};

TEST_F(DiagnosisScenario, EachFailedRebuildGetsItsOneMessage) {
    struct Case {
        const char* name;
        std::string error;
        bool cjkPath;
        std::string locale;
        bool dotNet;
        std::wstring message;
    } cases[] = {
        {"marker, CJK path, other locale", "no such table: DatFileInfo", true, kEnUs, true, kPathMessage},
        {"marker, CJK path, zh-CN", "no such table: DatFileInfo", true, kZhCn, true, kStoreRetry},
        {"marker, CJK path, zh-CN, no framework", "no such table: DatFileInfo", true, kZhCn, false,
         kFramework},
        {"marker, ASCII path, other locale", "no such table: DatFileInfo", false, kEnUs, true, kStoreRetry},
        {"marker, ASCII path, zh-CN, no framework", "unrecognized token: \"!\"", false, kZhCn, false,
         kFramework},
        {"store password as marker", "wrong key 73kqd_415209", true, kEnUs, false, kPathMessage},
        {"no marker", "disk I/O failure", true, kEnUs, true, L"软件加载失败！\ndisk I/O failure\n" + kFooter},
        {"third marker only in upper case", "SQL logic error", true, kEnUs, true,
         L"软件加载失败！\nSQL logic error\n" + kFooter},
        {"empty text", "", true, kEnUs, true, kGeneralRetry},
        {"empty text, no framework", "", false, kEnUs, false, kFramework},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KillScenarioProcesses();
        if (c.dotNet) {
            SetDotNetValue(L"Release", kDotNet48Release);
        } else {
            SetDotNetValue(L"Release", std::nullopt);
        }
        ScratchInstall install(c.cjkPath ? L"诊断路径-" + CurrentTestName() : CurrentTestName());
        LayOutScriptedLaunch(install);
        install.Remove(L"ertmcache");
        ScriptTestBridge(install,
                         "status=1\ncomputer_id=PC-1\nregenerate=0\nregenerate_error=" + c.error + "\n");
        const DWORD launcher = StartLauncherInUnixLocale(install, c.locale);
        ASSERT_NE(0u, launcher);
        MessageBoxInfo box = NextBoxAfterDotNetQuestion(launcher, !c.dotNet);
        ASSERT_TRUE(box) << "no message";
        EXPECT_EQ(Utf8(kTitle), Utf8(box.title));
        EXPECT_EQ(Utf8(c.message), Utf8(box.text));
        AnswerMessageBox(box.window, IDOK);
        EXPECT_TRUE(WaitForLoaderWindowAnsweringBoxes(launcher)) << "the window did not stay for another try";
        EXPECT_FALSE(install.Exists(L"runtime-args.txt"));
        KillScenarioProcesses();
        DeleteTree(install.Directory());
    }
}

TEST_F(DiagnosisScenario, AnEmptyDataStoreWithTheReferenceBridgeAsksToRetry) {
    ScratchInstall install;
    LayOutPackagedLaunch(install);
    install.Remove(L"ertmcache");
    install.WriteFile(L"Quilord.da", "");
    // The store's recorded digest matches, so only the rebuild finds out.
    WriteConfig(install, {"Apdbm5=" + Md5Hex("")});
    const DWORD launcher = StartLauncherInUnixLocale(install, kEnUs);
    ASSERT_NE(0u, launcher);
    MessageBoxInfo box = WaitForMessageBox(launcher);
    ASSERT_TRUE(box);
    EXPECT_EQ(Utf8(kTitle), Utf8(box.title));
    EXPECT_EQ(Utf8(kStoreRetry), Utf8(box.text));
    AnswerMessageBox(box.window, IDOK);
    EXPECT_TRUE(WaitForLoaderWindowAnsweringBoxes(launcher));
}
