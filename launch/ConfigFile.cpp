#include "launch/ConfigFile.h"

#include <cstdio>
#include <memory>

namespace {

// The file is 8-bit text with one character per byte; the keys and values in
// use are ASCII, so byte-wise widening keeps them exactly.
std::string BytesOf(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
    }
    return bytes;
}

std::wstring CharactersOf(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

bool CConfigFile::GetValue(const std::wstring& key, std::wstring& value) const {
    // MinGW's std::ifstream takes only narrow names, which cannot carry every
    // install path; the C runtime's wide open can.
    std::unique_ptr<FILE, int (*)(FILE*)> file(::_wfopen(path_.c_str(), L"rb"), &std::fclose);
    if (!file) {
        return false;
    }
    std::string found;
    const bool foundKey = FindConfigValue(
        [&file](char* buffer, std::size_t capacity) { return std::fread(buffer, 1, capacity, file.get()); },
        BytesOf(key), found);
    if (!foundKey) {
        return false;
    }
    value = CharactersOf(found);
    return true;
}
