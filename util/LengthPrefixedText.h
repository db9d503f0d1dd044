#ifndef QUILO_UTIL_LENGTHPREFIXEDTEXT_H
#define QUILO_UTIL_LENGTHPREFIXEDTEXT_H

// The length-prefixed text format of the update marker: a signed 32-bit
// little-endian byte count N, then N bytes of narrow text. Portable code (no
// Windows headers), so that it can be fuzzed on the host.

#include <cstddef>
#include <cstdint>
#include <string>

// The text bytes of a length-prefixed file, read as a zero-terminated text:
// empty when the file is shorter than the count field or N <= 0; when fewer
// than N bytes follow, the text ends where the data ends (the missing bytes
// count as zeros). Never allocates more than the bytes actually present.
std::string DecodeLengthPrefixedBytes(const unsigned char* data, std::size_t size);

#endif
