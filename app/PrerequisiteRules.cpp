#include "app/PrerequisiteRules.h"

#include "app/StartupState.h"

const std::vector<std::wstring>& RequiredFileNames() {
    static const std::vector<std::wstring> names = {L"Quilord.da", L"CsVarnLab.dll", L"CsVarnApi.dll"};
    return names;
}

std::wstring ChooseGuiFontFace(const LOGFONTW* defaultGuiFont, const std::wstring& currentFace) {
    if (!defaultGuiFont) {
        return currentFace;
    }
    // The face name is a fixed array; a font that fills it without a
    // terminator must not make the read run past it.
    const wchar_t* face = defaultGuiFont->lfFaceName;
    size_t length = 0;
    while (length < LF_FACESIZE && face[length] != L'\0') {
        ++length;
    }
    return std::wstring(face, length);
}

std::wstring ChooseUpdaterFileName(bool defaultUpdaterPresent) {
    return defaultUpdaterPresent ? kDefaultUpdaterFileName : kFallbackUpdaterFileName;
}

bool IsDesktopFolder(const std::wstring& installDirectory, const std::wstring& desktopFolder) {
    return !desktopFolder.empty() && installDirectory == desktopFolder;
}
