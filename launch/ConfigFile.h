#ifndef QUILO_LAUNCH_CONFIGFILE_H
#define QUILO_LAUNCH_CONFIGFILE_H

// "AppConf.ini": key=value lines holding the expected digests. The launcher
// only reads it; sections carry no meaning, a key is found wherever it stands.

#include <cstddef>
#include <functional>
#include <istream>
#include <string>

// The longest line the reader holds. The file is read line by line, so memory
// stays bounded whatever its size; a longer line counts as no match (real
// lines are a key and a 32-character digest).
constexpr std::size_t kMaxConfigLineBytes = 64 * 1024;

// Fills `buffer` with up to `capacity` bytes of the file; 0 at its end.
using ConfigByteSource = std::function<std::size_t(char* buffer, std::size_t capacity)>;

// The value of the first line whose key equals `key` ignoring ASCII case, or
// false when no line has it. Each byte is one character; a line ends at a line
// feed, a carriage return before it is dropped; lines are trimmed; empty lines,
// lines starting with ";", lines without "=" and lines longer than
// kMaxConfigLineBytes are skipped. Reading stops at the first match. Portable
// code without Windows headers, so the parser can be fuzzed on the host.
bool FindConfigValue(const ConfigByteSource& read, const std::string& key, std::string& value);

// The same over a stream (the tests and the fuzzer read from one). Defined
// here, inline, so that only its users link the C++ library's stream and
// locale code; the launcher reads through CConfigFile.
inline bool FindConfigValue(std::istream& input, const std::string& key, std::string& value) {
    return FindConfigValue(
        [&input](char* buffer, std::size_t capacity) {
            input.read(buffer, static_cast<std::streamsize>(capacity));
            return static_cast<std::size_t>(input.gcount());
        },
        key, value);
}

class CConfigFile {
public:
    explicit CConfigFile(std::wstring path) : path_(std::move(path)) {}

    // Opens the file anew for every lookup; false when it cannot be opened or
    // has no such key, and `value` is then left as it was.
    bool GetValue(const std::wstring& key, std::wstring& value) const;

private:
    std::wstring path_;
};

#endif
