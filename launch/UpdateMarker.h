#ifndef QUILO_LAUNCH_UPDATEMARKER_H
#define QUILO_LAUNCH_UPDATEMARKER_H

#include <string>

// Whether the marker file's text (already decoded from the ANSI code page)
// says "6": trimmed of white space at both ends and compared exactly, up to
// its first zero character.
bool MarkerSaysUpdate(const std::wstring& markerText);

#endif
