// "AppConf.ini" may be damaged or written by anything. Properties: a found
// value is trimmed and holds no line feed; a value not found leaves the
// caller's text alone; a line put first with the key always wins; a line put
// last wins unless an earlier line had the key.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "launch/ConfigFile.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool Lookup(const std::string& text, const std::string& key, std::string& value) {
    std::istringstream input(text);
    return FindConfigValue(input, key, value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const bool askForKnownKey = provider.ConsumeBool();
    std::string key = askForKnownKey ? (provider.ConsumeBool() ? "Apexm5" : "Apdbm5")
                                     : provider.ConsumeRandomLengthString(16);
    const std::string text = provider.ConsumeRemainingBytesAsString();

    std::string value = "untouched";
    if (Lookup(text, key, value)) {
        if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) {
            std::abort();
        }
        if (value.find('\n') != std::string::npos || text.find(value) == std::string::npos) {
            std::abort();
        }
    } else if (value != "untouched") {
        std::abort();
    }

    // Keys that cannot stand on a line of their own are out of reach anyway.
    std::string trimmedKey = key;
    while (!trimmedKey.empty() && IsBlank(trimmedKey.back())) {
        trimmedKey.pop_back();
    }
    if (key.empty() || trimmedKey != key || IsBlank(key.front()) || key.front() == ';' ||
        key.find_first_of("=\n\r") != std::string::npos || key.find('\0') != std::string::npos) {
        return 0;
    }
    std::string first;
    if (!Lookup(key + " = first-value\n" + text, key, first) || first != "first-value") {
        std::abort();
    }
    std::string earlier;
    const bool hadKey = Lookup(text, key, earlier);
    std::string last;
    if (!Lookup(text + "\n" + key + "=last-value\n", key, last)) {
        std::abort();
    }
    if (hadKey ? last != earlier : last != "last-value") {
        std::abort();
    }
    return 0;
}
