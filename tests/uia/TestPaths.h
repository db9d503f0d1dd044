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
// The main application's stand-in, and the install directory packaged around
// it. Runs of the 32-bit launcher under WoW64 name a 64-bit stand-in of
// another build tree instead (QUILO_RUNTIME_STANDIN and QUILO_LAUNCH_INSTALL,
// Unix paths), as an AnyCPU main application runs as a 64-bit process there.
std::wstring RuntimeStandIn();
std::wstring PackagedLaunchFolder();
// The file name the launcher has in every install directory the tests lay out.
constexpr wchar_t kLauncherFileName[] = L"TarvexLauncher.exe";

#endif
