#include "launch/RuntimeArguments.h"

namespace {

std::wstring Joined(const std::wstring& first, const std::wstring& second) {
    return first + kArgumentSeparator + second;
}

}  // namespace

std::vector<std::wstring> BuildRuntimeArguments(const RuntimeLaunchValues& values) {
    std::vector<std::wstring> arguments;
    arguments.reserve(kRuntimeArgumentCount);
    arguments.push_back(values.livePath);
    arguments.push_back(kRuntimeStartedBy);
    arguments.push_back(values.installDirectory);
    arguments.push_back(kRuntimeProtocolVersion);
    arguments.push_back(kRuntimeChannel);
    arguments.push_back(kRuntimeLanguage);
    arguments.push_back(kRuntimeStartMode);
    for (const RuntimeSetting& setting : kRuntimeSettings) {
        arguments.push_back(Joined(setting.name, setting.value));
    }
    arguments.push_back(values.updaterFileName);
    arguments.push_back(
        Joined(Joined(kRuntimeReservedFirst, kRuntimeReservedSecond), values.online ? L"1" : L"0"));
    return arguments;
}

std::wstring QuoteRuntimeArgument(const std::wstring& value) {
    std::wstring::size_type trailing = 0;
    while (trailing < value.size() && value[value.size() - 1 - trailing] == L'\\') {
        ++trailing;
    }
    return L"\"" + value + std::wstring(trailing, L'\\') + L"\"";
}

std::wstring BuildRuntimeCommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring commandLine;
    for (std::vector<std::wstring>::size_type i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            commandLine += L' ';
        }
        commandLine += QuoteRuntimeArgument(arguments[i]);
    }
    return commandLine;
}
