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
constexpr wchar_t kSupportLine[] = L"\n更多解决请咨询软件服务人员，咨询电话：19999999999";

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

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers) {
    static LONG entered = 0;
    if (::InterlockedExchange(&entered, 1) != 0 || !pointers || !pointers->ExceptionRecord) {
        return EXCEPTION_EXECUTE_HANDLER;
    }
    CrashReport record = {pointers->ExceptionRecord->ExceptionCode,
                          pointers->ExceptionRecord->ExceptionAddress, ::GetCurrentThreadId(), pointers};
    ScopedKernelHandle thread(::CreateThread(nullptr, 0, &ReportCrash, &record, 0, nullptr));
    if (thread) {
        ::WaitForSingleObject(thread.get(), INFINITE);
    }
    // Ends the process: no debugger, no system error report on top of ours.
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

// The dump, the box and the trace run on a thread of their own: the faulting
// thread may have no stack left (a stack overflow), and its window may be in
// the middle of a message. The dump comes first, while the process is still
// as the fault left it. Each step is guarded apart, so that a step that fails
// (no memory left in a damaged process) leaves the others to be tried.
DWORD WINAPI ReportCrash(void* crashReport) {
    const auto* record = static_cast<const CrashReport*>(crashReport);
    CrashDumpResult dump;
    try {
        dump = WriteCrashDump(record->faultingThreadId, record->pointers);
    } catch (...) {
        dump.error = ERROR_NOT_ENOUGH_MEMORY;
    }
    try {
        ShowWarning(CrashMessage(record->code, ModuleNameAt(record->address)), kLastResortTitle);
    } catch (...) {
    }
    TraceValueOf(L"crash dump", [&] { return CrashDumpTraceValue(dump); });
    // The process ends right after this filter: nothing else would write the record.
    FlushTrace();
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
    ::SetUnhandledExceptionFilter(&OnUnhandledException);
}
