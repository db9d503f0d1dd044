// The crash dumps' names and which of them are kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "app/CrashDumpRules.h"
#include "tests/unit/TestTimes.h"

TEST(CrashDumpRules, NameHoldsTheLocalTimeAndTheProcessId) {
    const std::wstring name = CrashDumpFileName(MakeSystemTime(2026, 12, 10, 23, 20, 49, 999), 1234);
    EXPECT_EQ(L"launcher-20261210-232049-1234.dmp", name);
    EXPECT_TRUE(IsCrashDumpFileName(name));
}

TEST(CrashDumpRules, OnlyTheLaunchersDumpsCount) {
    struct Case {
        const wchar_t* name;
        bool isDump;
    };
    const Case cases[] = {
        {L"launcher-20261210-232049-1234.dmp", true},
        {L"LAUNCHER-x.DMP", true},
        {L"launcher.log", false},
        {L"launcher.old.log", false},
        {L"other-20261210-232049-1234.dmp", false},
        {L"launcher-20261210.dmp.txt", false},
        {L"launcher-.dm", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.isDump, IsCrashDumpFileName(c.name)) << static_cast<int>(c.isDump);
    }
}

TEST(CrashDumpRules, KeepsTheNewestFive) {
    std::vector<CrashDumpFile> dumps = {
        {L"launcher-a.dmp", 30}, {L"launcher-b.dmp", 10}, {L"launcher-c.dmp", 70}, {L"launcher-d.dmp", 20},
        {L"launcher-e.dmp", 60}, {L"launcher-f.dmp", 50}, {L"launcher-g.dmp", 40},
    };
    EXPECT_EQ((std::vector<std::wstring>{L"launcher-d.dmp", L"launcher-b.dmp"}), CrashDumpsToDelete(dumps));
    dumps.resize(5);
    EXPECT_TRUE(CrashDumpsToDelete(dumps).empty());
    EXPECT_TRUE(CrashDumpsToDelete({}).empty());
}

TEST(CrashDumpRules, EqualTimesAreOrderedByNameWhichHoldsTheSecond) {
    std::vector<CrashDumpFile> dumps;
    for (int second = 10; second < 17; ++second) {
        dumps.push_back({L"launcher-20261210-2320" + std::to_wstring(second) + L"-7.dmp", 5});
    }
    EXPECT_EQ(
        (std::vector<std::wstring>{L"launcher-20261210-232011-7.dmp", L"launcher-20261210-232010-7.dmp"}),
        CrashDumpsToDelete(dumps));
}
