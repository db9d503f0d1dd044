#include "util/MessageBox.h"

#include "util/Trace.h"

namespace {

std::wstring AnswerName(int systemAnswer) {
    switch (systemAnswer) {
        case 0:
            return L"not shown";
        case IDOK:
            return L"OK";
        case IDCANCEL:
            return L"Cancel";
        case IDABORT:
            return L"Abort";
        case IDRETRY:
            return L"Retry";
        case IDIGNORE:
            return L"Ignore";
        case IDYES:
            return L"Yes";
        case IDNO:
            return L"No";
        default:
            return std::to_wstring(systemAnswer);
    }
}

}  // namespace

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

std::wstring MessageBoxTraceLine(const std::wstring& title, const std::wstring& text, int systemAnswer) {
    return L"message box: " + title + L" | " + text + L" | answer: " + AnswerName(systemAnswer);
}

int ShowMessageBox(const std::wstring& text, UINT style, std::wstring title, HWND owner) {
    if (title.empty()) {
        title = kDefaultMessageTitle;
    }
    const int systemAnswer = ::MessageBoxW(owner, text.c_str(), title.c_str(), style);
    // Support hears "a message came up"; the trace says which, word for word.
    TraceLineOf([&] { return MessageBoxTraceLine(title, text, systemAnswer); });
    return MapMessageBoxAnswer(systemAnswer);
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
