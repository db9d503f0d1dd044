#include "util/LengthPrefixedText.h"

#include <cstring>

std::string DecodeLengthPrefixedBytes(const unsigned char* data, std::size_t size) {
    if (!data || size < 4) {
        return std::string();
    }
    const std::uint32_t raw = static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
                              (static_cast<std::uint32_t>(data[2]) << 16) |
                              (static_cast<std::uint32_t>(data[3]) << 24);
    const std::int32_t count = static_cast<std::int32_t>(raw);
    if (count <= 0) {
        return std::string();
    }
    const std::size_t available = size - 4;
    std::size_t length = static_cast<std::size_t>(count) < available ? static_cast<std::size_t>(count) : available;
    const unsigned char* text = data + 4;
    // A zero byte ends the text, as it would in the zero-filled buffer of N bytes.
    const void* zero = std::memchr(text, 0, length);
    if (zero) {
        length = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - text);
    }
    return std::string(reinterpret_cast<const char*>(text), length);
}
