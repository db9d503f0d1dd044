#ifndef QUILO_TESTS_UIA_TESTPATHS_H
#define QUILO_TESTS_UIA_TESTPATHS_H

// Where the tests find the built programs. ctest passes the Unix build tree in
// QUILO_BUILD_DIR; under Wine the Unix file system is drive Z:.

#include <string>

std::wstring UnixToWindowsPath(const std::string& unixPath);
std::wstring BuildDirectory();
std::wstring SourceDirectory();
// A file of the build tree, given relative to it with forward slashes.
std::wstring BuildFile(const std::string& relativePath);
std::wstring LauncherExecutable();
// The file name the launcher has in every install directory the tests lay out.
constexpr wchar_t kLauncherFileName[] = L"TarvexLauncher.exe";

#endif
