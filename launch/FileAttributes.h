#ifndef QUILO_LAUNCH_FILEATTRIBUTES_H
#define QUILO_LAUNCH_FILEATTRIBUTES_H

#include <string>

// True only when the attributes can be read and include read-only.
bool IsFileReadOnly(const std::wstring& path);

// Clears the read-only attribute and nothing else. True when the file is (now)
// writable; false when its attributes cannot be read or changed.
bool MakeFileWritable(const std::wstring& path);

#endif
