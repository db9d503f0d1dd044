#ifndef QUILO_TESTS_UIA_LAUNCHERSCENARIO_H
#define QUILO_TESTS_UIA_LAUNCHERSCENARIO_H

// The fixture of every scenario test: a clean machine state before each test
// (no launcher left running, the .NET Framework 4.8 registered, the page
// recorder installed and empty) and nothing left behind after it.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <windows.h>

#include "ScratchInstall.h"
#include "ShellRecorder.h"
#include "TestPaths.h"
#include "TestProcess.h"
#include "UiAutomation.h"

constexpr DWORD kDotNet48Release = 528040;

// The .NET Framework setup values the launcher reads ("Release", "Install").
// std::nullopt removes the value; RemoveDotNetSetupKey removes the whole key.
void SetDotNetValue(const wchar_t* name, std::optional<DWORD> value);
void SetDotNetStringValue(const wchar_t* name, const std::wstring& value);
void RemoveDotNetSetupKey();

// Every program the scenarios start, ended between tests if still running.
void KillScenarioProcesses();

class LauncherScenario : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Waits for the launcher's message box and checks its title and text exactly.
    MessageBoxInfo ExpectMessageBox(const TestProcess& launcher, const std::wstring& title,
                                    const std::wstring& text, DWORD timeoutMs = kDefaultWaitMs);
    // Checks what every box of the launcher shares: no owner (it is not modal
    // to the loader window), the warning icon, and the expected default button.
    void ExpectOwnerlessWarningBox(const MessageBoxInfo& box, int defaultButton);
    // Waits for the process to end (bounded) and fails when it does not.
    void ExpectEnds(TestProcess& process, DWORD timeoutMs = kDefaultWaitMs);
};

// Readable wide strings in assertion messages.
std::string Utf8(const std::wstring& text);

// The system's text for an error code in the user's language, as the launcher
// appends it to its own messages.
std::wstring SystemText(DWORD code);

#endif
