// The runtime executable's command line, read back the way the runtime's own
// start-up code reads it (fuzz/CommandLineArgv.h). Property: for values
// without '"' and zero characters, the argv the runtime sees is exactly the 15
// positions the launcher put in, whatever spaces, tabs, backslashes and
// non-ASCII characters they hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "CommandLineArgv.h"
#include "launch/RuntimeArguments.h"

namespace {

// Bytes as characters a path or file name may hold; a few bytes stand for
// ideographs, the separator and the characters the quoting rules care about.
std::wstring TakeValue(FuzzedDataProvider& provider) {
    const std::string bytes = provider.ConsumeRandomLengthString(80);
    std::wstring value;
    for (unsigned char b : bytes) {
        if (b == '"' || b == 0) {
            continue;
        }
        if (b >= 0xF0) {
            value.push_back(static_cast<wchar_t>(0x4E00 + (b - 0xF0) * 97));
        } else if (b == 0xEF) {
            value.push_back(L'\u2261');
        } else if (b >= 0x80) {
            value.push_back(b % 3 == 0 ? L'\\' : (b % 3 == 1 ? L' ' : L'\t'));
        } else {
            value.push_back(static_cast<wchar_t>(b));
        }
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    RuntimeLaunchValues values;
    values.online = provider.ConsumeBool();
    values.installDirectory = TakeValue(provider);
    values.updaterFileName = TakeValue(provider);
    // The live path is always a file name in the install directory.
    values.livePath = values.installDirectory;
    if (values.livePath.empty() || values.livePath.back() != L'\\') {
        values.livePath += L'\\';
    }
    values.livePath += L"InPrRtm.exe";

    const std::vector<std::wstring> arguments = BuildRuntimeArguments(values);
    if (arguments.size() != static_cast<size_t>(kRuntimeArgumentCount)) {
        std::abort();
    }
    const std::wstring line = BuildRuntimeCommandLine(arguments);
    if (quilo_fuzz::SplitCommandLine(line) != arguments) {
        std::abort();
    }

    // Any single value, quoted on its own after a program name, comes back unchanged.
    const std::wstring loose = TakeValue(provider);
    const std::vector<std::wstring> parsed =
        quilo_fuzz::SplitCommandLine(L"\"p\" " + QuoteRuntimeArgument(loose));
    if (parsed.size() != 2 || parsed[1] != loose) {
        std::abort();
    }
    return 0;
}
