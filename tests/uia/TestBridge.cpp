#include "TestBridge.h"

#include "TestPaths.h"

namespace {
std::string FolderOf(TestBridgeVariant variant) {
    switch (variant) {
        case TestBridgeVariant::NoCreateWrapper:
            return "standins/test_bridge_no_export";
        case TestBridgeVariant::NullObject:
            return "standins/test_bridge_null_object";
        case TestBridgeVariant::MissingDependency:
            return "standins/test_bridge_missing_dependency";
        case TestBridgeVariant::OtherWidth:
            return "standins/test_bridge_other_width";
        case TestBridgeVariant::Scripted:
            break;
    }
    return "standins/test_bridge";
}
}  // namespace

void InstallTestBridge(ScratchInstall& install, TestBridgeVariant variant) {
    install.CopyIn(BuildFile(FolderOf(variant) + "/CsVarnApi.dll"), L"CsVarnApi.dll");
    install.CopyIn(BuildFile("standins/test_bridge/CsVarnLab.dll"), L"CsVarnLab.dll");
    if (!install.Exists(L"Quilord.da")) {
        install.WriteFile(L"Quilord.da", "");
    }
}

void ScriptTestBridge(ScratchInstall& install, const std::string& script) {
    install.WriteFile(L"test-bridge.ini", script);
}

std::vector<std::string> TestBridgeCalls(const ScratchInstall& install) {
    if (!install.Exists(L"test-bridge-calls.log")) {
        return std::vector<std::string>();
    }
    return SplitLines(install.ReadFile(L"test-bridge-calls.log"));
}

HWND WaitForLoaderWindowAnsweringBoxes(DWORD processId, std::vector<MessageBoxInfo>* boxes, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        for (HWND window : TopLevelWindows(processId, L"#32770")) {
            MessageBoxInfo box = ReadMessageBox(window);
            if (!box) {
                return window;
            }
            PumpFor(50);
            box = ReadMessageBox(window);
            if (boxes) {
                boxes->push_back(box);
            }
            AnswerMessageBox(window, box.buttons.size() == 2 ? IDNO : IDOK);
            WaitForWindowGone(window, 5000);
        }
        PumpFor(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}
