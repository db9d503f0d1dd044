#ifndef QUILO_TOOLS_MD5_H
#define QUILO_TOOLS_MD5_H

// MD5 (RFC 1321) without any platform library, so the packager computes the
// same upper-case digests on the build machine that the launcher computes with
// CryptoAPI on Windows.

#include <cstddef>
#include <cstdint>
#include <string>

class Md5 {
public:
    Md5();
    void Update(const void* data, std::size_t size);
    // Upper-case hexadecimal text of the 16-byte digest. Ends the computation.
    std::string FinishHex();

private:
    void ProcessBlock(const unsigned char* block);

    std::uint32_t state_[4];
    std::uint64_t totalBytes_ = 0;
    unsigned char buffer_[64];
    std::size_t buffered_ = 0;
};

std::string Md5Hex(const std::string& data);
// Empty text when the file cannot be read, as for the launcher's digests.
std::string Md5HexOfFile(const std::string& path);

#endif
