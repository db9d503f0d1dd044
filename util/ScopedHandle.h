#ifndef QUILO_UTIL_SCOPEDHANDLE_H
#define QUILO_UTIL_SCOPEDHANDLE_H

// One move-only owner for every kind of handle the launcher opens. The traits
// give the close function and the invalid value; resetting keeps the thread's
// last-error value, because callers often read GetLastError right after.

#include <windows.h>
#include <wincrypt.h>
#include <tlhelp32.h>
#include <objbase.h>

template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { Close(); }

    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const { return handle_; }
    bool IsValid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }

    Handle release() {
        Handle handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }

    void reset(Handle handle = Traits::Invalid()) {
        if (handle_ == handle) {
            return;
        }
        Close();
        handle_ = handle;
    }

    void Close() {
        if (IsValid()) {
            const DWORD lastError = ::GetLastError();
            Traits::Close(handle_);
            ::SetLastError(lastError);
            handle_ = Traits::Invalid();
        }
    }

    // For APIs that return a handle through an out-parameter.
    Handle* Receive() {
        Close();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

// Processes, threads, jobs, mutexes: null when absent.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

// CreateFileW and CreateToolhelp32Snapshot: INVALID_HANDLE_VALUE when absent.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};

struct CryptProviderTraits {
    using Handle = HCRYPTPROV;
    static Handle Invalid() { return 0; }
    static void Close(Handle h) { ::CryptReleaseContext(h, 0); }
};

struct CryptHashTraits {
    using Handle = HCRYPTHASH;
    static Handle Invalid() { return 0; }
    static void Close(Handle h) { ::CryptDestroyHash(h); }
};

struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};

struct SidTraits {
    using Handle = PSID;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::FreeSid(h); }
};

// Buffers the shell hands out (SHGetKnownFolderPath) and frees with CoTaskMemFree.
struct CoTaskMemoryTraits {
    using Handle = wchar_t*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CoTaskMemFree(h); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFileHandle = ScopedHandle<FileHandleTraits>;
using ScopedSnapshot = ScopedHandle<FileHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedRegistryKey = ScopedHandle<RegistryKeyTraits>;
using ScopedModule = ScopedHandle<ModuleTraits>;
using ScopedGdiObject = ScopedHandle<GdiObjectTraits>;
using ScopedCryptProvider = ScopedHandle<CryptProviderTraits>;
using ScopedCryptHash = ScopedHandle<CryptHashTraits>;
using ScopedLocalMemory = ScopedHandle<LocalMemoryTraits>;
using ScopedSid = ScopedHandle<SidTraits>;
using ScopedCoTaskString = ScopedHandle<CoTaskMemoryTraits>;

// Both handles CreateProcessW returns, closed together.
struct ScopedProcessInformation {
    ScopedKernelHandle process;
    ScopedKernelHandle thread;
    DWORD processId = 0;

    void TakeFrom(PROCESS_INFORMATION& info) {
        process.reset(info.hProcess);
        thread.reset(info.hThread);
        processId = info.dwProcessId;
        info.hProcess = nullptr;
        info.hThread = nullptr;
    }
};

#endif
