#include <gtest/gtest.h>

#include "app/ElevationRule.h"
#include "util/MessageBox.h"

// From the launcher's path, the system folder and the current rights to the
// decision, as startup combines the two rules: a wrong drive comparison and a
// wrong rights test both change a row.
TEST(ElevationRule, RelaunchesOnlyUnelevatedFromTheSystemDrive) {
    struct Case {
        const wchar_t* launcherPath;
        const wchar_t* systemFolder;
        bool runAsAdmin;
        bool relaunch;
    } cases[] = {
        {L"C:\\Apps\\launcher.exe", L"C:\\windows\\system32", false, true},
        {L"c:\\Apps\\launcher.exe", L"C:\\windows\\system32", false, true},
        {L"C:\\launcher.exe", L"c:\\windows", false, true},
        {L"C:\\Apps\\launcher.exe", L"C:\\windows\\system32", true, false},
        {L"D:\\Apps\\launcher.exe", L"C:\\windows\\system32", false, false},
        {L"D:\\Apps\\launcher.exe", L"C:\\windows\\system32", true, false},
        // Same letter, but not a drive root: a share or a relative path.
        {L"C:Apps\\launcher.exe", L"C:\\windows", false, false},
        {L"\\\\server\\share\\launcher.exe", L"C:\\windows", false, false},
        {L"", L"C:\\windows", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.relaunch,
                  ShouldRelaunchElevated(c.runAsAdmin, IsSameDriveRoot(c.launcherPath, c.systemFolder)))
            << c.launcherPath << " " << c.systemFolder << " admin=" << c.runAsAdmin;
    }
}

TEST(MessageBoxAnswer, KeepsTheSevenButtonsAndMapsEverythingElseToCancel) {
    for (int answer = 1; answer <= 7; ++answer) {
        EXPECT_EQ(answer, MapMessageBoxAnswer(answer));
    }
    for (int answer : {0, -1, 8, 10, 11, 0x7FFFFFFF}) {
        EXPECT_EQ(IDCANCEL, MapMessageBoxAnswer(answer)) << answer;
    }
}
