#include "launch/ConfigFile.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& text) {
    std::string::size_type begin = 0;
    std::string::size_type end = text.size();
    while (begin < end && IsSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && IsSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::string::size_type i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// One line, its line feed already removed.
bool MatchConfigLine(const std::string& rawLine, const std::string& key, std::string& value) {
    const std::string line = Trim(rawLine);
    if (line.empty() || line[0] == ';') {
        return false;
    }
    const std::string::size_type equals = line.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    if (!EqualsIgnoringAsciiCase(Trim(line.substr(0, equals)), key)) {
        return false;
    }
    value = Trim(line.substr(equals + 1));
    return true;
}

}  // namespace

bool FindConfigValue(const ConfigByteSource& read, const std::string& key, std::string& value) {
    char chunk[4096];
    std::string line;
    bool overlong = false;
    for (;;) {
        const std::size_t got = read(chunk, sizeof(chunk));
        if (got == 0) {
            break;
        }
        for (std::size_t i = 0; i < got; ++i) {
            if (chunk[i] != '\n') {
                // The rest of an overlong line is passed over, never held.
                if (!overlong) {
                    line.push_back(chunk[i]);
                    overlong = line.size() > kMaxConfigLineBytes;
                }
                continue;
            }
            if (!overlong && MatchConfigLine(line, key, value)) {
                return true;
            }
            line.clear();
            overlong = false;
        }
    }
    return !overlong && MatchConfigLine(line, key, value);
}
