#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <windows.h>

#include "util/FileDigest.h"

namespace {

std::wstring TempFile(const wchar_t* name, const std::string& bytes) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

}  // namespace

TEST(FileDigest, KnownVectorsInUpperCase) {
    struct Case {
        const wchar_t* name;
        std::string bytes;
        const wchar_t* digest;
    } cases[] = {
        {L"digest-empty.bin", "", L"D41D8CD98F00B204E9800998ECF8427E"},
        {L"digest-fox.bin", "The quick brown fox jumps over the lazy dog",
         L"9E107D9D372BB6826BD81D3542A419D6"},
        {L"digest-abc.bin", "abc", L"900150983CD24FB0D6963F7D28E17F72"},
    };
    for (const Case& c : cases) {
        const std::wstring path = TempFile(c.name, c.bytes);
        EXPECT_EQ(std::wstring(c.digest), GetFileMd5(path)) << c.bytes;
        ::DeleteFileW(path.c_str());
    }
}

TEST(FileDigest, SpansManyReadChunksLikeOneBuffer) {
    // 1 MiB + 3 bytes of a repeating pattern: several chunks and a short tail.
    std::string bytes(1024 * 1024 + 3, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 31 + 7);
    }
    const std::wstring path = TempFile(L"digest-large.bin", bytes);
    // Reference value from md5sum over the same pattern.
    EXPECT_EQ(L"C045F82BA500BE30249B19B3C67B9B52", GetFileMd5(path));
    ::DeleteFileW(path.c_str());
}

TEST(FileDigest, MissingFileGivesEmptyText) {
    EXPECT_EQ(L"", GetFileMd5(L"Z:\\no\\such\\folder\\file.bin"));
    EXPECT_EQ(L"", GetFileMd5(L""));
}

TEST(FileDigest, FileOpenForWritingElsewhereGivesEmptyText) {
    const std::wstring path = TempFile(L"digest-locked.bin", "locked");
    HANDLE writer = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ(L"", GetFileMd5(path));
    ::CloseHandle(writer);
    EXPECT_EQ(32u, GetFileMd5(path).size());
    ::DeleteFileW(path.c_str());
}

TEST(FileDigest, FormatsEveryByteAsTwoUpperCaseDigits) {
    const unsigned char bytes[] = {0x00, 0x0A, 0xAB, 0xFF};
    EXPECT_EQ(L"000AABFF", FormatDigestHex(bytes, sizeof(bytes)));
}
