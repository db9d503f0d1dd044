#include "launch/FailureClassification.h"

namespace {

constexpr wchar_t kSupportFooter[] = L"\n" QUILO_SUPPORT_CONTACT;

// Texts whose presence in the bridge's error means the data store was not
// readable as expected: the store engine's own words, the store password and
// the two names the rebuild asks for.
const wchar_t* const kRegenerationMarkers[] = {
    L"no such", L"unrecognized token", L"sql", L"73kqd_415209", L"DatFileInfo", L"FileDat",
};

}  // namespace

std::wstring BridgeTextMessage(const std::wstring& bridgeError) {
    return L"软件加载失败！\n" + bridgeError + kSupportFooter;
}

bool HasRegenerationMarker(const std::wstring& bridgeError) {
    for (const wchar_t* marker : kRegenerationMarkers) {
        if (bridgeError.find(marker) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

bool PathHasCjk(const std::wstring& path) {
    // A plain scan of the UTF-16 units (a surrogate is never in the range);
    // <regex> would link in the C++ library's locale and stream code.
    for (const wchar_t unit : path) {
        if (unit >= kFirstCjkIdeograph && unit <= kLastCjkIdeograph) {
            return true;
        }
    }
    return false;
}

std::wstring ChooseRegenerationMessage(const std::wstring& bridgeError, bool pathHasCjk,
                                       bool systemLocaleZhCn,
                                       const std::function<bool()>& isDotNetReleaseSufficient) {
    if (HasRegenerationMarker(bridgeError)) {
        // The bridge receives paths in the ANSI code page: outside a Chinese
        // (PRC) system an ideograph in the install path cannot reach it.
        if (!systemLocaleZhCn && pathHasCjk) {
            return kPathMessage;
        }
        return isDotNetReleaseSufficient() ? kStoreRetryMessage : kFrameworkMessage;
    }
    if (!bridgeError.empty()) {
        return BridgeTextMessage(bridgeError);
    }
    return isDotNetReleaseSufficient() ? kGeneralRetryMessage : kFrameworkMessage;
}
