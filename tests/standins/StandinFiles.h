#ifndef QUILO_TESTS_STANDINS_STANDINFILES_H
#define QUILO_TESTS_STANDINS_STANDINFILES_H

// Small file helpers the stand-in programs share: they talk to the scenarios
// only through UTF-8 files next to their own executable.

#include <windows.h>

#include <cstdio>
#include <string>

inline std::wstring OwnFolder() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

inline std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                             0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length, nullptr,
                          nullptr);
    return utf8;
}

inline bool SiblingExists(const wchar_t* name) {
    return ::GetFileAttributesW((OwnFolder() + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string ReadSibling(const wchar_t* name) {
    std::string bytes;
    FILE* file = ::_wfopen((OwnFolder() + name).c_str(), L"rb");
    if (!file) {
        return bytes;
    }
    char chunk[1024];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        bytes.append(chunk, got);
    }
    std::fclose(file);
    return bytes;
}

// Written under a temporary name and renamed, so a scenario never reads half a file.
inline void WriteSibling(const wchar_t* name, const std::string& bytes) {
    const std::wstring target = OwnFolder() + name;
    const std::wstring temporary = target + L".part";
    FILE* file = ::_wfopen(temporary.c_str(), L"wb");
    if (!file) {
        return;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

inline void AppendSibling(const wchar_t* name, const std::string& bytes) {
    FILE* file = ::_wfopen((OwnFolder() + name).c_str(), L"ab");
    if (!file) {
        return;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

#endif
