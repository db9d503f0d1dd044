#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include <windows.h>

#include "app/ElevationRule.h"
#include "util/MessageBox.h"

// The drive test on real paths of this Windows: the system folder's own drive
// in either case, and what is not that drive root.
TEST(ElevationRule, APathIsOnTheSystemDriveOnlyAtTheSystemFoldersDriveRoot) {
    wchar_t systemFolder[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetSystemDirectoryW(systemFolder, MAX_PATH));
    const std::wstring system(systemFolder);
    const std::wstring root = system.substr(0, 3);
    std::wstring lowerRoot = root;
    lowerRoot[0] = static_cast<wchar_t>(std::towlower(lowerRoot[0]));
    const std::wstring otherRoot = std::wstring(1, root[0] == L'D' ? L'E' : L'D') + L":\\";
    struct Case {
        std::wstring path;
        bool onSystemDrive;
    } cases[] = {
        {system + L"\\TarvexLauncher.exe", true},
        {root + L"Program Files\\Tarvex\\TarvexLauncher.exe", true},
        {lowerRoot + L"Apps\\TarvexLauncher.exe", true},
        {root + L"TarvexLauncher.exe", true},
        {otherRoot + L"Tarvex\\TarvexLauncher.exe", false},
        // The same letter without its root: a path relative to that drive's current folder.
        {root.substr(0, 2) + L"Apps\\TarvexLauncher.exe", false},
        {L"\\\\server\\share\\TarvexLauncher.exe", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.onSystemDrive, IsPathOnSystemDrive(c.path)) << c.path.c_str();
    }
}

TEST(ElevationRule, RelaunchesOnlyWithoutAdministratorRightsOnTheSystemDrive) {
    EXPECT_TRUE(ShouldRelaunchElevated(false, true));
    EXPECT_FALSE(ShouldRelaunchElevated(true, true));
    EXPECT_FALSE(ShouldRelaunchElevated(false, false));
    EXPECT_FALSE(ShouldRelaunchElevated(true, false));
}

TEST(MessageBoxAnswer, KeepsTheSevenButtonsAndMapsEverythingElseToCancel) {
    for (int answer = 1; answer <= 7; ++answer) {
        EXPECT_EQ(answer, MapMessageBoxAnswer(answer));
    }
    for (int answer : {0, -1, 8, 10, 11, 0x7FFFFFFF}) {
        EXPECT_EQ(IDCANCEL, MapMessageBoxAnswer(answer)) << answer;
    }
}
