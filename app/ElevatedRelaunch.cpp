#include "app/ElevatedRelaunch.h"

SHELLEXECUTEINFOW ElevatedRelaunchRequest(const std::wstring& launcherPath) {
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.lpVerb = L"runas";
    request.lpFile = launcherPath.c_str();
    request.lpParameters = nullptr;
    request.lpDirectory = nullptr;
    request.nShow = SW_SHOWNORMAL;
    return request;
}
