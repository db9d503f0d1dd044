#include "launch/DigestText.h"

namespace {

template <typename Char>
Char DecodeDigestCharacter(Char c) {
    for (const DigestSubstitute& entry : kDigestSubstitutes) {
        if (c == static_cast<Char>(static_cast<unsigned char>(entry.substitute))) {
            return static_cast<Char>(entry.digit);
        }
    }
    return c;
}

template <typename String>
String DecodeDigestString(const String& text) {
    String decoded = text;
    for (auto& c : decoded) {
        c = DecodeDigestCharacter(c);
    }
    return decoded;
}

}  // namespace

std::wstring DecodeDigestText(const std::wstring& text) { return DecodeDigestString(text); }

std::string DecodeDigestText(const std::string& text) { return DecodeDigestString(text); }

std::string EncodeDigestText(const std::string& upperHexDigest, unsigned long substituteMask) {
    std::string encoded = upperHexDigest;
    for (std::string::size_type i = 0; i < encoded.size(); ++i) {
        if ((substituteMask >> (i % 32)) & 1UL) {
            for (const DigestSubstitute& entry : kDigestSubstitutes) {
                if (encoded[i] == entry.digit) {
                    encoded[i] = entry.substitute;
                    break;
                }
            }
        }
    }
    return encoded;
}
