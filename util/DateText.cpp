// Stand-in until the date text lands.
#include "util/DateText.h"

std::wstring FormatDate(const DateValue&, const wchar_t*) { return std::wstring(); }
