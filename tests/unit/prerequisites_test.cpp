// The decisions of the prerequisite checks, including the ones Wine cannot
// stage: a default GUI font that cannot be read, registry reads that fail.
#include <gtest/gtest.h>

#include <iterator>
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

LOGFONTW FontNamed(const std::wstring& face) {
    LOGFONTW font = {};
    face.copy(font.lfFaceName, LF_FACESIZE);
    return font;
}

TEST(GuiFontFace, AReadableFontGivesItsFaceAndAnUnreadableOneKeepsTheFaceChosenSoFar) {
    const LOGFONTW yaHei = FontNamed(L"Microsoft YaHei");
    // A face that fills the array leaves no terminator: the read must stop at its end.
    const LOGFONTW full = FontNamed(std::wstring(LF_FACESIZE, L'x'));
    const struct {
        const LOGFONTW* font;
        std::wstring faceSoFar;
        std::wstring expected;
    } cases[] = {
        {nullptr, kInitialGuiFontFace, L"SimSun"},
        {nullptr, L"Tahoma", L"Tahoma"},
        {&yaHei, kInitialGuiFontFace, L"Microsoft YaHei"},
        {&full, kInitialGuiFontFace, std::wstring(LF_FACESIZE, L'x')},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].expected, ChooseGuiFontFace(cases[i].font, cases[i].faceSoFar)) << "row " << i;
    }
}

// Which updater name is used, present or not, is seen through the real
// launcher: the main application's argument 13 (launch scenarios) and the
// updater actually started (update scenarios).

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
