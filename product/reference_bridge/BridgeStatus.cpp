#include "BridgeStatus.h"

#include <windows.h>

#include "CsVarnLab.h"
#include "util/TextConvert.h"

StatusAnswer DecideStatus(bool hasOverride, const std::string& overrideValue, bool engineReady,
                          const std::string& engineError) {
    StatusAnswer answer;
    if (hasOverride) {
        if (overrideValue == "1") {
            answer.value = 1;
        } else if (overrideValue != "0") {
            answer.error = "status unavailable: CSVARN_STATUS=" + overrideValue;
        }
        return answer;
    }
    if (engineReady) {
        answer.value = 1;
        return answer;
    }
    answer.error = engineError.empty() ? std::string("data store engine unavailable") : engineError;
    return answer;
}

StatusAnswer QueryBridgeStatus() {
    wchar_t value[64] = {};
    // An empty variable also answers 0 without setting the error code.
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableW(kStatusOverrideVariable, value, 64);
    const bool hasOverride = length > 0 || ::GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    if (hasOverride) {
        const std::wstring text = length < 64 ? std::wstring(value, length) : std::wstring(L"(too long)");
        return DecideStatus(true, WideToNarrow(text, CP_ACP), false, std::string());
    }
    char* engineError = nullptr;
    const bool engineReady = CvlCheckEngine(&engineError) != 0;
    const std::string error = engineError != nullptr ? engineError : "";
    CvlFree(engineError);
    return DecideStatus(false, std::string(), engineReady, error);
}
