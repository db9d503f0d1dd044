#include "util/EarlyFileDigest.h"

#include <utility>

#include "util/FileDigest.h"

bool FileIdentity::operator==(const FileIdentity& other) const {
    return volumeSerial == other.volumeSerial && indexHigh == other.indexHigh && indexLow == other.indexLow &&
           size == other.size && lastWrite == other.lastWrite;
}

bool ReadFileIdentity(HANDLE file, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!::GetFileInformationByHandle(file, &information)) {
        return false;
    }
    identity.volumeSerial = information.dwVolumeSerialNumber;
    identity.indexHigh = information.nFileIndexHigh;
    identity.indexLow = information.nFileIndexLow;
    identity.size =
        (static_cast<unsigned long long>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    identity.lastWrite = (static_cast<unsigned long long>(information.ftLastWriteTime.dwHighDateTime) << 32) |
                         information.ftLastWriteTime.dwLowDateTime;
    return true;
}

EarlyFileDigest::EarlyFileDigest(std::wstring path) : path_(std::move(path)) {
    // Without a thread nothing is lost but the overlap: Take computes the digest.
    thread_.reset(::CreateThread(nullptr, 0, &EarlyFileDigest::ReadOnThread, this, 0, nullptr));
}

EarlyFileDigest::~EarlyFileDigest() {
    Stop();
}

DWORD WINAPI EarlyFileDigest::ReadOnThread(void* self) {
    // Nothing may leave a thread's procedure; a failed early read only means
    // that the digest is computed when it is taken.
    try {
        static_cast<EarlyFileDigest*>(self)->Read();
    } catch (...) {
        static_cast<EarlyFileDigest*>(self)->digest_.clear();
    }
    return 0;
}

// The result stands for the file as it was when opened, read whole: a read
// that failed part-way leaves none. A writer's change during the reading or
// after it shows in the file's last write or size, which Take compares. The
// identity is read at the opening, as Wine reports no volume for a file
// renamed while open.
void EarlyFileDigest::Read() {
    ScopedFileHandle file(::CreateFileW(path_.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    FileIdentity opened;
    if (!file || !ReadFileIdentity(file.get(), opened)) {
        return;
    }
    unsigned long long bytesRead = 0;
    std::wstring digest = DigestOpenFile(file.get(), bytesRead, &stop_);
    if (digest.empty() || bytesRead != opened.size) {
        return;
    }
    identity_ = opened;
    digest_ = std::move(digest);
}

void EarlyFileDigest::WaitForThread() {
    if (thread_) {
        ::WaitForSingleObject(thread_.get(), INFINITE);
        thread_.Close();
    }
}

bool EarlyFileDigest::WaitForReading(DWORD timeoutMs) const {
    return !thread_ || ::WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_OBJECT_0;
}

void EarlyFileDigest::Stop() {
    stop_ = true;
    WaitForThread();
}

std::wstring EarlyFileDigest::Take(const std::wstring& path) {
    WaitForThread();
    const bool fresh = !taken_ && !digest_.empty();
    taken_ = true;
    // Opened as GetFileMd5 opens it: a file that someone is writing now
    // gives no digest here just as it would there.
    const ScopedFileHandle file = OpenFileForDigest(path);
    if (!file) {
        return std::wstring();
    }
    FileIdentity now;
    if (fresh && ReadFileIdentity(file.get(), now) && now == identity_) {
        return digest_;
    }
    unsigned long long ignoredBytesRead = 0;
    return DigestOpenFile(file.get(), ignoredBytesRead);
}
