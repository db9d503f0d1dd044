#ifndef QUILO_UTIL_TEXTCONVERT_H
#define QUILO_UTIL_TEXTCONVERT_H

// The launcher works in UTF-16. Narrow text appears only where it crosses a
// boundary: the bridge library, the update marker file and the text of a
// caught standard exception, all in the thread's ANSI code page.

#include <string>

#include <windows.h>

std::wstring NarrowToWide(const std::string& text, UINT codePage = CP_THREAD_ACP);
std::string WideToNarrow(const std::wstring& text, UINT codePage = CP_THREAD_ACP);

#endif
