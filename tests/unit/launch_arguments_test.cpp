// The runtime executable's argument vector and the quoting of its values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch/RuntimeArguments.h"

namespace {

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

// That the child reads every position back unchanged is checked with the
// system's own parser (command-line argv tests), and the line's shape
// through the real launcher (launch scenarios).
