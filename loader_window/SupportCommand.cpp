#include "loader_window/SupportCommand.h"


namespace {
// The same names the launch's failure reduction looks for.
constexpr wchar_t kRuntimeExecutableName[] = L"InPrRtm.exe";
constexpr wchar_t kRuntimeCacheName[] = L"CacheDat";
}  // namespace

std::wstring SupportProgramFileName() {
    return std::wstring(kSupportProgramBaseName) + kSupportProgramExtension;
}

std::wstring BuildSupportArgument(const std::wstring& computerId, const std::wstring& launcherVersion,
                                  const std::wstring& dateText) {
    return computerId + kSupportProductTag + launcherVersion + L"_" + dateText + kSupportPageTag;
}

std::wstring BuildSupportCommandLine(const std::wstring& programPath, const std::wstring& serverAddress,
                                     const std::wstring& serverPort, const std::wstring& supportArgument,
                                     const std::wstring& productName) {
    return programPath + L" " + serverAddress + L" " + serverPort + L" " + supportArgument + L" " +
           productName;
}

std::wstring SupportExceptionMessage(const std::wstring& exceptionText) {
    const bool namesRuntime = exceptionText.find(kRuntimeExecutableName) != std::wstring::npos ||
                              exceptionText.find(kRuntimeCacheName) != std::wstring::npos;
    return std::wstring(kSupportFailurePrefix) + (namesRuntime ? kSupportSystemErrorReason : exceptionText);
}
