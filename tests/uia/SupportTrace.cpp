#include "SupportTrace.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "LauncherScenario.h"
#include "ScratchInstall.h"

namespace {

bool IsDigits(const std::string& text, size_t at, size_t count) {
    if (at + count > text.size()) {
        return false;
    }
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

// "==== 2026-12-10 23:20:49.123 start pid 1234 ====" gives 1234; anything else 0.
DWORD HeaderPid(const std::string& line) {
    const std::string start = "==== ";
    const std::string pidPart = " start pid ";
    const std::string end = " ====";
    if (line.compare(0, start.size(), start) != 0 || line.size() < 5 + 23 + pidPart.size() + 1 + end.size() ||
        !IsDigits(line, 5, 4) || line[9] != '-' || !IsDigits(line, 10, 2) || line[12] != '-' ||
        !IsDigits(line, 13, 2) || line[15] != ' ' || !IsDigits(line, 16, 2) || line[18] != ':' ||
        !IsDigits(line, 19, 2) || line[21] != ':' || !IsDigits(line, 22, 2) || line[24] != '.' ||
        !IsDigits(line, 25, 3) || line.compare(28, pidPart.size(), pidPart) != 0 ||
        line.compare(line.size() - end.size(), end.size(), end) != 0) {
        return 0;
    }
    const size_t digitsAt = 28 + pidPart.size();
    const size_t digits = line.size() - end.size() - digitsAt;
    return digits > 0 && IsDigits(line, digitsAt, digits)
               ? static_cast<DWORD>(std::strtoul(line.substr(digitsAt, digits).c_str(), nullptr, 10))
               : 0;
}

}  // namespace

std::wstring SupportTraceFolder() {
    wchar_t* localAppData = nullptr;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &localAppData))) {
        ::CoTaskMemFree(localAppData);
        return std::wstring();
    }
    const std::wstring folder = std::wstring(localAppData) + L"\\Tarvex";
    ::CoTaskMemFree(localAppData);
    return folder;
}

void ClearSupportTraceFolder() {
    const std::wstring folder = SupportTraceFolder();
    ::DeleteFileW(folder.c_str());
    DeleteTree(folder);
}

bool TraceRecordLines::Has(const std::string& line) const {
    for (const std::string& own : lines) {
        if (own == line) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> TraceRecordLines::StartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

std::vector<TraceRecordLines> ReadSupportTrace(std::string* malformed) {
    const std::string text = ReadFileBytes(SupportTraceFolder() + L"\\launcher.log");
    std::vector<TraceRecordLines> records;
    std::string problems;
    bool inRecord = false;
    size_t at = 0;
    int lineNumber = 0;
    while (at < text.size()) {
        ++lineNumber;
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            problems += "line " + std::to_string(lineNumber) + " has no CRLF end; ";
            break;
        }
        const std::string line = text.substr(at, end - at);
        at = end + 2;
        if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos) {
            problems += "line " + std::to_string(lineNumber) + " holds a bare line break; ";
        }
        const DWORD pid = HeaderPid(line);
        if (!inRecord) {
            if (pid == 0) {
                problems += "line " + std::to_string(lineNumber) + " is outside a record: " + line + "; ";
                continue;
            }
            records.emplace_back();
            records.back().pid = pid;
            records.back().header = line;
            inRecord = true;
            continue;
        }
        if (line.empty()) {
            inRecord = false;
            continue;
        }
        if (line.compare(0, 5, "==== ") == 0) {
            problems += "line " + std::to_string(lineNumber) + " starts a record inside another; ";
        }
        records.back().lines.push_back(line);
    }
    if (inRecord) {
        problems += "the last record has no blank line after it; ";
    }
    const char* facts[] = {"launcher version: ", "windows: ", "wow64: "};
    for (const TraceRecordLines& record : records) {
        for (size_t i = 0; i < 3; ++i) {
            if (record.lines.size() <= i ||
                record.lines[i].compare(0, std::strlen(facts[i]), facts[i]) != 0) {
                problems += "record of pid " + std::to_string(record.pid) + " lacks \"" + facts[i] + "\"; ";
            }
        }
    }
    if (malformed) {
        *malformed = problems;
    }
    return records;
}

TraceRecordLines TraceRecordOf(DWORD processId) {
    std::string malformed;
    for (const TraceRecordLines& record : ReadSupportTrace(&malformed)) {
        if (record.pid == processId) {
            EXPECT_TRUE(malformed.empty()) << malformed;
            return record;
        }
    }
    ADD_FAILURE() << "no record of process " << processId << " in " << Utf8(SupportTraceFolder());
    return TraceRecordLines();
}

std::string ExpectedMessageBoxLine(const std::wstring& title, const std::wstring& text, const char* answer) {
    std::string escaped;
    for (char c : Utf8(text)) {
        if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else {
            escaped += c;
        }
    }
    return "message box: " + Utf8(title) + " | " + escaped + " | answer: " + answer;
}
