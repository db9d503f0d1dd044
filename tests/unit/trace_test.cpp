// The support trace: a record's text, the log file's rotation, and the whole
// way from a traced line to the file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "tests/uia/ScratchInstall.h"
#include "tests/unit/TestTimes.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/ScopedHandle.h"
#include "util/Trace.h"
#include "util/TraceFile.h"
#include "util/TraceRecord.h"

namespace {

std::wstring FreshTempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    ::DeleteFileW((folder + L"\\" + kTraceFileName).c_str());
    ::DeleteFileW((folder + L"\\" + kOlderTraceFileName).c_str());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

TEST(TraceRecord, HeaderCarriesTheTimeToTheMillisecondAndTheProcessId) {
    EXPECT_EQ(L"==== 2026-12-10 23:20:49.123 start pid 1234 ====",
              FormatTraceHeader(MakeSystemTime(2026, 12, 10, 23, 20, 49, 123), 1234));
    EXPECT_EQ(L"==== 2027-01-02 03:04:05.006 start pid 4294967295 ====",
              FormatTraceHeader(MakeSystemTime(2027, 1, 2, 3, 4, 5, 6), 4294967295u));
}

TEST(TraceRecord, LineBreaksInsideATextStayOnOneLine) {
    struct Case {
        std::wstring text;
        std::wstring escaped;
    };
    const Case cases[] = {
        {L"bridge status: 1", L"bridge status: 1"},
        {L"软件加载失败！\n文件丢失。", L"软件加载失败！\\n文件丢失。"},
        {L"one\r\ntwo\n", L"one\\r\\ntwo\\n"},
        {L"D:\\Tarvex\\ertmcache", L"D:\\Tarvex\\ertmcache"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.escaped, EscapeTraceLine(c.text));
    }
}

TEST(TraceRecord, IsUtf8WithCrlfEndsAndABlankLineAfter) {
    const std::string record = EncodeTraceRecord(L"==== h ====", L"a: 提示\r\nb: 2\r\n");
    EXPECT_EQ("==== h ====\r\na: \xE6\x8F\x90\xE7\xA4\xBA\r\nb: 2\r\n\r\n", record);
    EXPECT_EQ("==== h ====\r\n\r\n", EncodeTraceRecord(L"==== h ====", L""));
}

TEST(TraceRecord, TheStorePasswordNeverReachesTheFileWhateverLineHoldsIt) {
    struct Case {
        std::wstring text;
        std::wstring kept;
    };
    const Case cases[] = {
        {L"73kqd_415209", L"***"},
        {L"rebuild: failed: wrong key 73kqd_415209 for DatFileInfo",
         L"rebuild: failed: wrong key *** for DatFileInfo"},
        {L"73KQD_415209|73kqd_41520973kqd_415209", L"***|******"},
        {L"73kqd_41520", L"73kqd_41520"},  // not the whole password: nothing to hide
        {L"bridge status: 1", L"bridge status: 1"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.kept, RemoveTraceSecrets(c.text));
    }
    EXPECT_EQ(
        "==== h 73kqd ====\r\ncomputer id: ***\r\nrebuild: failed: *** ***\r\n\r\n",
        EncodeTraceRecord(L"==== h 73kqd ====",
                          L"computer id: 73kqd_415209\r\nrebuild: failed: 73kqd_415209 73Kqd_415209\r\n"));
}

TEST(TraceRotation, MovesAFileAsideOnlyWhenTheRecordWouldTakeItPast256KB) {
    struct Case {
        std::uint64_t fileBytes;
        std::uint64_t recordBytes;
        bool rotates;
    };
    const Case cases[] = {
        {0, 0, false},
        {0, 300000, false},  // an empty file is never moved aside, however large the record
        {262144 - 100, 100, false},
        {262144 - 100, 101, true},
        {262144, 1, true},
        {1000, 1000, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.rotates, ShouldRotateTrace(c.fileBytes, c.recordBytes))
            << c.fileBytes << " + " << c.recordBytes;
    }
}

TEST(TraceFile, AFullLogBecomesTheOlderFileAndOnlyOneOlderFileIsKept) {
    const std::wstring folder = FreshTempFolder(L"quilo-trace-rotation");
    const std::wstring log = folder + L"\\" + kTraceFileName;
    const std::wstring older = folder + L"\\" + kOlderTraceFileName;
    const std::string nearlyFull(262144 - 10, 'x');
    // Whole files are compared without printing a quarter of a megabyte.
    auto holds = [](const std::wstring& path, const std::string& bytes) {
        return ReadFileBytes(path) == bytes;
    };

    AppendTraceRecord(folder, nearlyFull);
    AppendTraceRecord(folder, "first\r\n");  // fits: 262141 bytes
    EXPECT_TRUE(holds(log, nearlyFull + "first\r\n"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(older.c_str()));

    AppendTraceRecord(folder, "second\r\n");  // would pass the limit
    EXPECT_TRUE(holds(log, "second\r\n"));
    EXPECT_TRUE(holds(older, nearlyFull + "first\r\n"));

    AppendTraceRecord(folder, "third\r\n");
    EXPECT_TRUE(holds(log, "second\r\nthird\r\n"));
    AppendTraceRecord(folder, std::string(262144, 'y'));  // larger than a file may be: alone in the new file
    EXPECT_TRUE(holds(log, std::string(262144, 'y')));
    EXPECT_TRUE(holds(older, "second\r\nthird\r\n")) << "the older file was not replaced";
}

TEST(TraceFile, AnOlderFileHeldOpenWithoutDeleteSharingStillLeavesTheLogWithinItsBound) {
    // An editor or a backup reading the older file: it cannot be renamed over
    // while open, and may not even be written.
    struct Case {
        const char* holder;
        DWORD sharing;
        bool olderTakesTheFullLog;
    };
    const Case cases[] = {
        {"reader that lets others write", FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        {"reader that lets others only read", FILE_SHARE_READ, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.holder);
        const std::wstring folder = FreshTempFolder(L"quilo-trace-held-older");
        const std::wstring log = folder + L"\\" + kTraceFileName;
        const std::wstring older = folder + L"\\" + kOlderTraceFileName;
        auto holds = [](const std::wstring& path, const std::string& bytes) {
            return ReadFileBytes(path) == bytes;
        };
        AppendTraceRecord(folder, "oldest\r\n");
        AppendTraceRecord(folder, std::string(262144, 'x'));  // moves "oldest" aside
        ASSERT_TRUE(holds(older, "oldest\r\n"));
        {
            ScopedFileHandle held(::CreateFileW(older.c_str(), GENERIC_READ, c.sharing, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(held) << "error " << ::GetLastError();
            AppendTraceRecord(folder, "second\r\n");
            AppendTraceRecord(folder, "third\r\n");
            EXPECT_TRUE(holds(log, "second\r\nthird\r\n"))
                << ReadFileBytes(log).size() << " bytes in the log";
        }
        EXPECT_TRUE(holds(older, c.olderTakesTheFullLog ? std::string(262144, 'x') : "oldest\r\n"));
    }
}

// No folder (the shell could not name one) is not the current folder, and a
// "folder" that turns out to be a file stays as it was.
TEST(TraceFile, AFolderThatCannotBeWrittenIsIgnored) {
    const std::wstring folder = FreshTempFolder(L"trace_unwritable");
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder.c_str()));
    AppendTraceRecord(L"", "record\r\n");
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((folder + L"\\" + kTraceFileName).c_str()));

    const std::wstring file = folder + L"\\not-a-folder";
    FILE* created = ::_wfopen(file.c_str(), L"wb");
    ASSERT_NE(nullptr, created);
    std::fputs("kept", created);
    std::fclose(created);
    AppendTraceRecord(file, "record\r\n");
    EXPECT_EQ("kept", ReadFileBytes(file));
}

TEST(Trace, AFlushAppendsOneWholeRecordWithItsHeaderTheSystemFactsAndTheLines) {
    const std::wstring log = CombinePath(GetTraceFolder(), kTraceFileName);
    ASSERT_FALSE(log.empty());
    const size_t before = ReadFileBytes(log).size();
    TraceValue(L"single instance", L"claimed");
    TraceLine(MessageBoxTraceLine(L"软件加载提示", L"加载失败！\n文件丢失。", IDOK));
    TracePhase(L"checks", 12.345);
    FlushTrace();
    const std::string record = ReadFileBytes(log).substr(before);

    char header[64] = {};
    std::snprintf(header, sizeof(header), " start pid %lu ====\r\n", ::GetCurrentProcessId());
    EXPECT_EQ(0u, record.find("==== ")) << record;
    EXPECT_NE(std::string::npos, record.find(header)) << record;
    for (const char* fact : {"\r\nlauncher version: ", "\r\nwindows: ", "\r\nwow64: "}) {
        EXPECT_NE(std::string::npos, record.find(fact)) << fact << " missing in " << record;
    }
    const std::string traced =
        "single instance: claimed\r\n"
        "message box: \xE8\xBD\xAF\xE4\xBB\xB6\xE5\x8A\xA0\xE8\xBD\xBD\xE6\x8F\x90\xE7\xA4\xBA | "
        "\xE5\x8A\xA0\xE8\xBD\xBD\xE5\xA4\xB1\xE8\xB4\xA5\xEF\xBC\x81\\n"
        "\xE6\x96\x87\xE4\xBB\xB6\xE4\xB8\xA2\xE5\xA4\xB1\xE3\x80\x82 | answer: OK\r\n"
        "phase checks: 12.3 ms\r\n\r\n";
    ASSERT_GE(record.size(), traced.size());
    EXPECT_EQ(traced, record.substr(record.size() - traced.size()));

    // Nothing traced since: a second flush of the same start adds nothing.
    FlushTrace();
    EXPECT_EQ(before + record.size(), ReadFileBytes(log).size());
}

TEST(MessageBoxTrace, NamesTheAnswerTheUserGave) {
    struct Case {
        int systemAnswer;
        const wchar_t* name;
    };
    const Case cases[] = {
        {IDOK, L"OK"}, {IDCANCEL, L"Cancel"}, {IDYES, L"Yes"}, {IDNO, L"No"}, {0, L"not shown"}};
    for (const Case& c : cases) {
        EXPECT_EQ(std::wstring(L"message box: T | x | answer: ") + c.name,
                  MessageBoxTraceLine(L"T", L"x", c.systemAnswer));
    }
}
