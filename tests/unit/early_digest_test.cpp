// A digest read ahead on a worker thread: what it answers when taken, after
// whatever happened to the file in between, and that the file is let go.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "util/EarlyFileDigest.h"
#include "util/FileDigest.h"
#include "util/Paths.h"
#include "util/ScopedHandle.h"
#include "tests/uia/ScratchInstall.h"

namespace {

const wchar_t kFirstDigest[] =
    L"9E107D9D372BB6826BD81D3542A419D6";  // "The quick brown fox jumps over the lazy dog"
const wchar_t kSecondDigest[] = L"E4D909C290D0FB1CA068FFADDF22CBD0";  // the same, ending in "."
constexpr DWORD kReadingMs = 10000;
const char kFirstBytes[] = "The quick brown fox jumps over the lazy dog";
const char kSecondBytes[] = "The quick brown fox jumps over the lazy dog.";
const char kShoutedBytes[] = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG";

class EarlyDigestFile : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        path_ = CombinePath(temp, L"early-digest.bin");
        renamed_ = CombinePath(temp, L"early-digest-renamed.bin");
        TearDown();
    }
    void TearDown() override {
        ::DeleteFileW(path_.c_str());
        ::DeleteFileW(renamed_.c_str());
    }

    static void Write(const std::wstring& path, const std::string& bytes) {
        ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(
            ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }

    std::wstring path_;
    std::wstring renamed_;
};

}  // namespace

// The file is read before it is taken, and taken under the name it has by
// then: a rename keeps the file, so the early reading stands.
TEST_F(EarlyDigestFile, ARenamedFileIsTakenUnderItsNewName) {
    Write(path_, kFirstBytes);
    EarlyFileDigest early(path_);
    ASSERT_TRUE(early.WaitForReading(kReadingMs));
    ASSERT_TRUE(::MoveFileW(path_.c_str(), renamed_.c_str()));
    // Bytes changed unnoticed show which answer came: the one read early.
    ChangeBytesUnnoticed(renamed_, 0, kShoutedBytes);
    EXPECT_EQ(kFirstDigest, early.Take(renamed_));
    // Handed out once: a second taking reads the file as it is now.
    EXPECT_EQ(GetBytesMd5(kShoutedBytes), early.Take(renamed_));
}

// Every change the system can tell makes the taking read the file anew, so
// the answer is GetFileMd5's at the moment of taking.
TEST_F(EarlyDigestFile, AFileChangedAfterTheEarlyReadingIsReadAgain) {
    struct Case {
        const char* change;
        void (*apply)(const std::wstring& path);
        std::wstring expected;
    } cases[] = {
        {"rewritten", [](const std::wstring& path) { Write(path, kSecondBytes); }, kSecondDigest},
        // Only the file itself differs: same length, same last write.
        {"replaced by another file",
         [](const std::wstring& path) { ReplaceWithLookalike(path, kShoutedBytes); },
         GetBytesMd5(kShoutedBytes)},
        {"deleted", [](const std::wstring& path) { ASSERT_TRUE(::DeleteFileW(path.c_str())); }, L""},
    };
    for (const Case& c : cases) {
        Write(path_, kFirstBytes);
        EarlyFileDigest early(path_);
        ASSERT_TRUE(early.WaitForReading(kReadingMs)) << c.change;
        c.apply(path_);
        EXPECT_EQ(c.expected, early.Take(path_)) << c.change;
    }
}

// Someone writing the file now: the early reading is not handed out, and the
// answer is GetFileMd5's for a file open for writing, the empty text.
TEST_F(EarlyDigestFile, AFileBeingWrittenWhenTakenGivesNoDigest) {
    Write(path_, kFirstBytes);
    EarlyFileDigest early(path_);
    ASSERT_TRUE(early.WaitForReading(kReadingMs));
    ScopedFileHandle writer(::CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_EQ(L"", early.Take(path_));
    writer.Close();
    EXPECT_EQ(kFirstDigest, early.Take(path_));
}

// While the file is being read, it stays free for a rename (staging moves
// the parked copy to its live name) and for a writer. The rename must come
// while the reading is under way: after the thread opened the file (the
// early result then exists) and before it ended; the pause before it grows
// until it does.
TEST_F(EarlyDigestFile, AFileBeingReadEarlyStaysFreeForARenameAndAWriter) {
    const std::string bytes(32 * 1024 * 1024, 'x');
    const std::wstring digest = GetBytesMd5(bytes);
    bool renamedWhileRead = false;
    for (DWORD pauseMs = 5; pauseMs <= 640 && !renamedWhileRead; pauseMs *= 2) {
        TearDown();
        Write(path_, bytes);
        EarlyFileDigest early(path_);
        ::Sleep(pauseMs);
        ASSERT_TRUE(::MoveFileW(path_.c_str(), renamed_.c_str())) << ::GetLastError();
        ScopedFileHandle writer(::CreateFileW(renamed_.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer) << ::GetLastError();
        writer.Close();
        const bool underWay = !early.WaitForReading(0);
        ASSERT_TRUE(early.WaitForReading(kReadingMs));
        ChangeBytesUnnoticed(renamed_, 0, "y");
        renamedWhileRead = underWay && early.Take(renamed_) == digest;
    }
    EXPECT_TRUE(renamedWhileRead) << "no rename came while the file was being read";
}

// Not wanted: when Stop returns, the file is no longer open. A file missing
// at the start is simply read when taken.
TEST_F(EarlyDigestFile, AStoppedReadingLetsGoOfTheFile) {
    Write(path_, std::string(32 * 1024 * 1024, 'x'));
    EarlyFileDigest early(path_);
    early.Stop();
    ScopedFileHandle alone(::CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(alone);
    alone.Close();
    EXPECT_EQ(GetFileMd5(path_), early.Take(path_));

    EarlyFileDigest missing(renamed_);
    Write(renamed_, kFirstBytes);
    EXPECT_EQ(kFirstDigest, missing.Take(renamed_));
}
