#include "launch/RuntimeProcess.h"

#include <vector>

ScopedKernelHandle CreateKillOnCloseJob() {
    ScopedKernelHandle job(::CreateJobObjectW(nullptr, kRuntimeJobName));
    // A job of that name that already exists belongs to someone else (or is
    // the remains of a launcher that was killed): its handles, not ours, would
    // decide when the main application dies, and a job whose processes have
    // all ended may already be signalled. A name that cannot be had at all
    // would otherwise leave the main application without any job.
    if (!job || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        job.Close();
        job.reset(::CreateJobObjectW(nullptr, nullptr));
    }
    if (!job) {
        return job;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
        job.Close();
    }
    return job;
}

bool ShouldRetryWithoutBreakaway(DWORD createError, DWORD creationFlags, bool launcherInJob) {
    return createError == ERROR_ACCESS_DENIED && (creationFlags & CREATE_BREAKAWAY_FROM_JOB) != 0 &&
           launcherInJob;
}

namespace {

bool IsLauncherInJob() {
    BOOL inJob = FALSE;
    return ::IsProcessInJob(::GetCurrentProcess(), nullptr, &inJob) && inJob;
}

bool CreateChild(const std::wstring& commandLine, DWORD creationFlags, ScopedProcessInformation& child,
                 DWORD& error) {
    // CreateProcessW may write into the command line, so it gets its own buffer.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr,
                          &startup, &info)) {
        error = ::GetLastError();
        return false;
    }
    child.TakeFrom(info);
    return true;
}

}  // namespace

bool StartRuntimeProcess(const std::wstring& commandLine, ScopedProcessInformation& child, DWORD& error) {
    constexpr DWORD kFlags = CREATE_SUSPENDED | CREATE_BREAKAWAY_FROM_JOB;
    if (CreateChild(commandLine, kFlags, child, error)) {
        return true;
    }
    if (!ShouldRetryWithoutBreakaway(error, kFlags, IsLauncherInJob())) {
        return false;
    }
    return CreateChild(commandLine, kFlags & ~CREATE_BREAKAWAY_FROM_JOB, child, error);
}

bool AdmitToJobAndResume(ScopedKernelHandle& job, const ScopedProcessInformation& child, DWORD& error) {
    if (job && !::AssignProcessToJobObject(job.get(), child.process.get())) {
        job.Close();
    }
    if (::ResumeThread(child.thread.get()) != static_cast<DWORD>(-1)) {
        return true;
    }
    // A child left suspended would keep the launcher waiting for ever.
    error = ::GetLastError();
    ::TerminateProcess(child.process.get(), 1);
    ::WaitForSingleObject(child.process.get(), 10000);
    return false;
}

void WaitForRuntime(ScopedKernelHandle& job, const ScopedProcessInformation& child) {
    if (job) {
        HANDLE handles[2] = {child.process.get(), job.get()};
        ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        job.Close();
        return;
    }
    ::WaitForSingleObject(child.process.get(), INFINITE);
}

RuntimeExitAction ActionForExitCode(DWORD exitCode) {
    switch (exitCode) {
        case 4:
            return RuntimeExitAction::RestartLauncher;
        case 2:
            return RuntimeExitAction::ReportWrongArguments;
        case 6:
            return RuntimeExitAction::StartUpdater;
        default:
            return RuntimeExitAction::NormalEnd;
    }
}
