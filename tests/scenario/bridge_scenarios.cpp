// Loading the bridge library as a person meets it: each way the load can fail
// shows its own message once, start-up goes on to the loader window, and a
// bridge that loads is asked for its status exactly once and released at the end.
#include <ostream>
#include <string>
#include <vector>

#include "LauncherScenario.h"
#include "TestBridge.h"
#include "util/ProductConstants.h"

namespace {

const std::wstring kInitTitle = L"初始化提示";
const std::wstring kRuntimeTitle = L"运行环境检测提示";
const std::wstring kVcRuntimeText =
    L"检测到电脑可能未安装微软 VC++ 2015 "
    L"运行库。\n请下载安装后重试。\n如遇运行库安装失败等问题，请联系软件服务人员。\n"
    L"安装包通常保存在桌面，文件名为 VC_redist.x86.exe。";

std::wstring LoadFailureQuestion(unsigned code) {
    return L"运行库加载失败，错误码：" + std::to_wstring(code) + L"\n\n" + kVcRuntimeText +
           L"\n\n是否现在下载？";
}

std::string VcRedistPage() {
    return Utf8(kVcRedistDownloadPage);
}

enum class Layout {
    NotAnImage,         // CsVarnApi.dll is a text file
    MissingDependency,  // CsVarnApi.dll imports a DLL that exists nowhere
    NoCreateWrapper,
    NullObject,
    OtherWidth,  // the 32-bit library in a 64-bit launcher, or the reverse
};

struct LoadFailureCase {
    const char* name;
    Layout layout;
    std::wstring title;
    std::wstring text;
    int answer;                            // the button pressed in the box
    bool opensDownloadPage;                // the VC++ redistributable page after the answer
    std::vector<std::string> bridgeCalls;  // what the library logged: nothing when it never loaded
};

void PrintTo(const LoadFailureCase& row, std::ostream* out) {
    *out << row.name;
}

void Lay(ScratchInstall& install, Layout layout) {
    switch (layout) {
        case Layout::NotAnImage:
            InstallTestBridge(install);
            install.WriteFile(L"CsVarnApi.dll", "this is not a library\r\n");
            break;
        case Layout::MissingDependency:
            InstallTestBridge(install, TestBridgeVariant::MissingDependency);
            break;
        case Layout::NoCreateWrapper:
            InstallTestBridge(install, TestBridgeVariant::NoCreateWrapper);
            break;
        case Layout::NullObject:
            InstallTestBridge(install, TestBridgeVariant::NullObject);
            break;
        case Layout::OtherWidth:
            InstallTestBridge(install, TestBridgeVariant::OtherWidth);
            break;
    }
}

const std::vector<LoadFailureCase>& LoadFailureCases() {
    static const std::vector<LoadFailureCase> cases = {
        {"MissingDependencyIs126AndOpensThePageAfterOk",
         Layout::MissingDependency,
         kRuntimeTitle,
         kVcRuntimeText,
         IDOK,
         true,
         {}},
        {"NotAnImageAsksWithCode193AndYesOpensThePage",
         Layout::NotAnImage,
         kRuntimeTitle,
         LoadFailureQuestion(193),
         IDYES,
         true,
         {}},
        // Both widths refuse a library of the other one as an invalid image,
        // before any of its code or imports are touched.
        {"ALibraryOfTheOtherWidthAsksWithCode193",
         Layout::OtherWidth,
         kRuntimeTitle,
         LoadFailureQuestion(193),
         IDNO,
         false,
         {}},
        {"NotAnImageAnsweredNoOpensNothing",
         Layout::NotAnImage,
         kRuntimeTitle,
         LoadFailureQuestion(193),
         IDNO,
         false,
         {}},
        // The library is released right after the failure, and only once.
        {"NoCreateWrapperExport",
         Layout::NoCreateWrapper,
         kInitTitle,
         L"运行库加载失败：未能找到方法。",
         IDOK,
         false,
         {"Unloaded"}},
        {"CreateWrapperReturnsNull",
         Layout::NullObject,
         kInitTitle,
         L"运行库加载失败：加载内部方法失败。",
         IDOK,
         false,
         {"CreateWrapper", "Unloaded"}},
    };
    return cases;
}

}  // namespace

class BridgeLoadFailure : public LauncherScenario, public ::testing::WithParamInterface<LoadFailureCase> {};

