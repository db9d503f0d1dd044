#include "launch/UpdateMarker.h"

#include <cwctype>

bool MarkerSaysUpdate(const std::wstring& markerText) {
    std::wstring text = markerText.substr(0, markerText.find(L'\0'));
    std::wstring::size_type begin = 0;
    std::wstring::size_type end = text.size();
    while (begin < end && std::iswspace(text[begin])) {
        ++begin;
    }
    while (end > begin && std::iswspace(text[end - 1])) {
        --end;
    }
    return text.compare(begin, end - begin, L"6") == 0;
}
