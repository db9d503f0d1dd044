#include "app/QuiloMfcApp.h"

#include "app/ElevationRule.h"
#include "util/Paths.h"
#include "util/ScopedHandle.h"

bool QuiloMfcApp::IsRunAsAdmin() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    ScopedSid administrators;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                    0, 0, 0, administrators.Receive())) {
        return false;
    }
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, administrators.get(), &member)) {
        return false;
    }
    return member == TRUE;
}

bool QuiloMfcApp::IsOnSystemDrive() {
    wchar_t systemDirectory[kPathBufferLength] = {};
    ::GetSystemDirectoryW(systemDirectory, kPathBufferLength);
    return IsSameDriveRoot(GetLauncherPath(), systemDirectory);
}

// Stand-ins until the prerequisite checks land.
bool QuiloMfcApp::CheckRequiredFiles() { return true; }
bool QuiloMfcApp::PrepareRuntime() { return true; }
bool QuiloMfcApp::CheckInstallLocation() { return true; }
