// The update marker "upd.tmp" is written outside the launcher. Properties: the
// text never reaches beyond the bytes present, holds no zero byte, and is a
// prefix of the data after the count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "util/LengthPrefixedText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = DecodeLengthPrefixedBytes(data, size);
    if (text.empty()) {
        return 0;
    }
    if (size < 4 || text.size() > size - 4) {
        std::abort();
    }
    if (text.find('\0') != std::string::npos) {
        std::abort();
    }
    if (std::memcmp(text.data(), data + 4, text.size()) != 0) {
        std::abort();
    }
    return 0;
}
