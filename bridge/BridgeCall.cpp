#include "bridge/BridgeCall.h"

#include <cstdlib>
#include <memory>

#include "util/TextConvert.h"

namespace {
struct FreeDeleter {
    void operator()(char* text) const { std::free(text); }
};
}  // namespace

std::wstring TakeBridgeText(char* text) {
    // Owned first, so the buffer is released even if the conversion throws.
    std::unique_ptr<char, FreeDeleter> owned(text);
    if (!owned) {
        return std::wstring();
    }
    return NarrowToWide(owned.get());
}

void ReleaseBridgeText(char* text) {
    std::free(text);
}
