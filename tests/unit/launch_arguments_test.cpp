// The runtime executable's argument vector and command line, checked against
// the system's own parser, as the main application will read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "launch/RuntimeArguments.h"

namespace {

std::vector<std::wstring> ParseLikeTheChild(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> parsed(argv, argv + count);
    ::LocalFree(argv);
    return parsed;
}

RuntimeLaunchValues Values(const std::wstring& installDirectory, bool online) {
    RuntimeLaunchValues values;
    values.installDirectory = installDirectory;
    values.livePath = installDirectory + (installDirectory.back() == L'\\' ? L"" : L"\\") + L"InPrRtm.exe";
    values.updaterFileName = L"AutoUpdate.exe";
    values.online = online;
    return values;
}

}  // namespace

// Every position as the runtime reads it, written out: a slip in any shared
// constant or in the order changes a line here.
TEST(RuntimeArguments, FifteenPositionsInTheirOrder) {
    const std::vector<std::wstring> expected = {
        L"D:\\Apps\\Tarvex\\InPrRtm.exe",
        L"TarvexLauncher",
        L"D:\\Apps\\Tarvex",
        L"protocol=3",
        L"channel=stable",
        L"lang=zh-CN",
        L"mode=normal",
        L"single\u22611",
        L"restart\u22614",
        L"update\u22616",
        L"badargs\u22612",
        L"store\u2261Quilord.da",
        L"log\u2261off",
        L"AutoUpdate.exe",
        L"\u2261\u22611",
    };
    const std::vector<std::wstring> arguments = BuildRuntimeArguments(Values(L"D:\\Apps\\Tarvex", true));
    ASSERT_EQ(expected.size(), arguments.size());
    for (std::size_t position = 0; position < expected.size(); ++position) {
        EXPECT_EQ(expected[position], arguments[position]) << "position " << position;
    }
    EXPECT_EQ(L"\u2261\u22610", BuildRuntimeArguments(Values(L"D:\\Apps", false))[14]);
}

TEST(RuntimeArguments, QuotesEachValueAndDoublesOnlyBackslashesBeforeTheClosingQuote) {
    struct Case {
        std::wstring value;
        std::wstring quoted;
    } cases[] = {
        {L"plain", L"\"plain\""},
        {L"D:\\", L"\"D:\\\\\""},
        {L"D:\\a\\\\", L"\"D:\\a\\\\\\\\\""},
        {L"D:\\a\\b", L"\"D:\\a\\b\""},
        {L"with space", L"\"with space\""},
        {L"", L"\"\""},
        {L"\u2261\u22610", L"\"\u2261\u22610\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.quoted, QuoteRuntimeArgument(c.value));
    }
}

TEST(RuntimeArguments, TheChildParsesBackEveryPositionUnchanged) {
    for (const std::wstring directory : {L"D:\\Apps\\Tarvex", L"E:\\", L"D:\\带 空格\\软件", L"D:\\a b\\"}) {
        const std::vector<std::wstring> arguments = BuildRuntimeArguments(Values(directory, true));
        const std::wstring commandLine = BuildRuntimeCommandLine(arguments);
        EXPECT_EQ(arguments, ParseLikeTheChild(commandLine)) << commandLine.size();
    }
}

TEST(RuntimeArguments, FifteenQuotedTokensSeparatedBySingleSpaces) {
    const std::wstring commandLine =
        BuildRuntimeCommandLine(BuildRuntimeArguments(Values(L"D:\\Apps", false)));
    EXPECT_EQ(L'"', commandLine.front());
    EXPECT_EQ(L'"', commandLine.back());
    size_t separators = 0;
    for (size_t at = commandLine.find(L"\" \""); at != std::wstring::npos;
         at = commandLine.find(L"\" \"", at + 1)) {
        ++separators;
    }
    EXPECT_EQ(14u, separators);
    EXPECT_EQ(30, std::count(commandLine.begin(), commandLine.end(), L'"'));
}
