#include <gtest/gtest.h>

#include <string>

#include "Md5.h"

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

// Padding edges: 55, 56 and 64 bytes, and input fed in pieces that straddle
// block boundaries, must give the same digest as one piece.
TEST(Md5, PiecewiseUpdateMatchesWhole) {
    for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 1000u}) {
        std::string data;
        for (std::size_t i = 0; i < length; ++i) {
            data += static_cast<char>(i * 7 + 3);
        }
        Md5 md5;
        for (std::size_t i = 0; i < data.size(); i += 13) {
            md5.Update(data.data() + i, std::min<std::size_t>(13, data.size() - i));
        }
        EXPECT_EQ(md5.FinishHex(), Md5Hex(data)) << "length " << length;
    }
    EXPECT_EQ(Md5Hex(std::string(1000000, 'a')), "7707D6AE4E027C70EEA2A935C2296F21");
}

TEST(Md5, FileDigestIsEmptyForMissingFile) {
    EXPECT_EQ(Md5HexOfFile("/nonexistent/quilo/file"), "");
}

}  // namespace
