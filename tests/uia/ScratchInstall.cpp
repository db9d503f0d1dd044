#include "ScratchInstall.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>

#include "RuntimeKeeping.h"
#include "TestPaths.h"

std::wstring CurrentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "scratch";
    std::wstring wide;
    for (char c : name) {
        wide += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_')
                    ? static_cast<wchar_t>(c)
                    : L'_';
    }
    return wide;
}

void DeleteTree(const std::wstring& folder) {
    if (folder.size() < 4) {
        return;
    }
    std::wstring from = folder;
    from.push_back(L'\0');
    from.push_back(L'\0');
    // A process of the scenario that has only just ended (a killed launcher's
    // main application) may still hold a file for a moment: try again briefly,
    // so that a half-deleted folder never passes for a launcher's doing.
    const ULONGLONG deadline = ::GetTickCount64() + 5000;
    for (;;) {
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationW(&operation);
        if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES ||
            ::GetTickCount64() >= deadline) {
            return;
        }
        ::Sleep(100);
    }
}

ScratchInstall::ScratchInstall(const std::wstring& name, const std::wstring& root) {
    const std::wstring parent = root.empty() ? L"D:\\scenarios" : root;
    ::CreateDirectoryW(parent.c_str(), nullptr);
    directory_ = parent + L"\\" + (name.empty() ? CurrentTestName() : name);
    DeleteTree(directory_);
    ::CreateDirectoryW(directory_.c_str(), nullptr);
    CopyIn(LauncherExecutable(), kLauncherFileName);
}

ScratchInstall::~ScratchInstall() = default;

std::wstring ScratchInstall::PathOf(const std::wstring& name) const {
    return directory_.back() == L'\\' ? directory_ + name : directory_ + L"\\" + name;
}

ScratchInstall& ScratchInstall::WithRequiredFiles() {
    for (const wchar_t* name : {L"Quilord.da", L"CsVarnLab.dll", L"CsVarnApi.dll"}) {
        if (!Exists(name)) {
            WriteFile(name, "");
        }
    }
    return *this;
}

ScratchInstall& ScratchInstall::CopyIn(const std::wstring& source, const std::wstring& name) {
    const std::wstring target = PathOf(name);
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy " << std::string(source.begin(), source.end()) << " (error "
                      << ::GetLastError() << ")";
    }
    return *this;
}

ScratchInstall& ScratchInstall::WriteFile(const std::wstring& name, const std::string& bytes) {
    FILE* file = ::_wfopen(PathOf(name).c_str(), L"wb");
    if (!file) {
        ADD_FAILURE() << "cannot write a scenario file";
        return *this;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return *this;
}

ScratchInstall& ScratchInstall::MakeFolder(const std::wstring& name) {
    ::CreateDirectoryW(PathOf(name).c_str(), nullptr);
    return *this;
}

void ScratchInstall::Remove(const std::wstring& name) {
    const std::wstring path = PathOf(name);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::DeleteFileW(path.c_str())) {
        DeleteTree(path);
    }
}

bool ScratchInstall::Exists(const std::wstring& name) const {
    return ::GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ScratchInstall::ReadFile(const std::wstring& name) const {
    return ReadFileBytes(PathOf(name));
}

void ChangeBytesUnnoticed(const std::wstring& path, long offset, const std::string& bytes) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME written = {};
    DWORD count = 0;
    const bool done = ::GetFileTime(file, nullptr, nullptr, &written) &&
                      ::SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
                      ::SetFileTime(file, nullptr, nullptr, &written);
    ::CloseHandle(file);
    ASSERT_TRUE(done);
}

void ReplaceWithLookalike(const std::wstring& path, const std::string& bytes) {
    FILETIME written = {};
    const HANDLE original = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, original);
    ASSERT_TRUE(::GetFileTime(original, nullptr, nullptr, &written));
    ::CloseHandle(original);
    const std::wstring lookalike = path + L".lookalike";
    const HANDLE file =
        ::CreateFileW(lookalike.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD count = 0;
    const bool done = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
                      ::SetFileTime(file, nullptr, nullptr, &written);
    ::CloseHandle(file);
    ASSERT_TRUE(done);
    ASSERT_TRUE(::MoveFileExW(lookalike.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    // The programs under test replace their files by renaming a finished copy
    // over them, and the renaming handle holds delete access until it is
    // closed: a reader that does not share delete access would find the file
    // there and still fail to open it, and read it as empty.
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    ::CloseHandle(file);
    return bytes;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        start = end + 1;
    }
    return lines;
}

TestProcess ScratchInstall::StartLauncher(const StartOptions& options) const {
    RememberLauncherStart(directory_);
    TestProcess launcher = TestProcess::Start(LauncherPath(), options);
    EXPECT_TRUE(launcher.IsStarted()) << "the launcher did not start, error " << launcher.StartError();
    return launcher;
}
