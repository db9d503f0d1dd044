#ifndef QUILO_APP_ELEVATIONRULE_H
#define QUILO_APP_ELEVATIONRULE_H

// A launcher installed on the system drive needs administrator rights to
// replace files under its install directory; elsewhere it runs as it was started.

#include <cwctype>
#include <string>

inline bool ShouldRelaunchElevated(bool runAsAdmin, bool onSystemDrive) {
    return !runAsAdmin && onSystemDrive;
}

// Whether two paths start with the same three characters (the drive root), ignoring case.
inline bool IsSameDriveRoot(const std::wstring& first, const std::wstring& second) {
    const std::wstring a = first.substr(0, 3);
    const std::wstring b = second.substr(0, 3);
    if (a.size() != b.size()) {
        return false;
    }
    for (std::wstring::size_type i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) {
            return false;
        }
    }
    return true;
}

// Whether the path lies on the drive of the system folder this Windows reports.
bool IsPathOnSystemDrive(const std::wstring& path);

#endif
