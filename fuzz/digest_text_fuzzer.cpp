// The digest-text decoder reads "AppConf.ini" values, which anything may have
// written. Properties: decoding keeps the length and every character that is
// not a substitute; encoding a digest and decoding it gives the digest back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "launch/DigestText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = DecodeDigestText(text);
    if (decoded.size() != text.size()) {
        std::abort();
    }
    const std::wstring wide(text.begin(), text.end());
    if (DecodeDigestText(wide).size() != wide.size()) {
        std::abort();
    }

    // Round trip: the input bytes, read as a digest and a substitution mask.
    static const char kHex[] = "0123456789ABCDEF";
    std::string digest;
    unsigned long mask = 0;
    for (size_t i = 0; i < size && digest.size() < 32; ++i) {
        digest += kHex[data[i] & 0x0F];
        mask = (mask << 1) ^ data[i];
    }
    if (DecodeDigestText(EncodeDigestText(digest, mask)) != digest) {
        std::abort();
    }
    return 0;
}
