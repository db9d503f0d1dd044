#include "util/Paths.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <knownfolders.h>

#include "util/LengthPrefixedText.h"
#include "util/ScopedHandle.h"
#include "util/TextConvert.h"

std::wstring StripLastPathElement(const std::wstring& moduleFileName) {
    if (moduleFileName.empty() || moduleFileName.size() >= kPathBufferLength) {
        return std::wstring();
    }
    wchar_t buffer[kPathBufferLength] = {};
    moduleFileName.copy(buffer, moduleFileName.size());
    ::PathRemoveFileSpecW(buffer);
    return buffer;
}

std::wstring GetLauncherPath() {
    wchar_t buffer[kPathBufferLength] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, kPathBufferLength);
    if (length == 0 || length >= kPathBufferLength) {
        return std::wstring();
    }
    return std::wstring(buffer, length);
}

std::wstring GetInstallDirectory() {
    const std::wstring launcherPath = GetLauncherPath();
    if (!launcherPath.empty()) {
        return StripLastPathElement(launcherPath);
    }
    wchar_t buffer[kPathBufferLength] = {};
    const DWORD length = ::GetCurrentDirectoryW(kPathBufferLength, buffer);
    if (length == 0 || length >= kPathBufferLength) {
        return std::wstring();
    }
    return std::wstring(buffer, length);
}

std::wstring GetDesktopFolder() {
    wchar_t buffer[kPathBufferLength] = {};
    if (::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_DESKTOPDIRECTORY, FALSE)) {
        return buffer;
    }
    PWSTR knownFolder = nullptr;
    std::wstring desktop;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &knownFolder)) && knownFolder) {
        desktop = knownFolder;
    }
    ::CoTaskMemFree(knownFolder);
    return desktop;
}

std::wstring CombinePath(const std::wstring& directory, const std::wstring& name) {
    if (directory.size() >= kPathBufferLength || name.size() >= kPathBufferLength) {
        return std::wstring();
    }
    wchar_t buffer[kPathBufferLength] = {};
    if (!::PathCombineW(buffer, directory.c_str(), name.c_str())) {
        return std::wstring();
    }
    return buffer;
}

bool FileExists(const std::wstring& path) {
    if (path.empty() || path.size() >= kPathBufferLength) {
        return false;
    }
    wchar_t fullPath[kPathBufferLength] = {};
    const DWORD length = ::GetFullPathNameW(path.c_str(), kPathBufferLength, fullPath, nullptr);
    if (length == 0 || length >= kPathBufferLength) {
        return false;
    }
    // Wildcards name no file.
    if (path.find_first_of(L"*?") != std::wstring::npos) {
        return false;
    }
    return ::GetFileAttributesW(fullPath) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ReadLengthPrefixedText(const std::wstring& path, std::wstring& error) {
    if (path.empty()) {
        error = L"路径为空。";
        return std::wstring();
    }
    if (!FileExists(path)) {
        error = L"文件不存在。";
        return std::wstring();
    }
    try {
        // The wide path is opened as it is: a narrow copy would lose every
        // character outside the ANSI code page, such as a CJK install folder.
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(::_wfopen(path.c_str(), L"rb"), &std::fclose);
        if (!file) {
            error = L"打开文件失败。";
            return std::wstring();
        }
        // Only the bytes the file really holds are read, up to 4 + N: a damaged
        // count must not make the launcher allocate gigabytes.
        std::vector<unsigned char> bytes;
        unsigned char chunk[4096];
        std::size_t wanted = 4;
        bool countKnown = false;
        for (;;) {
            const std::size_t room = wanted - bytes.size();
            const std::size_t got = std::fread(chunk, 1, room < sizeof(chunk) ? room : sizeof(chunk), file.get());
            bytes.insert(bytes.end(), chunk, chunk + got);
            if (got == 0) {
                break;
            }
            if (!countKnown && bytes.size() == 4) {
                countKnown = true;
                const std::int32_t count = static_cast<std::int32_t>(
                    static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                    (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24));
                if (count <= 0) {
                    break;
                }
                wanted = 4 + static_cast<std::size_t>(count);
            }
            if (bytes.size() >= wanted) {
                break;
            }
        }
        return NarrowToWide(DecodeLengthPrefixedBytes(bytes.data(), bytes.size()));
    } catch (const std::exception& exception) {
        error = NarrowToWide(exception.what());
        return std::wstring();
    }
}

bool IsFolderEmpty(const std::wstring& folder) {
    try {
        WIN32_FIND_DATAW entry;
        ScopedFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
        if (!find.IsValid()) {
            return true;
        }
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool isHidden = (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
            if (!isDirectory || !isHidden) {
                return false;
            }
        } while (::FindNextFileW(find.get(), &entry));
        return true;
    } catch (const std::exception& exception) {
        // The same bytes std::cout wrote (it writes through the C runtime's
        // stdout, and std::endl flushes); <iostream> would link in the C++
        // library's stream and locale code.
        std::fputs("Exception: ", stdout);
        std::fputs(exception.what(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        return true;
    } catch (...) {
        std::fputs("Unknown exception occurred.\n", stdout);
        std::fflush(stdout);
        return true;
    }
}
