#include <gtest/gtest.h>

#include "app/ElevationRule.h"
#include "util/MessageBox.h"

TEST(ElevationRule, RelaunchesOnlyUnelevatedOnTheSystemDrive) {
    struct Case {
        bool admin;
        bool systemDrive;
        bool relaunch;
    } cases[] = {{false, true, true}, {true, true, false}, {false, false, false}, {true, false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.relaunch, ShouldRelaunchElevated(c.admin, c.systemDrive)) << c.admin << c.systemDrive;
    }
}

TEST(ElevationRule, ComparesDriveRootsIgnoringCase) {
    EXPECT_TRUE(IsSameDriveRoot(L"C:\\Apps\\launcher.exe", L"c:\\windows\\system32"));
    EXPECT_FALSE(IsSameDriveRoot(L"D:\\Apps\\launcher.exe", L"C:\\windows\\system32"));
}

TEST(MessageBoxAnswer, KeepsTheSevenButtonsAndMapsEverythingElseToCancel) {
    for (int answer = 1; answer <= 7; ++answer) {
        EXPECT_EQ(answer, MapMessageBoxAnswer(answer));
    }
    for (int answer : {0, -1, 8, 10, 11, 0x7FFFFFFF}) {
        EXPECT_EQ(IDCANCEL, MapMessageBoxAnswer(answer)) << answer;
    }
}
