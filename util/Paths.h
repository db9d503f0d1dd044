#ifndef QUILO_UTIL_PATHS_H
#define QUILO_UTIL_PATHS_H

// Paths, folders and files. Paths are at most 259 characters; one that does
// not fit comes out empty rather than truncated.

#include <string>

constexpr size_t kPathBufferLength = 260;

// The folder of the launcher's own executable, without a trailing backslash
// except at a drive root; the current directory if the module name is unknown.
std::wstring GetInstallDirectory();
// The folder part of a module file name (pure rule behind GetInstallDirectory).
std::wstring StripLastPathElement(const std::wstring& moduleFileName);
// The launcher's own executable path, or empty.
std::wstring GetLauncherPath();

std::wstring GetDesktopFolder();
std::wstring CombinePath(const std::wstring& directory, const std::wstring& name);
bool FileExists(const std::wstring& path);

// Reads the update marker format (see util/LengthPrefixedText.h). On failure
// the result is empty and `error` says why; N <= 0 gives empty without error.
std::wstring ReadLengthPrefixedText(const std::wstring& path, std::wstring& error);

// True when the folder holds no file and no visible sub-folder, or cannot be listed.
bool IsFolderEmpty(const std::wstring& folder);

#endif
