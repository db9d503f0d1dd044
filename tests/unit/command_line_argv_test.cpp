// The host's reading of a command line (fuzz/CommandLineArgv.h), which the
// command-line fuzzer relies on, agrees with the system's CommandLineToArgvW;
// and the runtime's own command line reads back position for position.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "fuzz/CommandLineArgv.h"
#include "launch/RuntimeArguments.h"

namespace {

std::vector<std::wstring> SystemArgv(const std::wstring& line) {
    int count = 0;
    wchar_t** parsed = ::CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> argv;
    if (parsed) {
        argv.assign(parsed, parsed + count);
        ::LocalFree(parsed);
    }
    return argv;
}

std::string Show(const std::vector<std::wstring>& argv) {
    std::string text;
    for (const std::wstring& argument : argv) {
        text += "[";
        for (wchar_t c : argument) {
            text += c < 0x80 ? static_cast<char>(c) : '?';
        }
        text += "]";
    }
    return text;
}

}  // namespace

TEST(CommandLineArgv, AgreesWithTheSystemOnEveryRule) {
    const wchar_t* const cases[] = {
        L"prog",
        L"prog a b",
        L"\"C:\\Program Files\\p.exe\" a",
        L"\"C:\\dir\\\" next",  // the program name takes no escapes
        L"C:\\dir\\p.exe\targ\t\t",
        L"p \"\"",
        L"p \"a b\" c",
        L"p a\\b c\\\\d",
        L"p \"D:\\\\\" x",
        L"p \"D:\\\" x",
        L"p \\\\\\\"a",
        L"p \\\\\\\\\"a b\"",
        L"p a\"b c\"d e",
        L"p \"a\"\"b\"",
        L"p \"a\"\"\"b\"",
        L"p \"\"\"\"\"\" x",
        L"p \"\"\"a",
        L"p \"unterminated \\",
        L"p    ",
        L"   ",
        L"p \"\u4E2D\u6587 \u2261\" \"\u2261\u22611\"",
        L"p a\\\\\\",
        L"\"p\"rest a",
    };
    for (const wchar_t* line : cases) {
        const std::vector<std::wstring> expected = SystemArgv(line);
        EXPECT_EQ(Show(expected), Show(quilo_fuzz::SplitCommandLine(line))) << "line: " << Show({line});
        EXPECT_TRUE(expected == quilo_fuzz::SplitCommandLine(line)) << "line: " << Show({line});
    }
}

TEST(CommandLineArgv, AnEmptyLineGivesTheProgramPassedIn) {
    EXPECT_EQ(std::vector<std::wstring>{L"module"}, quilo_fuzz::SplitCommandLine(L"", L"module"));
}

TEST(CommandLineArgv, TheRuntimeCommandLineReadsBackPositionForPosition) {
    const wchar_t* const directories[] = {L"D:\\",
                                          L"E:\\",
                                          L"D:\\Apps\\Tarvex",
                                          L"D:\\带 空格\\软件",
                                          L"D:\\带 空格\\\\",
                                          L"D:\\a b\\",
                                          L"\\\\server\\share\\"};
    for (const wchar_t* directory : directories) {
        RuntimeLaunchValues values;
        values.installDirectory = directory;
        values.livePath = std::wstring(directory) + L"\\InPrRtm.exe";
        values.updaterFileName = L"AutoUpdate.exe";
        values.online = true;
        const std::vector<std::wstring> arguments = BuildRuntimeArguments(values);
        const std::wstring line = BuildRuntimeCommandLine(arguments);
        EXPECT_TRUE(arguments == SystemArgv(line)) << Show(SystemArgv(line));
        EXPECT_TRUE(arguments == quilo_fuzz::SplitCommandLine(line));
    }
}
