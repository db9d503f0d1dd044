#ifndef QUILO_UTIL_TRACERECORD_H
#define QUILO_UTIL_TRACERECORD_H

// The support trace's record as text, and the rules that keep the log file
// bounded. Pure: no file is touched here, so tests call these directly.

#include <cstdint>
#include <string>

#include <windows.h>

// The log file passes this size only by the one record that starts a new file.
constexpr std::uint64_t kTraceRotationBytes = 256 * 1024;

constexpr wchar_t kTraceFileName[] = L"launcher.log";
constexpr wchar_t kOlderTraceFileName[] = L"launcher.old.log";

// "==== 2026-12-10 23:20:49.123 start pid 1234 ====": where a record begins.
std::wstring FormatTraceHeader(const SYSTEMTIME& localTime, DWORD processId);

// A line break inside a traced text (a message box's text, a bridge's error
// text) would split one line of the record in two; it is written as "\n" (and
// "\r") instead, so that every line of a record is one fact.
std::wstring EscapeTraceLine(const std::wstring& line);

// Every occurrence of a secret the launcher knows (the data store's password),
// in any letter case, replaced by "***". A bridge may echo the password in its
// error text, and that text is traced as it came.
std::wstring RemoveTraceSecrets(const std::wstring& text);

// The record as it goes into the file: UTF-8, the header and each line ended
// by CRLF, then a blank line, with the secrets removed whatever line holds
// them. `lines` already hold their CRLF ends.
std::string EncodeTraceRecord(const std::wstring& header, const std::wstring& lines);

// True when appending the record would take a non-empty file past the limit:
// the file is then renamed to the older file first.
bool ShouldRotateTrace(std::uint64_t currentFileBytes, std::uint64_t recordBytes);

#endif
