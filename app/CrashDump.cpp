#include "app/CrashDump.h"

#include <dbghelp.h>

#include <cwchar>
#include <vector>

#include "app/CrashDumpRules.h"
#include "util/Paths.h"
#include "util/ScopedHandle.h"
#include "util/TraceFile.h"

namespace {

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);

// The dump library comes from the system folder by its full path, never by
// its bare name: a planted copy beside the launcher must not be loaded. It is
// loaded at run time so that the launcher imports it nowhere.
ScopedModule LoadSystemDbgHelp() {
    wchar_t systemFolder[kPathBufferLength] = {};
    const UINT length = ::GetSystemDirectoryW(systemFolder, kPathBufferLength);
    if (length == 0 || length >= kPathBufferLength) {
        return ScopedModule();
    }
    const std::wstring path = CombinePath(systemFolder, L"dbghelp.dll");
    return ScopedModule(path.empty() ? nullptr : ::LoadLibraryExW(path.c_str(), nullptr, 0));
}

void DeleteOlderCrashDumps(const std::wstring& folder) {
    std::vector<CrashDumpFile> dumps;
    WIN32_FIND_DATAW found = {};
    ScopedFindHandle search(::FindFirstFileW(CombinePath(folder, L"launcher-*.dmp").c_str(), &found));
    if (!search) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsCrashDumpFileName(found.cFileName)) {
            dumps.push_back(
                {found.cFileName, (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                      found.ftLastWriteTime.dwLowDateTime});
        }
    } while (::FindNextFileW(search.get(), &found));
    for (const std::wstring& name : CrashDumpsToDelete(dumps)) {
        ::DeleteFileW(CombinePath(folder, name).c_str());
    }
}

// What the crash path needs, found before any fault: the folder in a buffer of
// its own, the dump library held loaded for the rest of the process.
struct PreparedDump {
    wchar_t folder[kPathBufferLength] = {};
    ScopedModule dbgHelp;
    MiniDumpWriteDumpFunction writeDump = nullptr;
    DWORD error = ERROR_SUCCESS;
};

PreparedDump& ThePreparedDump() {
    static PreparedDump prepared;
    return prepared;
}

}  // namespace

bool PrepareCrashDump() {
    PreparedDump& prepared = ThePreparedDump();
    if (prepared.writeDump) {
        return true;
    }
    const std::wstring folder = GetTraceFolder();
    if (folder.empty() || folder.size() >= kPathBufferLength) {
        prepared.error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    prepared.dbgHelp = LoadSystemDbgHelp();
    prepared.writeDump = prepared.dbgHelp
                             ? reinterpret_cast<MiniDumpWriteDumpFunction>(reinterpret_cast<void*>(
                                   ::GetProcAddress(prepared.dbgHelp.get(), "MiniDumpWriteDump")))
                             : nullptr;
    if (!prepared.writeDump) {
        prepared.error = ::GetLastError();
        return false;
    }
    folder.copy(prepared.folder, folder.size());
    prepared.folder[folder.size()] = L'\0';
    return true;
}

CrashDumpResult WriteCrashDump(DWORD faultingThreadId, EXCEPTION_POINTERS* pointers) {
    CrashDumpResult result;
    const PreparedDump& prepared = ThePreparedDump();
    if (!prepared.writeDump && !PrepareCrashDump()) {
        result.error = prepared.error;
        return result;
    }
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    wchar_t name[kCrashDumpFileNameLength] = {};
    FormatCrashDumpFileName(now, ::GetCurrentProcessId(), name);
    wchar_t path[kPathBufferLength + kCrashDumpFileNameLength] = {};
    std::swprintf(path, sizeof(path) / sizeof(path[0]), L"%ls\\%ls", prepared.folder, name);
    ScopedFileHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        result.error = ::GetLastError();
        return result;
    }
    MINIDUMP_EXCEPTION_INFORMATION exception = {};
    exception.ThreadId = faultingThreadId;
    exception.ExceptionPointers = pointers;
    exception.ClientPointers = FALSE;
    const BOOL written =
        prepared.writeDump(::GetCurrentProcess(), ::GetCurrentProcessId(), file.get(), MiniDumpNormal,
                           pointers ? &exception : nullptr, nullptr, nullptr);
    if (!written) {
        result.error = ::GetLastError();
        file.Close();
        // A half-written dump would only puzzle support.
        ::DeleteFileW(path);
        return result;
    }
    file.Close();
    result.fileName = name;
    DeleteOlderCrashDumps(prepared.folder);
    return result;
}
