#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <windows.h>

#include "util/LengthPrefixedText.h"
#include "util/Paths.h"

namespace {

std::wstring TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string Marker(int count, const std::string& text) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((static_cast<unsigned>(count) >> (8 * i)) & 0xFF);
    }
    return bytes + text;
}

}  // namespace

TEST(InstallDirectory, DropsTheFileNameAndKeepsTheBackslashOfADriveRoot) {
    EXPECT_EQ(L"D:\\Apps\\Invoice", StripLastPathElement(L"D:\\Apps\\Invoice\\launcher.exe"));
    EXPECT_EQ(L"E:\\", StripLastPathElement(L"E:\\launcher.exe"));
    EXPECT_EQ(L"E:\\Quilord.da", CombinePath(StripLastPathElement(L"E:\\launcher.exe"), L"Quilord.da"));
}

TEST(CombinePath, JoinsWithOneBackslashAndGivesEmptyOnOverflow) {
    EXPECT_EQ(L"C:\\a\\b.txt", CombinePath(L"C:\\a", L"b.txt"));
    EXPECT_EQ(L"C:\\a\\b.txt", CombinePath(L"C:\\a\\", L"b.txt"));
    EXPECT_EQ(L"C:\\b.txt", CombinePath(L"C:\\a", L"..\\b.txt"));
    const std::wstring directory = L"C:\\" + std::wstring(250, L'x');
    EXPECT_EQ(259u, CombinePath(directory, L"12345").size());
    EXPECT_EQ(L"", CombinePath(directory, L"123456"));
}

TEST(FileExists, AnswersForFilesAndDirectoriesButNotForEmptyOrLongPathsOrWildcards) {
    const std::wstring folder = TempFolder(L"quilo-exists");
    WriteBytes(folder + L"\\file.txt", "x");
    EXPECT_TRUE(FileExists(folder + L"\\file.txt"));
    EXPECT_TRUE(FileExists(folder));
    EXPECT_FALSE(FileExists(folder + L"\\missing.txt"));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(FileExists(folder + L"\\*.txt"));
    EXPECT_FALSE(FileExists(L"C:\\" + std::wstring(260, L'y')));
}

TEST(LengthPrefixedText, DecodesTheMarkerFormat) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"count 1, byte 6", Marker(1, "6"), "6"},
        {"count 0", Marker(0, "6"), ""},
        {"negative count", Marker(-5, "6"), ""},
        {"3-byte file", std::string("\x01\x00\x00", 3), ""},
        {"count larger than the data", Marker(10, " 6\r\n"), " 6\r\n"},
        {"count 0x7FFFFFFF", Marker(0x7FFFFFFF, "6"), "6"},
        {"bytes after the count are ignored", Marker(1, "6a"), "6"},
        {"a zero byte ends the text", Marker(3, std::string("6\0a", 3)), "6"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, DecodeLengthPrefixedBytes(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                                    c.bytes.size()))
            << c.name;
    }
}

TEST(ReadLengthPrefixedText, ReadsFilesAndReportsFailuresInItsOwnWords) {
    const std::wstring folder = TempFolder(L"quilo-marker");
    std::wstring error;
    WriteBytes(folder + L"\\upd.tmp", Marker(4, " 6\r\n"));
    EXPECT_EQ(L" 6\r\n", ReadLengthPrefixedText(folder + L"\\upd.tmp", error));
    EXPECT_EQ(L"", error);

    // A corrupt count must cost no more memory than the file holds.
    WriteBytes(folder + L"\\huge.tmp", Marker(0x7FFFFFFF, "6"));
    EXPECT_EQ(L"6", ReadLengthPrefixedText(folder + L"\\huge.tmp", error));
    EXPECT_EQ(L"", error);

    EXPECT_EQ(L"", ReadLengthPrefixedText(L"", error));
    EXPECT_EQ(L"路径为空。", error);
    error.clear();
    EXPECT_EQ(L"", ReadLengthPrefixedText(folder + L"\\missing.tmp", error));
    EXPECT_EQ(L"文件不存在。", error);

    // Held open for writing without sharing: the open fails.
    HANDLE locked = ::CreateFileW((folder + L"\\upd.tmp").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    error.clear();
    EXPECT_EQ(L"", ReadLengthPrefixedText(folder + L"\\upd.tmp", error));
    EXPECT_EQ(L"打开文件失败。", error);
    ::CloseHandle(locked);
}

TEST(IsFolderEmpty, IgnoresHiddenSubFoldersButNotHiddenFiles) {
    const std::wstring folder = TempFolder(L"quilo-update");
    EXPECT_TRUE(IsFolderEmpty(folder + L"\\missing"));

    const std::wstring onlyHiddenFolder = TempFolder(L"quilo-update\\hidden-folder-only");
    ::CreateDirectoryW((onlyHiddenFolder + L"\\sub").c_str(), nullptr);
    ::SetFileAttributesW((onlyHiddenFolder + L"\\sub").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(IsFolderEmpty(onlyHiddenFolder));

    const std::wstring hiddenFile = TempFolder(L"quilo-update\\hidden-file");
    WriteBytes(hiddenFile + L"\\file.bin", "x");
    ::SetFileAttributesW((hiddenFile + L"\\file.bin").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(IsFolderEmpty(hiddenFile));

    const std::wstring visibleFolder = TempFolder(L"quilo-update\\visible-folder");
    ::CreateDirectoryW((visibleFolder + L"\\sub").c_str(), nullptr);
    EXPECT_FALSE(IsFolderEmpty(visibleFolder));
}
