#ifndef QUILO_LAUNCH_RUNTIMEARGUMENTS_H
#define QUILO_LAUNCH_RUNTIMEARGUMENTS_H

// The argument vector the runtime executable (the main application) receives:
// 15 positions, each passed as one double-quoted token. The fixed texts below
// are what the runtime executable expects; it refuses a vector it does not
// understand with exit code 2. docs/runtime-interface.md describes the whole
// interface for the runtime's developers.

#include <string>
#include <vector>

constexpr int kRuntimeArgumentCount = 15;

// Joins the values of one position; no spaces around it.
constexpr wchar_t kArgumentSeparator[] = L"\u2261";

// Position 1: who started the runtime; the runtime refuses to run unless the launcher started it.
constexpr wchar_t kRuntimeStartedBy[] = L"TarvexLauncher";
// Position 3: version of this argument protocol.
constexpr wchar_t kRuntimeProtocolVersion[] = L"protocol=3";
// Positions 4, 5, 6: release channel, user-interface language, start mode.
constexpr wchar_t kRuntimeChannel[] = L"channel=stable";
constexpr wchar_t kRuntimeLanguage[] = L"lang=zh-CN";
constexpr wchar_t kRuntimeStartMode[] = L"mode=normal";
// Positions 7 to 12: one setting each, name and value joined by the separator.
struct RuntimeSetting {
    const wchar_t* name;
    const wchar_t* value;
};
constexpr RuntimeSetting kRuntimeSettings[6] = {
    {L"single", L"1"},   // one main window per user session
    {L"restart", L"4"},  // the exit code that asks for a restart
    {L"update", L"6"},   // the exit code that hands over to the updater
    {L"badargs", L"2"},  // the exit code for a vector it does not understand
    {L"store", L"Quilord.da"}, {L"log", L"off"},
};
// Position 14: two texts reserved for the runtime (empty: nothing to pass on),
// then the online flag.
constexpr wchar_t kRuntimeReservedFirst[] = L"";
constexpr wchar_t kRuntimeReservedSecond[] = L"";

struct RuntimeLaunchValues {
    std::wstring livePath;          // position 0, also the program the system starts
    std::wstring installDirectory;  // position 2
    std::wstring updaterFileName;   // position 13
    bool online = false;            // last value of position 14, "1" or "0"
};

// The 15 positions, in order.
std::vector<std::wstring> BuildRuntimeArguments(const RuntimeLaunchValues& values);

// Each position in double quotes, separated by single spaces. Inside a value
// nothing is escaped, except the backslashes that stand right before its
// closing quote: they are doubled, because every standard argument parser
// would otherwise read the last one as escaping the quote (an install
// directory at a drive root, "D:\", would swallow the rest of the line).
std::wstring BuildRuntimeCommandLine(const std::vector<std::wstring>& arguments);

// One position quoted as above.
std::wstring QuoteRuntimeArgument(const std::wstring& value);

#endif
