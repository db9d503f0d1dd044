#include "TestPaths.h"

#include <cstdlib>

std::wstring UnixToWindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return path;
}

namespace {
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

std::wstring BuildDirectory() { return UnixToWindowsPath(Environment("QUILO_BUILD_DIR")); }

std::wstring SourceDirectory() { return UnixToWindowsPath(Environment("QUILO_SOURCE_DIR")); }

std::wstring BuildFile(const std::string& relativePath) {
    return UnixToWindowsPath(Environment("QUILO_BUILD_DIR") + "/" + relativePath);
}

std::wstring LauncherExecutable() { return BuildFile("TarvexLauncher.exe"); }

std::wstring RuntimeStandIn() {
    const std::string other = Environment("QUILO_RUNTIME_STANDIN");
    return other.empty() ? BuildFile("standins/runtime_standin.exe") : UnixToWindowsPath(other);
}

std::wstring PackagedLaunchFolder() {
    const std::string other = Environment("QUILO_LAUNCH_INSTALL");
    return other.empty() ? BuildFile("standins/launch_install") : UnixToWindowsPath(other);
}
