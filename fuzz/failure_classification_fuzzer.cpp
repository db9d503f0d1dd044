// The bridge's error text is whatever the bridge and its data store engine
// say. Properties: a failed rebuild always gets exactly one of the five
// messages; the framework test is asked at most once; the CJK test agrees
// with a plain scan of the path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "launch/FailureClassification.h"

namespace {

std::wstring TakeWide(FuzzedDataProvider& provider, size_t maxBytes) {
    const std::string bytes = provider.ConsumeRandomLengthString(maxBytes);
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned char high = static_cast<unsigned char>(bytes[i]);
        const unsigned char low = static_cast<unsigned char>(bytes[i + 1]);
        // Mostly ASCII (so that markers can be found), sometimes any UTF-16 unit.
        text.push_back(high < 0xC0 ? static_cast<wchar_t>(low & 0x7F)
                                   : static_cast<wchar_t>(((high & 0x3F) << 10 | low) + 0x4000));
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const bool zhCn = provider.ConsumeBool();
    const bool dotNet = provider.ConsumeBool();
    const std::wstring path = TakeWide(provider, 200);
    const std::wstring error = TakeWide(provider, 400);

    bool scanned = false;
    for (wchar_t c : path) {
        scanned = scanned || (c >= 0x4E00 && c <= 0x9FFF);
    }
    const bool hasCjk = PathHasCjk(path);
    if (hasCjk != scanned) {
        std::abort();
    }

    int asked = 0;
    const std::wstring message = ChooseRegenerationMessage(error, hasCjk, zhCn, [&] {
        ++asked;
        return dotNet;
    });
    if (asked > 1) {
        std::abort();
    }
    int matches = 0;
    for (const wchar_t* fixed : {kPathMessage, kStoreRetryMessage, kGeneralRetryMessage, kFrameworkMessage}) {
        matches += message == fixed;
    }
    const bool bridgeText = !error.empty() && message == BridgeTextMessage(error);
    // (The bridge's words framed may spell a fixed message; it is still one message.)
    if (matches != 1 && !bridgeText) {
        std::abort();
    }
    // The bridge's own words are shown only when they carry no marker.
    if (matches == 0 && HasRegenerationMarker(error)) {
        std::abort();
    }
    if (message == kPathMessage && (zhCn || !hasCjk)) {
        std::abort();
    }
    return 0;
}
