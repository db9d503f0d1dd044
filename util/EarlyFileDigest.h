#ifndef QUILO_UTIL_EARLYFILEDIGEST_H
#define QUILO_UTIL_EARLYFILEDIGEST_H

// A file's digest begun on a worker thread well before it is needed, so that
// reading the file overlaps the work in between. Whoever needs it takes it:
// the early result is handed out once, and only while the file is still the
// one that was read and GetFileMd5 could open it now; in every other case the
// digest is computed there and then. The answer is therefore always the one
// GetFileMd5 would give at the moment of taking.

#include <atomic>
#include <string>

#include <windows.h>

#include "util/ScopedHandle.h"

// What tells one state of a file from another: the file itself (volume and
// index, which survive a rename), its size and its last write.
struct FileIdentity {
    DWORD volumeSerial = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    unsigned long long size = 0;
    unsigned long long lastWrite = 0;

    bool operator==(const FileIdentity& other) const;
};

// The identity of an open file; false when the system cannot tell it.
bool ReadFileIdentity(HANDLE file, FileIdentity& identity);

class EarlyFileDigest {
public:
    // Starts reading `path` on a thread of its own. The file is opened with
    // every sharing, so that no one else is kept from it meanwhile: not a
    // rename, not a writer (whose writing then spoils only this early result).
    explicit EarlyFileDigest(std::wstring path);
    // Stops the reading at its next piece and waits for the thread.
    ~EarlyFileDigest();

    EarlyFileDigest(const EarlyFileDigest&) = delete;
    EarlyFileDigest& operator=(const EarlyFileDigest&) = delete;

    // GetFileMd5(path) as of now, the early result when it still holds.
    // `path` may be another name of the file read (after a rename).
    std::wstring Take(const std::wstring& path);

    // Whether the early reading has ended, waiting at most `timeoutMs` for it.
    bool WaitForReading(DWORD timeoutMs) const;

    // The early result is not wanted: the reading stops at its next piece,
    // and the file is no longer open when this returns.
    void Stop();

private:
    static DWORD WINAPI ReadOnThread(void* self);
    void Read();
    void WaitForThread();

    std::wstring path_;
    std::atomic<bool> stop_{false};
    ScopedKernelHandle thread_;
    // Written by the thread; read only once it has ended.
    std::wstring digest_;
    FileIdentity identity_;
    bool taken_ = false;
};

#endif
