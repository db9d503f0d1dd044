#ifndef QUILO_LAUNCH_RUNTIMEPROCESS_H
#define QUILO_LAUNCH_RUNTIMEPROCESS_H

// The main application runs as a child inside the job "MyJobObject", which
// ends it (and whatever it started) when the launcher's last job handle
// closes: after the wait, or when the launcher dies for any reason. The child
// is created suspended and let run only once it is in the job: a process it
// started before that, or a launcher killed in between, would escape the job.

#include <string>

#include "util/ScopedHandle.h"

constexpr wchar_t kRuntimeJobName[] = L"MyJobObject";

// The job with kill-on-close set, or no handle when no job could be created
// or its limit could not be set; the child then runs without a job. When the
// named job cannot be ours (a job of that name already exists, the name is
// held by an object of another kind, access is denied), an unnamed job of our
// own is used instead: the name is only a convenience, the kill-on-close is not.
ScopedKernelHandle CreateKillOnCloseJob();

// Whether a failed start should be tried once more without asking to break
// away from the launcher's job: a launcher that program starters or remote
// desktop tools put in a job forbidding breakaway could otherwise never start
// the main application. The child then runs in a nested job.
bool ShouldRetryWithoutBreakaway(DWORD createError, DWORD creationFlags, bool launcherInJob);

// Creates the process of the command line (its first quoted token names the
// program) suspended, in the launcher's environment and current directory.
// False with `error` set when the system refused.
bool StartRuntimeProcess(const std::wstring& commandLine, ScopedProcessInformation& child, DWORD& error);

// Puts the suspended child into the job, then lets it run. A child that cannot
// join runs outside it: the job is closed, so that the wait does not count on
// it. False with `error` set when the child cannot be resumed; it is then
// ended, having run nothing.
bool AdmitToJobAndResume(ScopedKernelHandle& job, const ScopedProcessInformation& child, DWORD& error);

// Waits without limit until the child ends, together with the job when there
// is one; the job handle is then closed, ending anything left in it.
void WaitForRuntime(ScopedKernelHandle& job, const ScopedProcessInformation& child);

// The exit-code protocol of the runtime executable.
enum class RuntimeExitAction { RestartLauncher, ReportWrongArguments, StartUpdater, NormalEnd };
RuntimeExitAction ActionForExitCode(DWORD exitCode);

#endif
