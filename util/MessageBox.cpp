#include "util/MessageBox.h"

int MapMessageBoxAnswer(int systemAnswer) {
    switch (systemAnswer) {
        case IDOK:
        case IDABORT:
        case IDRETRY:
        case IDIGNORE:
        case IDYES:
        case IDNO:
            return systemAnswer;
        default:
            return IDCANCEL;
    }
}

int ShowMessageBox(const std::wstring& text, UINT style, std::wstring title, HWND owner) {
    if (title.empty()) {
        title = kDefaultMessageTitle;
    }
    return MapMessageBoxAnswer(::MessageBoxW(owner, text.c_str(), title.c_str(), style));
}

int ShowWarning(const std::wstring& text, std::wstring title, HWND owner) {
    return ShowMessageBox(text, MB_OK | MB_ICONWARNING, std::move(title), owner);
}

int AskOkCancel(const std::wstring& text, std::wstring title, HWND owner) {
    return ShowMessageBox(text, MB_OKCANCEL | MB_ICONWARNING, std::move(title), owner);
}

int AskYesNo(const std::wstring& text, std::wstring title, HWND owner) {
    return ShowMessageBox(text, MB_YESNO | MB_ICONWARNING, std::move(title), owner);
}
