#include "TestProcess.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <memory>
#include <utility>

namespace {

std::vector<wchar_t> BuildEnvironmentBlock(const std::vector<std::wstring>& extra) {
    std::vector<wchar_t> block;
    wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = current; entry && *entry; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        bool overridden = false;
        for (const std::wstring& item : extra) {
            const size_t equals = item.find(L'=');
            if (equals != std::wstring::npos && _wcsnicmp(text.c_str(), item.c_str(), equals + 1) == 0) {
                overridden = true;
            }
        }
        if (!overridden) {
            block.insert(block.end(), text.begin(), text.end());
            block.push_back(L'\0');
        }
    }
    ::FreeEnvironmentStringsW(current);
    for (const std::wstring& item : extra) {
        block.insert(block.end(), item.begin(), item.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

HANDLE MakeTokenWithoutAdministrators() {
    HANDLE processToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &processToken)) {
        return nullptr;
    }
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    ::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                               0, 0, &administrators);
    SID_AND_ATTRIBUTES denyOnly = {administrators, 0};
    HANDLE restricted = nullptr;
    ::CreateRestrictedToken(processToken, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &restricted);
    ::FreeSid(administrators);
    ::CloseHandle(processToken);
    return restricted;
}

}  // namespace

TestProcess::~TestProcess() { Kill(); }

TestProcess::TestProcess(TestProcess&& other) noexcept { *this = std::move(other); }

TestProcess& TestProcess::operator=(TestProcess&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::exchange(other.process_, nullptr);
        job_ = std::exchange(other.job_, nullptr);
        processId_ = std::exchange(other.processId_, 0);
        startError_ = other.startError_;
    }
    return *this;
}

TestProcess TestProcess::Start(const std::wstring& program, const StartOptions& options) {
    TestProcess started;
    std::wstring commandLine = L"\"" + program + L"\"";
    std::wstring directory = options.workingDirectory;
    if (directory.empty()) {
        directory = program.substr(0, program.find_last_of(L'\\'));
    }
    std::vector<wchar_t> environment = BuildEnvironmentBlock(options.environment);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    DWORD flags = CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED;
    BOOL created = FALSE;
    if (options.withoutAdministratorRights) {
        HANDLE token = MakeTokenWithoutAdministrators();
        created = token && ::CreateProcessAsUserW(token, program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                                  flags, environment.data(), directory.c_str(), &startup, &info);
        if (token) {
            ::CloseHandle(token);
        }
    } else {
        created = ::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags,
                                   environment.data(), directory.c_str(), &startup, &info);
    }
    if (!created) {
        started.startError_ = ::GetLastError();
        return started;
    }
    if (options.insideJobWithoutBreakaway) {
        started.job_ = ::CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        // No JOB_OBJECT_LIMIT_BREAKAWAY_OK: children may not leave the job.
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        ::SetInformationJobObject(started.job_, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        ::AssignProcessToJobObject(started.job_, info.hProcess);
    }
    if (options.whileSuspended) {
        options.whileSuspended(info);
    }
    ::ResumeThread(info.hThread);
    ::CloseHandle(info.hThread);
    started.process_ = info.hProcess;
    started.processId_ = info.dwProcessId;
    return started;
}

bool TestProcess::IsRunning() const { return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool TestProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (!process_) {
        return true;
    }
    if (::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode) {
        ::GetExitCodeProcess(process_, exitCode);
    }
    return true;
}

void TestProcess::Kill() {
    if (process_) {
        if (IsRunning()) {
            ::TerminateProcess(process_, 99);
            ::WaitForSingleObject(process_, 5000);
        }
        ::CloseHandle(process_);
        process_ = nullptr;
    }
    if (job_) {
        ::CloseHandle(job_);
        job_ = nullptr;
    }
}

std::wstring ProcessCommandLine(DWORD processId) {
    using QueryInformation = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryInformation>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    const std::unique_ptr<void, decltype(&::CloseHandle)> process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId), &::CloseHandle);
    if (!query || !process) {
        return std::wstring();
    }
    PROCESS_BASIC_INFORMATION basic = {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    if (query(process.get(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
        !::ReadProcessMemory(process.get(), basic.PebBaseAddress, &peb, sizeof(peb), nullptr) ||
        !::ReadProcessMemory(process.get(), peb.ProcessParameters, &parameters, sizeof(parameters),
                             nullptr)) {
        return std::wstring();
    }
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!text.empty() && !::ReadProcessMemory(process.get(), parameters.CommandLine.Buffer, &text[0],
                                              parameters.CommandLine.Length, nullptr)) {
        return std::wstring();
    }
    return text;
}

std::vector<DWORD> ProcessIdsByName(const std::wstring& exeName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return ids;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName.c_str()) == 0) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    ::CloseHandle(snapshot);
    return ids;
}

void KillProcessesByName(const std::wstring& exeName) {
    for (DWORD id : ProcessIdsByName(exeName)) {
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process) {
            ::TerminateProcess(process, 99);
            ::WaitForSingleObject(process, 5000);
            ::CloseHandle(process);
        }
    }
}

bool WaitForNoProcess(const std::wstring& exeName, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!ProcessIdsByName(exeName).empty()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(50);
    }
    return true;
}
