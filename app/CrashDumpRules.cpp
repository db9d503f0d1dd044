#include "app/CrashDumpRules.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

constexpr wchar_t kDumpPrefix[] = L"launcher-";
constexpr wchar_t kDumpSuffix[] = L".dmp";

bool EqualIgnoringCase(const std::wstring& text, size_t at, const wchar_t* part) {
    const size_t length = std::wcslen(part);
    if (at + length > text.size()) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (std::towlower(text[at + i]) != std::towlower(part[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

void FormatCrashDumpFileName(const SYSTEMTIME& localTime, DWORD processId,
                             wchar_t (&name)[kCrashDumpFileNameLength]) {
    std::swprintf(name, kCrashDumpFileNameLength, L"launcher-%04u%02u%02u-%02u%02u%02u-%lu.dmp",
                  localTime.wYear, localTime.wMonth, localTime.wDay, localTime.wHour, localTime.wMinute,
                  localTime.wSecond, static_cast<unsigned long>(processId));
}

std::wstring CrashDumpFileName(const SYSTEMTIME& localTime, DWORD processId) {
    wchar_t name[kCrashDumpFileNameLength] = {};
    FormatCrashDumpFileName(localTime, processId, name);
    return name;
}

bool IsCrashDumpFileName(const std::wstring& name) {
    const size_t prefixLength = std::wcslen(kDumpPrefix);
    const size_t suffixLength = std::wcslen(kDumpSuffix);
    return name.size() >= prefixLength + suffixLength && EqualIgnoringCase(name, 0, kDumpPrefix) &&
           EqualIgnoringCase(name, name.size() - suffixLength, kDumpSuffix);
}

std::vector<std::wstring> CrashDumpsToDelete(std::vector<CrashDumpFile> dumps, size_t kept) {
    std::sort(dumps.begin(), dumps.end(), [](const CrashDumpFile& a, const CrashDumpFile& b) {
        return a.lastWriteTime != b.lastWriteTime ? a.lastWriteTime > b.lastWriteTime : a.name > b.name;
    });
    std::vector<std::wstring> older;
    for (size_t i = kept; i < dumps.size(); ++i) {
        older.push_back(dumps[i].name);
    }
    return older;
}
