#include "util/TraceFile.h"

#include <shlobj.h>

#include "util/Paths.h"
#include "util/ProductConstants.h"
#include "util/ScopedHandle.h"
#include "util/TraceRecord.h"

namespace {

constexpr wchar_t kTraceMutexName[] = L"Local\\Tarvex_LauncherTrace";
// Long enough for thirty launchers ending together to take turns, short
// enough that a stuck holder cannot be noticed by the user.
constexpr DWORD kTraceMutexWaitMs = 500;

// Holds the trace mutex for as long as it lives, when it could be had in time.
class TraceMutexTurn {
public:
    TraceMutexTurn() : mutex_(::CreateMutexW(nullptr, FALSE, kTraceMutexName)) {
        if (!mutex_) {
            return;
        }
        const DWORD waited = ::WaitForSingleObject(mutex_.get(), kTraceMutexWaitMs);
        // An abandoned mutex (a launcher that ended mid-write) is ours all the same.
        owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~TraceMutexTurn() {
        if (owned_) {
            ::ReleaseMutex(mutex_.get());
        }
    }
    TraceMutexTurn(const TraceMutexTurn&) = delete;
    TraceMutexTurn& operator=(const TraceMutexTurn&) = delete;

    bool IsOwned() const { return owned_; }

private:
    ScopedKernelHandle mutex_;
    bool owned_ = false;
};

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The file's size, or 0 when it does not exist or cannot be read.
ULONGLONG FileBytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Moves the full log aside. Another program may hold the older file open
// without delete sharing (an editor, a virus scanner, a backup): it cannot
// then be replaced by a rename, so its contents are overwritten instead, and
// when even that is refused the log starts afresh. Either way the log stays
// within its bound; keeping the older records comes second.
void RotateTrace(const std::wstring& logPath, const std::wstring& olderPath) {
    if (::MoveFileExW(logPath.c_str(), olderPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return;
    }
    ::CopyFileW(logPath.c_str(), olderPath.c_str(), FALSE);
    ScopedFileHandle log(::CreateFileW(logPath.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

std::wstring GetTraceFolder() {
    ScopedCoTaskString localAppData;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, localAppData.Receive())) ||
        !localAppData) {
        return std::wstring();
    }
    const std::wstring folder = CombinePath(localAppData.get(), kProductDisplayName);
    if (!IsFolder(folder)) {
        ::CreateDirectoryW(folder.c_str(), nullptr);
    }
    return IsFolder(folder) ? folder : std::wstring();
}

void AppendTraceRecord(const std::wstring& folder, const std::string& record) {
    if (folder.empty() || record.empty()) {
        return;
    }
    const std::wstring logPath = CombinePath(folder, kTraceFileName);
    TraceMutexTurn turn;
    // Without the turn another launcher may be appending: the file is only
    // moved aside by whoever holds the mutex.
    if (turn.IsOwned() && ShouldRotateTrace(FileBytes(logPath), record.size())) {
        RotateTrace(logPath, CombinePath(folder, kOlderTraceFileName));
    }
    // Appending data only, so that each write lands whole at the end even when
    // another launcher writes at the same moment.
    ScopedFileHandle file(::CreateFileW(logPath.c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
}
