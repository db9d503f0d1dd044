#ifndef QUILO_LAUNCH_DIGESTTEXT_H
#define QUILO_LAUNCH_DIGESTTEXT_H

// Digest-text form: the 32 upper-case hexadecimal digits of an MD5 digest, where
// any digit may be written as its substitute character instead. "AppConf.ini"
// stores its digests this way; the launcher decodes them and the packager
// writes them, both through the one table below, so the two can never drift.
// Portable code (no Windows headers): the packager builds it for the host.

#include <string>

struct DigestSubstitute {
    char substitute;
    char digit;
};

// One substitute per digit; none is a hexadecimal digit of either case, nor a
// character the configuration reader treats specially ("=", ";", white space).
constexpr DigestSubstitute kDigestSubstitutes[16] = {
    {'#', '0'}, {'k', '1'}, {'%', '2'}, {'q', '3'}, {'@', '4'}, {'w', '5'},
    {'!', '6'}, {'z', '7'}, {'*', '8'}, {'r', '9'}, {'~', 'A'}, {'m', 'B'},
    {'$', 'C'}, {'x', 'D'}, {'?', 'E'}, {'u', 'F'},
};

// Maps every substitute to its digit and leaves every other character as it is.
std::wstring DecodeDigestText(const std::wstring& text);
std::string DecodeDigestText(const std::string& text);

// Writes the digits whose position bit is set in `substituteMask` (bit i for
// position i modulo 32) as their substitutes; the others stay digits.
std::string EncodeDigestText(const std::string& upperHexDigest, unsigned long substituteMask);

#endif
