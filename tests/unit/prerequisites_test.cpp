// The decisions of the prerequisite checks, including the ones Wine cannot
// stage: a default GUI font that cannot be read, registry reads that fail.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "util/DotNetRegistry.h"
#include "app/PrerequisiteRules.h"
#include "app/StartupState.h"

struct RegistryReadCase {
    LONG status;
    DWORD type;
    DWORD value;
    bool releaseSufficient;
    bool installSet;
};

TEST(DotNetRegistryRules, OnlyASuccessfulDwordReadCounts) {
    const std::vector<RegistryReadCase> cases = {
        {ERROR_SUCCESS, REG_DWORD, 379893, true, false},  // 4.5.2 exactly
        {ERROR_SUCCESS, REG_DWORD, 379892, false, false},
        {ERROR_SUCCESS, REG_DWORD, 528040, true, false},
        {ERROR_SUCCESS, REG_DWORD, 0xFFFFFFFFu, true, false},  // compared as unsigned
        {ERROR_SUCCESS, REG_DWORD, 1, false, true},
        {ERROR_SUCCESS, REG_DWORD, 2, false, false},
        {ERROR_SUCCESS, REG_SZ, 528040, false, false},  // a string counts as absent
        {ERROR_SUCCESS, REG_QWORD, 1, false, false},
        {ERROR_MORE_DATA, REG_SZ, 528040, false, false},
        {ERROR_FILE_NOT_FOUND, REG_DWORD, 528040, false, false},
    };
    for (const RegistryReadCase& row : cases) {
        EXPECT_EQ(row.releaseSufficient, IsReleaseValueSufficient(row.status, row.type, row.value))
            << row.status << " " << row.type << " " << row.value;
        EXPECT_EQ(row.installSet, IsInstallValueSet(row.status, row.type, row.value))
            << row.status << " " << row.type << " " << row.value;
    }
}

TEST(GuiFontFace, AnUnreadableDefaultFontKeepsSimSun) {
    EXPECT_EQ(L"SimSun", ChooseGuiFontFace(nullptr, kInitialGuiFontFace));
}

TEST(GuiFontFace, AReadableFontGivesItsFaceEvenWhenTheArrayIsFull) {
    LOGFONTW font = {};
    std::wcscpy(font.lfFaceName, L"Microsoft YaHei");
    EXPECT_EQ(L"Microsoft YaHei", ChooseGuiFontFace(&font, kInitialGuiFontFace));
    for (wchar_t& c : font.lfFaceName) {
        c = L'x';
    }
    EXPECT_EQ(std::wstring(LF_FACESIZE, L'x'), ChooseGuiFontFace(&font, kInitialGuiFontFace));
}

TEST(UpdaterFileName, AbsentDefaultUpdaterFallsBackToAutoUpdate) {
    EXPECT_EQ(L"orloupd.exe", ChooseUpdaterFileName(true));
    EXPECT_EQ(L"AutoUpdate.exe", ChooseUpdaterFileName(false));
}

TEST(DesktopRule, OnlyTheDesktopFolderItselfSpelledAsTheShellSpellsItIsRefused) {
    const std::wstring desktop = L"C:\\users\\anna\\Desktop";
    EXPECT_TRUE(IsDesktopFolder(desktop, desktop));
    EXPECT_FALSE(IsDesktopFolder(L"C:\\users\\anna\\Desktop\\Tarvex", desktop));
    EXPECT_FALSE(IsDesktopFolder(L"C:\\users\\anna\\desktop", desktop));
    EXPECT_FALSE(IsDesktopFolder(L"C:\\users\\anna", desktop));
    EXPECT_FALSE(IsDesktopFolder(L"", L""));
    EXPECT_FALSE(IsDesktopFolder(desktop, L""));
}

TEST(RequiredFiles, AreTestedInOrderAndTheFirstMissingOneStops) {
    std::vector<std::wstring> asked;
    std::set<std::wstring> present = {L"CsVarnLab.dll"};
    auto exists = [&](const std::wstring& directory, const std::wstring& name) {
        EXPECT_EQ(L"D:\\app", directory);
        asked.push_back(name);
        return present.count(name) != 0;
    };
    EXPECT_EQ(L"Quilord.da", FirstMissingRequiredFile(L"D:\\app", exists));
    EXPECT_EQ(std::vector<std::wstring>{L"Quilord.da"}, asked);

    asked.clear();
    present = {L"Quilord.da", L"CsVarnLab.dll"};
    EXPECT_EQ(L"CsVarnApi.dll", FirstMissingRequiredFile(L"D:\\app", exists));
    EXPECT_EQ((std::vector<std::wstring>{L"Quilord.da", L"CsVarnLab.dll", L"CsVarnApi.dll"}), asked);

    present.insert(L"CsVarnApi.dll");
    EXPECT_EQ(L"", FirstMissingRequiredFile(L"D:\\app", exists));
}
