#ifndef QUILO_TESTS_UIA_SUPPORTTRACE_H
#define QUILO_TESTS_UIA_SUPPORTTRACE_H

// The launcher's support trace and crash dumps as support finds them, in
// the Wine prefix user's %LOCALAPPDATA%\Tarvex, read back without the
// launcher's own code.

#include <string>
#include <vector>

#include <windows.h>

// %LOCALAPPDATA%\Tarvex of the user the tests (and the launchers) run as.
std::wstring SupportTraceFolder();
// Deletes the folder and everything in it (a plain file of that name too).
void ClearSupportTraceFolder();

struct TraceRecordLines {
    DWORD pid = 0;
    std::string header;
    std::vector<std::string> lines;  // UTF-8, without their CRLF
    // True when the record holds exactly this line.
    bool Has(const std::string& line) const;
    // The lines that start with `prefix`.
    std::vector<std::string> StartingWith(const std::string& prefix) const;
};

// Parses "launcher.log": records of a header line ("==== YYYY-MM-DD
// HH:MM:SS.mmm start pid N ===="), the three system-fact lines, more lines,
// and one blank line. Anything else (a line outside a record, a header in
// the middle of a record, a missing CRLF) is described in `malformed`.
std::vector<TraceRecordLines> ReadSupportTrace(std::string* malformed);

// The record the launcher of that process id left (a well-formed trace
// expected); fails the test when there is none.
TraceRecordLines TraceRecordOf(DWORD processId);

// The record's line for a box shown to the user, built here independently:
// "message box: TITLE | TEXT | answer: ANSWER", line breaks written as \n.
std::string ExpectedMessageBoxLine(const std::wstring& title, const std::wstring& text, const char* answer);

#endif
