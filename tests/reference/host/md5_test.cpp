#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

#include "Md5Digest.h"

namespace {

struct Md5Vector {
    std::string input;
    const char* digest;
};

// RFC 1321, appendix A.5, plus the usual pangram, in upper case as the
// launcher compares digests.
const Md5Vector kVectors[] = {
    {"", "D41D8CD98F00B204E9800998ECF8427E"},
    {"a", "0CC175B9C0F1B6A831C399E269772661"},
    {"abc", "900150983CD24FB0D6963F7D28E17F72"},
    {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
    {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "D174AB98D277D9F5A5611C2C9F419D9F"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57EDF4A22BE3C955AC49DA2E2107B67A"},
    {"The quick brown fox jumps over the lazy dog", "9E107D9D372BB6826BD81D3542A419D6"},
};

TEST(Md5, KnownVectors) {
    for (const Md5Vector& vector : kVectors) {
        EXPECT_EQ(Md5Hex(vector.input), vector.digest) << "input \"" << vector.input << "\"";
    }
}

// A file is read in pieces: its digest must be the one of its whole bytes,
// here a million "a" (a known digest) spread over several reads.
TEST(Md5, FileDigestCoversEveryPiece) {
    char path[] = "/tmp/quilo-md5-test-XXXXXX";
    const int descriptor = mkstemp(path);
    ASSERT_NE(-1, descriptor);
    const std::string data(1000000, 'a');
    ASSERT_EQ(static_cast<ssize_t>(data.size()), write(descriptor, data.data(), data.size()));
    close(descriptor);
    EXPECT_EQ(Md5HexOfFile(path), "7707D6AE4E027C70EEA2A935C2296F21");
    EXPECT_EQ(Md5Hex(data), "7707D6AE4E027C70EEA2A935C2296F21");
    unlink(path);
}

TEST(Md5, FileDigestIsEmptyForMissingFile) {
    EXPECT_EQ(Md5HexOfFile("/nonexistent/quilo/file"), "");
}

}  // namespace
