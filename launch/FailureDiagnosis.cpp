#include "launch/FailureDiagnosis.h"

#include <windows.h>

#include "util/DotNetRegistry.h"
#include "util/MessageBox.h"

namespace {

constexpr LCID kChineseSimplifiedPrc = 0x0804;

}  // namespace

bool IsSystemLocaleZhCn() {
    return ::GetSystemDefaultLCID() == kChineseSimplifiedPrc;
}

void DiagnoseRegenerationFailure(const std::wstring& bridgeError, const std::wstring& storePath) {
    bool hasCjk = false;
    bool zhCn = false;
    if (HasRegenerationMarker(bridgeError)) {
        hasCjk = PathHasCjk(storePath);
        zhCn = IsSystemLocaleZhCn();
    }
    ShowWarning(
        ChooseRegenerationMessage(bridgeError, hasCjk, zhCn, [] { return IsDotNetReleaseSufficient(); }),
        kLoadingFailureTitle);
}
