#ifndef QUILO_APP_PREREQUISITERULES_H
#define QUILO_APP_PREREQUISITERULES_H

// The decisions of the prerequisite checks, apart from the system calls that
// feed them.

#include <string>
#include <vector>

#include <windows.h>

// The files start-up requires in the install directory, in the order they are tested.
const std::vector<std::wstring>& RequiredFileNames();

// The first required file that `exists` denies, or empty when all are there.
template <typename ExistsFunction>
std::wstring FirstMissingRequiredFile(const std::wstring& installDirectory, ExistsFunction exists);

// The face of the default GUI font when its logical font could be read, else
// the face start-up began with.
std::wstring ChooseGuiFontFace(const LOGFONTW* defaultGuiFont, const std::wstring& currentFace);

// "orloupd.exe" when something of that name is in the install directory, else
// "AutoUpdate.exe" (whether or not that one exists).
std::wstring ChooseUpdaterFileName(bool defaultUpdaterPresent);

// Only the desktop folder itself is refused, compared exactly as the shell
// spells it; an unknown desktop refuses nothing.
bool IsDesktopFolder(const std::wstring& installDirectory, const std::wstring& desktopFolder);

template <typename ExistsFunction>
std::wstring FirstMissingRequiredFile(const std::wstring& installDirectory, ExistsFunction exists) {
    for (const std::wstring& name : RequiredFileNames()) {
        if (!exists(installDirectory, name)) {
            return name;
        }
    }
    return std::wstring();
}

#endif
