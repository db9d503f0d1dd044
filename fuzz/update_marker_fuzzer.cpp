// The update marker "upd.tmp" as the launcher tests it: the length-prefixed
// reader, then the "says 6" rule. Properties: the marker says "6" exactly when
// its text, up to the first zero, is a 6 with only white space around it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "launch/UpdateMarker.h"
#include "util/LengthPrefixedText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = DecodeLengthPrefixedBytes(data, size);
    // Each byte as one character: the host stands in for a single-byte ANSI code page.
    std::wstring text;
    for (char c : bytes) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    const bool says = MarkerSaysUpdate(text);

    int sixes = 0;
    bool onlySpaceBesides = true;
    for (wchar_t c : text) {
        if (c == L'6') {
            ++sixes;
        } else if (!std::iswspace(c)) {
            onlySpaceBesides = false;
        }
    }
    const bool expected = sixes == 1 && onlySpaceBesides;
    if (says != expected) {
        std::abort();
    }
    // Whatever follows a zero character never changes the answer.
    if (MarkerSaysUpdate(text + std::wstring(1, L'\0') + L"6") != says) {
        std::abort();
    }
    return 0;
}
