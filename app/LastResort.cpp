#include "app/LastResort.h"

#include <cwchar>

#include "app/CrashDump.h"
#include "launch/LaunchMessages.h"
#include "launch/SystemErrorText.h"
#include "util/MessageBox.h"
#include "util/ScopedHandle.h"
#include "util/TextConvert.h"
#include "util/Trace.h"

namespace {

constexpr wchar_t kUnknownExceptionReason[] = L"原因：系统错误。";
constexpr wchar_t kUnknownModule[] = L"未知模块";
constexpr wchar_t kSupportLine[] = L"\n" QUILO_SUPPORT_CONTACT;

std::wstring FileNamePart(const std::wstring& path) {
    const std::wstring::size_type separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring ModuleNameAt(const void* address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<const wchar_t*>(address), &module)) {
        return std::wstring();
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? FileNamePart(path) : std::wstring();
}

std::wstring CrashDumpTraceValue(const CrashDumpResult& dump) {
    if (!dump.fileName.empty()) {
        return dump.fileName;
    }
    wchar_t reason[48] = {};
    std::swprintf(reason, 48, L"not written (error %lu)", static_cast<unsigned long>(dump.error));
    return reason;
}

// From the fault to the warning on the screen (or the end of the process),
// and from the user's answer to the record written: the faulting thread may
// hold a lock the report needs (the loader's, the process heap's), and the
// launcher must then end rather than hang holding the single-instance mutex.
constexpr DWORD kWarningDeadlineMs = 9000;
constexpr DWORD kRecordDeadlineMs = 10000;
constexpr DWORD kPollMs = 100;

// Made at start-up, before the bridge is loaded: starting a thread after a
// fault needs the loader lock, which the faulting thread may hold. The warning
// and the dump have a thread each, so that a slow dump never holds the warning
// back.
struct CrashReporter {
    ScopedKernelHandle start;     // set by the filter: the report is filled in
    ScopedKernelHandle answered;  // the warning was answered, or could not be shown
    ScopedKernelHandle done;      // the dump is written and the record with it
    ScopedKernelHandle warningThread;
    ScopedKernelHandle dumpThread;
    DWORD warningThreadId = 0;
    CrashReport report = {};
};

CrashReporter& TheCrashReporter() {
    static CrashReporter reporter;
    return reporter;
}

DWORD WINAPI WaitThenWarn(void*) {
    CrashReporter& reporter = TheCrashReporter();
    if (::WaitForSingleObject(reporter.start.get(), INFINITE) == WAIT_OBJECT_0) {
        WarnOfCrash(&reporter.report);
    }
    return 0;
}

DWORD WINAPI WaitThenDump(void*) {
    CrashReporter& reporter = TheCrashReporter();
    if (::WaitForSingleObject(reporter.start.get(), INFINITE) == WAIT_OBJECT_0) {
        DumpAndRecordCrash(&reporter.report);
    }
    return 0;
}

void PrepareCrashReporter() {
    CrashReporter& reporter = TheCrashReporter();
    if (reporter.warningThread) {
        return;
    }
    reporter.start.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    reporter.answered.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    reporter.done.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!reporter.start || !reporter.answered || !reporter.done) {
        return;
    }
    reporter.dumpThread.reset(::CreateThread(nullptr, 0, &WaitThenDump, nullptr, 0, nullptr));
    if (!reporter.dumpThread) {
        return;
    }
    reporter.warningThread.reset(
        ::CreateThread(nullptr, 0, &WaitThenWarn, nullptr, 0, &reporter.warningThreadId));
}

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM found) {
    if (::IsWindowVisible(window)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool IsWarningOnScreen(DWORD warningThreadId) {
    bool found = false;
    ::EnumThreadWindows(warningThreadId, &FindVisibleWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Every wait is bounded but the user's reading of the warning.
void WaitForCrashReport(const CrashReporter& reporter) {
    const ULONGLONG deadline = ::GetTickCount64() + kWarningDeadlineMs;
    for (;;) {
        const DWORD waited = ::WaitForSingleObject(reporter.answered.get(), kPollMs);
        if (waited == WAIT_OBJECT_0) {
            break;
        }
        if (IsWarningOnScreen(reporter.warningThreadId)) {
            ::WaitForSingleObject(reporter.answered.get(), INFINITE);
            break;
        }
        if (waited == WAIT_FAILED || ::GetTickCount64() >= deadline) {
            return;
        }
    }
    ::WaitForSingleObject(reporter.done.get(), kRecordDeadlineMs);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers) {
    static LONG entered = 0;
    if (::InterlockedExchange(&entered, 1) != 0 || !pointers || !pointers->ExceptionRecord) {
        return EXCEPTION_EXECUTE_HANDLER;
    }
    const DWORD code = pointers->ExceptionRecord->ExceptionCode;
    CrashReporter& reporter = TheCrashReporter();
    if (reporter.warningThread) {
        reporter.report = {code,
                           pointers->ExceptionRecord->ExceptionAddress,
                           ::GetCurrentThreadId(),
                           pointers,
                           reporter.answered.get(),
                           reporter.done.get()};
        ::SetEvent(reporter.start.get());
        WaitForCrashReport(reporter);
    }
    // Ends the process here, with the exception's code as the system would:
    // the system's own way runs the process's exit, which takes the loader
    // lock that the faulting thread may hold. No debugger, no system error
    // report on top of ours.
    ::TerminateProcess(::GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

// The report runs on threads of their own: the faulting thread may have no
// stack left (a stack overflow), and its window may be in the middle of a
// message. Each step is guarded apart, so that a step that fails (no memory
// left in a damaged process) leaves the others to be tried.
DWORD WINAPI WarnOfCrash(void* crashReport) {
    const auto* record = static_cast<const CrashReport*>(crashReport);
    try {
        ShowWarning(CrashMessage(record->code, ModuleNameAt(record->address)), kLoadingFailureTitle);
    } catch (...) {
    }
    if (record->answered) {
        ::SetEvent(record->answered);
    }
    return 0;
}

DWORD WINAPI DumpAndRecordCrash(void* crashReport) {
    const auto* record = static_cast<const CrashReport*>(crashReport);
    CrashDumpResult dump;
    try {
        dump = WriteCrashDump(record->faultingThreadId, record->pointers);
    } catch (...) {
        dump.error = ERROR_NOT_ENOUGH_MEMORY;
    }
    // The record names the box before the dump, as the user met them; the
    // filter ends the process if the answer never comes.
    if (record->answered) {
        ::WaitForSingleObject(record->answered, INFINITE);
    }
    TraceValueOf(L"crash dump", [&] { return CrashDumpTraceValue(dump); });
    // The process ends right after the filter: nothing else would write the record.
    FlushTrace();
    if (record->done) {
        ::SetEvent(record->done);
    }
    return 0;
}

std::wstring UncaughtExceptionMessage(const std::exception* error) {
    const std::wstring reason =
        error ? ReduceFailureText(NarrowToWide(error->what())) : kUnknownExceptionReason;
    return kLaunchFailedPrefix + reason;
}

std::wstring CrashMessage(DWORD exceptionCode, const std::wstring& moduleName) {
    wchar_t code[16] = {};
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(exceptionCode));
    return std::wstring(L"软件运行出现异常，即将关闭！\n异常代码：") + code + L"，出错模块：" +
           (moduleName.empty() ? kUnknownModule : moduleName) +
           L"\n请重新启动软件，若多次出现，请尝试下载完整安装包安装修复。" + kSupportLine;
}

std::wstring LoaderWindowFailureMessage(DWORD error) {
    std::wstring reason = SystemErrorText(error);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ')) {
        reason.pop_back();
    }
    return L"软件加载失败！\n无法创建加载窗口，请重新启动软件。\n原因：" + reason + kSupportLine;
}

void InstallCrashFilter() {
    PrepareTrace();
    PrepareCrashDump();
    PrepareCrashReporter();
    ::SetUnhandledExceptionFilter(&OnUnhandledException);
}
