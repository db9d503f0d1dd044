#include "util/TraceRecord.h"

#include <algorithm>
#include <cwchar>

#include "util/ProductConstants.h"

namespace {

constexpr wchar_t kRemovedSecret[] = L"***";

wchar_t LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameIgnoringAsciiCase(wchar_t a, wchar_t b) {
    return LowerAscii(a) == LowerAscii(b);
}

std::wstring RemoveSecret(const std::wstring& text, const std::wstring& secret) {
    if (secret.empty()) {
        return text;
    }
    std::wstring kept;
    auto from = text.begin();
    for (;;) {
        const auto found = std::search(from, text.end(), secret.begin(), secret.end(), SameIgnoringAsciiCase);
        kept.append(from, found);
        if (found == text.end()) {
            return kept;
        }
        kept += kRemovedSecret;
        from = found + static_cast<std::ptrdiff_t>(secret.size());
    }
}

}  // namespace

std::wstring FormatTraceHeader(const SYSTEMTIME& localTime, DWORD processId) {
    wchar_t header[96] = {};
    std::swprintf(header, sizeof(header) / sizeof(header[0]),
                  L"==== %04u-%02u-%02u %02u:%02u:%02u.%03u start pid %lu ====", localTime.wYear,
                  localTime.wMonth, localTime.wDay, localTime.wHour, localTime.wMinute, localTime.wSecond,
                  localTime.wMilliseconds, static_cast<unsigned long>(processId));
    return header;
}

std::wstring EscapeTraceLine(const std::wstring& line) {
    std::wstring escaped;
    escaped.reserve(line.size());
    for (wchar_t c : line) {
        if (c == L'\n') {
            escaped += L"\\n";
        } else if (c == L'\r') {
            escaped += L"\\r";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::wstring RemoveTraceSecrets(const std::wstring& text) {
    return RemoveSecret(text, kStorePassword);
}

std::string EncodeTraceRecord(const std::wstring& header, const std::wstring& lines) {
    const std::wstring record = RemoveTraceSecrets(header + L"\r\n" + lines + L"\r\n");
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, record.data(), static_cast<int>(record.size()),
                                             nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, record.data(), static_cast<int>(record.size()), &utf8[0], length,
                          nullptr, nullptr);
    return utf8;
}

bool ShouldRotateTrace(std::uint64_t currentFileBytes, std::uint64_t recordBytes) {
    return currentFileBytes > 0 && currentFileBytes + recordBytes > kTraceRotationBytes;
}
