#include "util/FileDigest.h"

#include <vector>

#include "util/ScopedHandle.h"

namespace {

// The runtime executable and the data store can be hundreds of megabytes and
// the launcher is a 32-bit process: the file is hashed piece by piece, so the
// memory used does not grow with the file.
constexpr DWORD kReadChunkBytes = 64 * 1024;
constexpr DWORD kMd5Bytes = 16;

}  // namespace

std::wstring FormatDigestHex(const unsigned char* bytes, std::size_t count) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

namespace {

// One MD5 computation through the system's crypto provider.
class Md5Hasher {
public:
    Md5Hasher() {
        ready_ = ::CryptAcquireContextW(provider_.Receive(), nullptr, nullptr, PROV_RSA_FULL,
                                        CRYPT_VERIFYCONTEXT) &&
                 ::CryptCreateHash(provider_.get(), CALG_MD5, 0, 0, hash_.Receive());
    }
    bool Add(const void* data, DWORD size) {
        ready_ = ready_ && ::CryptHashData(hash_.get(), static_cast<const BYTE*>(data), size, 0);
        return ready_;
    }
    // The digest's text; empty when any step failed.
    std::wstring Finish() {
        BYTE value[kMd5Bytes] = {};
        DWORD valueLength = kMd5Bytes;
        if (!ready_ || !::CryptGetHashParam(hash_.get(), HP_HASHVAL, value, &valueLength, 0) ||
            valueLength != kMd5Bytes) {
            return std::wstring();
        }
        return FormatDigestHex(value, valueLength);
    }

private:
    ScopedCryptProvider provider_;
    ScopedCryptHash hash_;
    bool ready_ = false;
};

}  // namespace

std::wstring DigestOpenFile(HANDLE file, unsigned long long& bytesRead, const std::atomic<bool>* stop) {
    bytesRead = 0;
    Md5Hasher hasher;
    std::vector<BYTE> chunk(kReadChunkBytes);
    for (;;) {
        if (stop && stop->load()) {
            return std::wstring();
        }
        DWORD read = 0;
        // A failed read is the end of the data, not an error.
        if (!::ReadFile(file, chunk.data(), kReadChunkBytes, &read, nullptr) || read == 0) {
            break;
        }
        bytesRead += read;
        if (!hasher.Add(chunk.data(), read)) {
            return std::wstring();
        }
    }
    return hasher.Finish();
}

ScopedFileHandle OpenFileForDigest(const std::wstring& path) {
    // Read sharing only: a file that another process is still writing is not
    // hashed half-written; the open fails and the caller sees a mismatch.
    return ScopedFileHandle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::wstring GetFileMd5(const std::wstring& path) {
    const ScopedFileHandle file = OpenFileForDigest(path);
    if (!file) {
        return std::wstring();
    }
    unsigned long long ignoredBytesRead = 0;
    return DigestOpenFile(file.get(), ignoredBytesRead);
}

std::wstring GetBytesMd5(const std::string& bytes) {
    Md5Hasher hasher;
    hasher.Add(bytes.data(), static_cast<DWORD>(bytes.size()));
    return hasher.Finish();
}
