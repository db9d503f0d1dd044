#ifndef QUILO_TESTS_UIA_TESTBRIDGE_H
#define QUILO_TESTS_UIA_TESTBRIDGE_H

// The scriptable test bridge (tests/standins/test_bridge.cpp) in a scratch
// install directory: its answers come from "test-bridge.ini", its calls are
// read back from "test-bridge-calls.log".

#include <string>
#include <vector>

#include <windows.h>

#include "ScratchInstall.h"
#include "UiAutomation.h"

// Which CsVarnApi.dll goes in: the scripted one or one of the broken variants.
// OtherWidth is the scripted one built for the other processor width.
enum class TestBridgeVariant { Scripted, NoCreateWrapper, NullObject, MissingDependency, OtherWidth };

// Copies CsVarnApi.dll (of the variant) and CsVarnLab.dll in, and an empty
// "Quilord.da" when there is none, so that the required-files check passes.
void InstallTestBridge(ScratchInstall& install, TestBridgeVariant variant = TestBridgeVariant::Scripted);
// Writes the bridge's answers ("key=value" lines, see test_bridge.cpp).
void ScriptTestBridge(ScratchInstall& install, const std::string& script);
// The calls the bridge has logged so far, one entry per line.
std::vector<std::string> TestBridgeCalls(const ScratchInstall& install);

// Waits (bounded) for the launcher's loader window: a visible dialog of the
// process that is not a message box. Message boxes shown meanwhile (by later
// steps that are not under test) are answered with OK, or No when they ask,
// and collected in `boxes`. Null when no loader window came, or the process ended.
HWND WaitForLoaderWindowAnsweringBoxes(DWORD processId, std::vector<MessageBoxInfo>* boxes = nullptr,
                                       DWORD timeoutMs = kDefaultWaitMs);

#endif
