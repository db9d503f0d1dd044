#ifndef QUILO_UTIL_FILEDIGEST_H
#define QUILO_UTIL_FILEDIGEST_H

// MD5 digests of whole files, as the configuration file records them, and of
// bytes in memory.

#include <atomic>
#include <cstddef>
#include <string>

#include <windows.h>

#include "util/ScopedHandle.h"

// The 32-character upper-case hexadecimal MD5 digest of the file's bytes, or
// empty on any failure (missing file, a file another process has open for
// writing, no crypto provider). A read that fails part-way ends the data: the
// digest then covers the bytes read until that point.
std::wstring GetFileMd5(const std::wstring& path);

// The file opened as GetFileMd5 opens it: for reading, sharing only reading,
// so that a file another process is still writing cannot be opened.
ScopedFileHandle OpenFileForDigest(const std::wstring& path);

// The digest of what `file` yields from its current position until a read
// gives nothing or fails, read piece by piece; `bytesRead` receives how much
// that was. Empty when hashing failed, or when `stop` was set before a piece
// (the reading then ends there).
std::wstring DigestOpenFile(HANDLE file, unsigned long long& bytesRead,
                            const std::atomic<bool>* stop = nullptr);

// The same digest of bytes in memory; empty when the crypto provider fails.
std::wstring GetBytesMd5(const std::string& bytes);

// Upper-case hexadecimal text of raw digest bytes, high nibble first.
std::wstring FormatDigestHex(const unsigned char* bytes, std::size_t count);

#endif
