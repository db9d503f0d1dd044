#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "loader_window/SupportCommand.h"
#include "util/SystemFacts.h"
#include "loader_window/SupportProgram.h"
#include "util/DateText.h"

namespace {

// How a C runtime would split the command line: the support program reads
// its five values this way.
std::vector<std::wstring> SplitLikeTheRuntime(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> values;
    for (int i = 0; arguments && i < count; ++i) {
        values.push_back(arguments[i]);
    }
    ::LocalFree(arguments);
    return values;
}

}  // namespace

TEST(SupportArgument, JoinsIdentifierTagVersionDateAndPageWithoutSeparators) {
    const std::wstring initialDate = FormatDate(DateValue(), kSupportDatePattern);
    EXPECT_EQ(L"_TVX_1.2.3.4_1899-12-30_LoadPage", BuildSupportArgument(L"", L"1.2.3.4", initialDate));
    EXPECT_EQ(L"0123456789ABCDEF0123456789ABCDEF_TVX_1.2.3.4_1899-12-30_LoadPage",
              BuildSupportArgument(L"0123456789ABCDEF0123456789ABCDEF", L"1.2.3.4", initialDate));
    // Without a version resource the version is simply missing.
    EXPECT_EQ(L"PC_TVX__2024-05-06_LoadPage", BuildSupportArgument(L"PC", L"", L"2024-05-06"));
}

TEST(SupportCommandLine, FiveValuesJoinedBySingleSpacesUnquoted) {
    const std::wstring line =
        BuildSupportCommandLine(L"D:\\Apps\\Tarvex\\Pelko.exe", kSupportServerAddress, kSupportServerPort,
                                L"_TVX_1.2.3.4_1899-12-30_LoadPage", L"Tarvex");
    EXPECT_EQ(L"D:\\Apps\\Tarvex\\Pelko.exe 192.0.2.66 6629 _TVX_1.2.3.4_1899-12-30_LoadPage Tarvex", line);
    EXPECT_EQ(5u, SplitLikeTheRuntime(line).size());
}

TEST(SupportCommandLine, APathWithSpacesStaysUnquotedAtTheStart) {
    const std::wstring path = L"D:\\scenarios\\Tarvex Demo\\Pelko.exe";
    const std::wstring line =
        BuildSupportCommandLine(path, L"192.0.2.66", L"6629", L"A_TVX__x_LoadPage", L"Tarvex");
    EXPECT_EQ(0u, line.find(path + L" 192.0.2.66 "));
    EXPECT_EQ(std::wstring::npos, line.find(L'"'));
    // A reader splitting on spaces sees the path cut in two: the values shift by one.
    const std::vector<std::wstring> values = SplitLikeTheRuntime(line);
    ASSERT_EQ(6u, values.size());
    EXPECT_EQ(L"D:\\scenarios\\Tarvex", values[0]);
}

TEST(SupportCommandLine, TheServerAddressIsDottedDecimalIPv4) {
    unsigned parts[4] = {};
    wchar_t rest = 0;
    ASSERT_EQ(4, swscanf(kSupportServerAddress, L"%u.%u.%u.%u%lc", &parts[0], &parts[1], &parts[2], &parts[3],
                         &rest));
    for (unsigned part : parts) {
        EXPECT_LE(part, 255u);
    }
    EXPECT_EQ(L"6629", std::wstring(kSupportServerPort));
    EXPECT_EQ(L"Pelko.exe", SupportProgramFileName());
}

TEST(LauncherVersion, EachHalfOfTheVersionGivesTwoUnsigned16BitNumbers) {
    EXPECT_EQ(L"1.2.3.4", FormatFileVersion(MAKELONG(2, 1), MAKELONG(4, 3)));
    EXPECT_EQ(L"0.0.0.0", FormatFileVersion(0, 0));
    EXPECT_EQ(L"65535.65535.65535.65535", FormatFileVersion(0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_EQ(L"32768.1.0.40000", FormatFileVersion(MAKELONG(1, 32768), MAKELONG(40000, 0)));
}

TEST(LauncherVersion, TheTestProgramCarriesTheLauncherVersionResource) {
    // The unit-test program links the launcher's resources, so it reads the same version.
    EXPECT_EQ(L"1.2.3.4", GetOwnFileVersion());
}

TEST(SupportException, NamesOfTheRuntimeBecomeAGeneralReason) {
    struct Case {
        const wchar_t* exceptionText;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"bad allocation", L"加载失败！\nbad allocation"},
        {L"cannot open D:\\x\\InPrRtm.exe", L"加载失败！\n原因：系统错误。"},
        {L"CacheDat is locked", L"加载失败！\n原因：系统错误。"},
        // The test is case-sensitive, like the launch's reduction.
        {L"inprrtm.exe missing", L"加载失败！\ninprrtm.exe missing"},
        {L"cachedat", L"加载失败！\ncachedat"},
        {L"", L"加载失败！\n"},
    };
    for (const Case& item : cases) {
        EXPECT_EQ(std::wstring(item.message), SupportExceptionMessage(item.exceptionText));
    }
}

TEST(ProcessNames, CompareIgnoringCase) {
    EXPECT_TRUE(IsSameFileName(L"Pelko.exe", L"pelko.EXE"));
    EXPECT_TRUE(IsSameFileName(L"PELKO.EXE", L"Pelko.exe"));
    EXPECT_FALSE(IsSameFileName(L"Pelko.exe", L"Pelko.exe.bak"));
    EXPECT_FALSE(IsSameFileName(L"Pelko.exe", L"Pelko2.exe"));
    EXPECT_FALSE(IsSameFileName(L"", L"Pelko.exe"));
}

TEST(ProcessNames, FindsTheRunningTestProgramInAnyCase) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    EXPECT_TRUE(IsProcessRunning(name));
    std::wstring upper = name;
    ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    EXPECT_TRUE(IsProcessRunning(upper));
    EXPECT_FALSE(IsProcessRunning(L"no_such_program_quilo.exe"));
}
