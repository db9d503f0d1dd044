#include <windows.h>
#include <exception>

#include <shlwapi.h>

#include "app/StartupState.h"
#include "bridge/BridgeHost.h"
#include "launch/ConfigFile.h"
#include "launch/DigestText.h"
#include "launch/FailureDiagnosis.h"
#include "launch/FileAttributes.h"
#include "launch/LaunchMessages.h"
#include "launch/RuntimeFiles.h"
#include "launch/SystemErrorText.h"
#include "loader_window/QuiloMfcAppDlg.h"
#include "util/FileDigest.h"
#include "util/MessageBox.h"
#include "util/Paths.h"

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
        ShowWarning(kBothRuntimeCopiesMessage, kSoftwareLoadTitle);
    } else {
        ShowWarning(kUnparkFailedPrefix + SystemErrorText(error), kSoftwareLoadTitle);
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

}  // namespace

bool CQuiloMfcAppDlg::StageRuntime() {
    const std::wstring& installDirectory = TheStartupState().installDirectory;
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
            ShowWarning(kRuntimeConfigMessage, kSoftwareLoadTitle);
            return false;
        }
        // An empty digest (the file could not be read) never equals a recorded one.
        const std::wstring actual = GetFileMd5(livePath);
        if (!actual.empty() && actual == DecodeDigestText(recorded)) {
            rebuild = false;
        }
        rebuild = MakeRuntimeReplaceable(livePath, rebuild);
    }

    if (rebuild) {
        std::wstring error;
        if (!TheBridgeHost().RegenerateRuntime(storePath, kStorePassword, kStoreRecordName, kStoreFieldName,
                                               installDirectory, kLiveRuntimeName, error)) {
            DiagnoseRegenerationFailure(error, storePath);
            return false;
        }
    }

    if (!::PathFileExistsW(livePath.c_str())) {
        ShowWarning(kRuntimeMissingMessage, kLoadSoftwareTitle);
        return false;
    }
    return true;
}

bool CQuiloMfcAppDlg::CheckDataStore() {
    const std::wstring& installDirectory = TheStartupState().installDirectory;
    std::wstring recorded;
    if (!CConfigFile(CombinePath(installDirectory, kConfigFileName))
             .GetValue(kDataStoreDigestKey, recorded)) {
        ShowWarning(kDataStoreConfigMessage, kSoftwareLoadTitle);
        return false;
    }
    const std::wstring actual = GetFileMd5(CombinePath(installDirectory, kDataStoreName));
    return !actual.empty() && actual == DecodeDigestText(recorded);
}