TEST_P(BridgeLoadFailure, ShowsItsOneMessageAndStartUpGoesOnToTheLoaderWindow) {
    const LoadFailureCase& row = GetParam();
    ScratchInstall install;
    Lay(install, row.layout);
    TestProcess launcher = install.StartLauncher();

    MessageBoxInfo box = ExpectMessageBox(launcher, row.title, row.text);
    ASSERT_TRUE(box);
    EXPECT_EQ(row.answer == IDOK ? 1u : 2u, box.buttons.size());
    EXPECT_TRUE(OpenedUrls().empty()) << "a page was opened before the box was answered";
    AnswerMessageBox(box.window, row.answer);
    ASSERT_TRUE(WaitForWindowGone(box.window)) << "the box stayed after it was answered";

    std::vector<MessageBoxInfo> later;
    EXPECT_TRUE(WaitForLoaderWindowAnsweringBoxes(launcher.Id(), &later))
        << "no loader window after the failed load";
    for (const MessageBoxInfo& other : later) {
        EXPECT_NE(Utf8(row.text), Utf8(other.text)) << "the load failure was reported twice";
    }
    if (row.opensDownloadPage) {
        EXPECT_EQ(std::vector<std::string>{VcRedistPage()}, WaitForOpenedUrls(1));
    } else {
        PumpFor(1000);
        for (const std::string& url : OpenedUrls()) {
            EXPECT_NE(VcRedistPage(), url);
        }
    }
    // Ended from outside, so the library cannot log anything more: what it
    // logged is all that happened during start-up.
    launcher.Kill();
    EXPECT_EQ(row.bridgeCalls, TestBridgeCalls(install));
}

INSTANTIATE_TEST_SUITE_P(EveryRow, BridgeLoadFailure, ::testing::ValuesIn(LoadFailureCases()),
                         [](const ::testing::TestParamInfo<LoadFailureCase>& info) {
                             return info.param.name;
                         });

class BridgeScenario : public LauncherScenario {};

TEST_F(BridgeScenario, ALoadedBridgeIsAskedForItsStatusOnceAndReleasedWhenTheWindowCloses) {
    ScratchInstall install;
    InstallTestBridge(install);
    ScriptTestBridge(install, "status=1\ncomputer_id=PC-0042\n");
    TestProcess launcher = install.StartLauncher();
    HWND loader = WaitForLoaderWindowAnsweringBoxes(launcher.Id());
    ASSERT_TRUE(loader);
    std::vector<std::string> calls = TestBridgeCalls(install);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("CreateWrapper", calls[0]);
    EXPECT_EQ("QueryStatus", calls[1]);
    for (size_t i = 2; i < calls.size(); ++i) {
        EXPECT_NE("QueryStatus", calls[i]) << "the status was asked more than once";
        EXPECT_EQ(std::string::npos, calls[i].find("Reserved")) << calls[i];
    }
    // Closed as a person closes it, confirming if asked.
    ::PostMessageW(loader, WM_CLOSE, 0, 0);
    const ULONGLONG deadline = ::GetTickCount64() + 15000;
    while (!launcher.WaitForExit(100) && ::GetTickCount64() < deadline) {
        for (const MessageBoxInfo& box : MessageBoxes(launcher.Id())) {
            AnswerMessageBox(box.window, IDOK);
        }
    }
    ASSERT_TRUE(launcher.WaitForExit(0)) << "the launcher did not end after its window was closed";
    calls = TestBridgeCalls(install);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("DeleteThis 1", calls[calls.size() - 2]) << "the object goes before the library";
    EXPECT_EQ("Unloaded", calls.back());
}

TEST_F(BridgeScenario, AStatusQueryErrorIsNotShownAndStartUpGoesOn) {
    ScratchInstall install;
    InstallTestBridge(install);
    ScriptTestBridge(install, "status=1\nstatus_error=status service unreachable\n");
    TestProcess launcher = install.StartLauncher();
    std::vector<MessageBoxInfo> boxes;
    EXPECT_TRUE(WaitForLoaderWindowAnsweringBoxes(launcher.Id(), &boxes));
    for (const MessageBoxInfo& box : boxes) {
        EXPECT_EQ(std::wstring::npos, box.text.find(L"status service unreachable"));
    }
    const std::vector<std::string> calls = TestBridgeCalls(install);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("QueryStatus", calls[1]);
    // Start-up went on as far as the data store's check, which opens the
    // software page; waited for, so that it cannot reach the next test.
    EXPECT_EQ(1u, WaitForOpenedUrls(1).size());
}
