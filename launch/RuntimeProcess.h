#ifndef QUILO_LAUNCH_RUNTIMEPROCESS_H
#define QUILO_LAUNCH_RUNTIMEPROCESS_H

// The main application runs as a child inside the job "MyJobObject", which
// ends it (and whatever it started) when the launcher's last job handle
// closes: after the wait, or when the launcher dies for any reason.

#include <string>

#include "util/ScopedHandle.h"

constexpr wchar_t kRuntimeJobName[] = L"MyJobObject";

// The job with kill-on-close set, or no handle when it could not be created
// or its limit could not be set; the child then runs without a job. When a
// job of that name already exists, an unnamed job of our own is used instead.
ScopedKernelHandle CreateKillOnCloseJob();

// Whether a failed start should be tried once more without asking to break
// away from the launcher's job: a launcher that program starters or remote
// desktop tools put in a job forbidding breakaway could otherwise never start
// the main application. The child then runs in a nested job.
bool ShouldRetryWithoutBreakaway(DWORD createError, DWORD creationFlags, bool launcherInJob);

// Starts the command line (its first quoted token names the program) running,
// in the launcher's environment and current directory. False with
// `error` set when the system refused.
bool StartRuntimeProcess(const std::wstring& commandLine, ScopedProcessInformation& child, DWORD& error);

// Waits without limit until the child ends. Inside the job when it can be
// assigned there; the job handle is then closed, ending anything left in it.
void WaitForRuntime(ScopedKernelHandle& job, const ScopedProcessInformation& child);

// The exit-code protocol of the runtime executable.
enum class RuntimeExitAction { RestartLauncher, ReportWrongArguments, StartUpdater, NormalEnd };
RuntimeExitAction ActionForExitCode(DWORD exitCode);

#endif
