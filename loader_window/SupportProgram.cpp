#include "loader_window/SupportProgram.h"

#include <vector>

#include <windows.h>
#include <tlhelp32.h>

#include "util/Paths.h"
#include "util/ScopedHandle.h"
#include "loader_window/SupportCommand.h"

bool IsSameFileName(const std::wstring& left, const std::wstring& right) {
    return ::CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

bool IsProcessRunning(const std::wstring& fileName) {
    ScopedSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return false;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (IsSameFileName(entry.szExeFile, fileName)) {
            return true;
        }
    }
    return false;
}

bool StartSupportProcess(const std::wstring& programPath, const std::wstring& commandLine) {
    // CreateProcessW may write into the command line, so it gets a writable copy.
    std::vector<wchar_t> writableCommandLine(commandLine.begin(), commandLine.end());
    writableCommandLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION created = {};
    if (!::CreateProcessW(programPath.c_str(), writableCommandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &created)) {
        return false;
    }
    // The support program lives on its own; its handles are not needed.
    ScopedProcessInformation owned;
    owned.TakeFrom(created);
    return true;
}
