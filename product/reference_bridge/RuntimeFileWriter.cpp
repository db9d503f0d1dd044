#include "RuntimeFileWriter.h"

#include <windows.h>

#include <cwchar>

#include "util/ScopedHandle.h"
#include "util/TextConvert.h"

namespace {

std::string SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    ScopedLocalMemory owner(buffer);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    std::string message = "system error " + std::to_string(code);
    if (!text.empty()) {
        message += ": " + WideToNarrow(text, CP_ACP);
    }
    return message;
}

std::string Describe(const char* what, const std::wstring& path, DWORD code) {
    return std::string(what) + " " + WideToNarrow(path, CP_ACP) + " (" + SystemMessage(code) + ")";
}

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name) {
    if (!directory.empty() && directory.back() != L'\\' && directory.back() != L'/') {
        return directory + L"\\" + name;
    }
    return directory + name;
}

bool WriteAll(HANDLE file, const unsigned char* data, size_t size) {
    // WriteFile takes at most a DWORD and may write less than asked.
    while (size > 0) {
        const DWORD chunk = size > (1u << 24) ? (1u << 24) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

bool IsPlainFileName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") {
        return false;
    }
    for (wchar_t c : name) {
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c) != nullptr) {
            return false;
        }
    }
    return true;
}

std::wstring TemporarySiblingName(const std::wstring& fileName, unsigned long processId) {
    return fileName + L"." + std::to_wstring(processId) + L".partial";
}

bool WriteFileReplacing(const std::wstring& directory, const std::wstring& fileName,
                        const unsigned char* data, size_t size, std::string& error) {
    const std::wstring target = JoinPath(directory, fileName);
    const std::wstring temporary =
        JoinPath(directory, TemporarySiblingName(fileName, ::GetCurrentProcessId()));
    {
        ScopedFileHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = Describe("cannot create", temporary, ::GetLastError());
            return false;
        }
        if (!WriteAll(file.get(), data, size) || !::FlushFileBuffers(file.get())) {
            error = Describe("cannot write", temporary, ::GetLastError());
            file.Close();
            ::DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = Describe("cannot replace", target, ::GetLastError());
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
