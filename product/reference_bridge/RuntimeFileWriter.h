#ifndef QUILO_PRODUCT_REFERENCE_BRIDGE_RUNTIMEFILEWRITER_H
#define QUILO_PRODUCT_REFERENCE_BRIDGE_RUNTIMEFILEWRITER_H

// Writes the rebuilt runtime executable into its folder. The launcher starts
// whatever file it finds under the target name, so that file must appear
// whole or not at all: the bytes go to a temporary file beside it, which then
// replaces the target in one rename.

#include <string>

// A bare file name: not empty, not "." or "..", no folder separators, drive or
// stream colon, or characters Windows refuses in names. Anything else could
// write outside the target folder.
bool IsPlainFileName(const std::wstring& name);

// The temporary name used beside `fileName` while it is written.
std::wstring TemporarySiblingName(const std::wstring& fileName, unsigned long processId);

// Writes `size` bytes as `directory`\`fileName`, replacing an existing file.
// False with an explanation in `error` (narrow, ANSI code page) on failure;
// then the target is unchanged and no temporary file is left.
bool WriteFileReplacing(const std::wstring& directory, const std::wstring& fileName,
                        const unsigned char* data, size_t size, std::string& error);

#endif
