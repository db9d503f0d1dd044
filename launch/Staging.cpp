#include <windows.h>
#include <exception>

#include <shlwapi.h>

#include "launch/ConfigFile.h"
#include "launch/DigestText.h"
#include "launch/EarlyDigests.h"
#include "launch/FailureDiagnosis.h"
#include "launch/FileAttributes.h"
#include "launch/LaunchMessages.h"
#include "launch/RuntimeFiles.h"
#include "launch/SystemErrorText.h"
#include "launch/RuntimeLaunch.h"
#include "util/EarlyFileDigest.h"
#include "util/FileDigest.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/StartupPhases.h"
#include "util/Trace.h"

namespace {

// Moves the parked copy to its live name. False after telling the user: the
// move fails when a live file is already there, and starting either copy
// could run a stale main application.
bool UnparkRuntime(const std::wstring& parkedPath, const std::wstring& livePath) {
    if (::MoveFileW(parkedPath.c_str(), livePath.c_str())) {
        return true;
    }
    const DWORD error = ::GetLastError();
    if (FileExists(livePath)) {
        ShowWarning(kBothRuntimeCopiesMessage, kLoadingFailureTitle);
    } else {
        ShowWarning(kUnparkFailedPrefix + SystemErrorText(error), kLoadingFailureTitle);
    }
    return false;
}

// A read-only executable cannot be overwritten by the rebuild. When its
// attribute cannot be cleared, deleting it lets the bridge write a fresh one.
bool MakeRuntimeReplaceable(const std::wstring& livePath, bool rebuild) {
    try {
        if (IsFileReadOnly(livePath) && !MakeFileWritable(livePath) && ::DeleteFileW(livePath.c_str())) {
            return true;
        }
    } catch (const std::exception&) {
        // Staging goes on with the digest's verdict.
    }
    return rebuild;
}

// A file's digest, taken from its early reading when there is one; the time
// waited for it is counted apart from the launcher's own.
std::wstring TimedFileMd5(const std::wstring& path, EarlyFileDigest* early, PhaseRecorder& phases) {
    const TraceStopwatch stopwatch;
    std::wstring digest = early ? early->Take(path) : GetFileMd5(path);
    phases.AddDigestTime(stopwatch.ElapsedMilliseconds());
    return digest;
}

}  // namespace

bool RuntimeLaunch::StageRuntime() {
    const std::wstring& installDirectory = settings_.installDirectory;
    const std::wstring livePath = CombinePath(installDirectory, kLiveRuntimeName);
    const std::wstring parkedPath = CombinePath(installDirectory, kParkedRuntimeName);
    const std::wstring storePath = CombinePath(installDirectory, kDataStoreName);

    if (FileExists(parkedPath) && !UnparkRuntime(parkedPath, livePath)) {
        return false;
    }

    bool rebuild = true;
    if (FileExists(livePath)) {
        std::wstring recorded;
        if (!CConfigFile(CombinePath(installDirectory, kConfigFileName))
                 .GetValue(kRuntimeDigestKey, recorded)) {
            TraceValue(L"runtime digest", L"not recorded in the configuration");
            ShowWarning(kRuntimeConfigMessage, kLoadingFailureTitle);
            return false;
        }
        // An empty digest (the file could not be read) never equals a recorded one.
        const std::wstring actual =
            TimedFileMd5(livePath, settings_.earlyDigests ? &settings_.earlyDigests->runtime : nullptr, phases_);
        if (!actual.empty() && actual == DecodeDigestText(recorded)) {
            rebuild = false;
        }
        TraceValue(L"runtime digest", actual.empty() ? L"unreadable" : rebuild ? L"stale" : L"matches");
        rebuild = MakeRuntimeReplaceable(livePath, rebuild);
    } else {
        TraceValue(L"runtime digest", L"no executable in place");
    }

    if (rebuild) {
        std::wstring error;
        if (!IsBridgeLoaded() ||
            !settings_.bridge->RegenerateRuntime(storePath, kStorePassword, kStoreRecordName, kStoreFieldName,
                                                 installDirectory, kLiveRuntimeName, error)) {
            TraceValueOf(L"rebuild", [&] { return L"failed: " + error; });
            DiagnoseRegenerationFailure(error, storePath);
            return false;
        }
        TraceValue(L"rebuild", L"done");
    }

    if (!::PathFileExistsW(livePath.c_str())) {
        TraceValue(L"runtime", L"missing after staging");
        ShowWarning(kRuntimeMissingMessage, kRuntimeUnavailableTitle);
        return false;
    }
    return true;
}

bool RuntimeLaunch::CheckDataStore() {
    const std::wstring& installDirectory = settings_.installDirectory;
    std::wstring recorded;
    if (!CConfigFile(CombinePath(installDirectory, kConfigFileName))
             .GetValue(kDataStoreDigestKey, recorded)) {
        TraceValue(L"data store digest", L"not recorded in the configuration");
        ShowWarning(kDataStoreConfigMessage, kLoadingFailureTitle);
        return false;
    }
    const std::wstring actual =
        TimedFileMd5(CombinePath(installDirectory, kDataStoreName),
                     settings_.earlyDigests ? &settings_.earlyDigests->dataStore : nullptr, phases_);
    const bool matches = !actual.empty() && actual == DecodeDigestText(recorded);
    TraceValue(L"data store digest", actual.empty() ? L"unreadable" : matches ? L"matches" : L"damaged");
    return matches;
}
