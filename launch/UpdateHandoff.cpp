#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "app/StartupState.h"
#include "launch/RuntimeFiles.h"
#include "launch/SystemErrorText.h"
#include "launch/UpdateHandoff.h"
#include "launch/UpdateMarker.h"
#include "loader_window/QuiloMfcAppDlg.h"
#include "util/MessageBox.h"
#include "util/Paths.h"

bool CQuiloMfcAppDlg::IsUpdatePending() {
    const std::wstring& installDirectory = TheStartupState().installDirectory;
    const std::wstring markerPath = CombinePath(installDirectory, kUpdateMarkerName);
    if (!::PathFileExistsW(markerPath.c_str())) {
        return false;
    }
    if (IsFolderEmpty(CombinePath(installDirectory, kUpdateFolderName))) {
        return false;
    }
    std::wstring ignoredError;
    return MarkerSaysUpdate(ReadLengthPrefixedText(markerPath, ignoredError));
}

bool CQuiloMfcAppDlg::StartUpdater(bool reportMissing) {
    const StartupState& state = TheStartupState();
    const std::wstring updaterPath = CombinePath(state.installDirectory, state.updaterFileName);
    if (!::PathFileExistsW(updaterPath.c_str())) {
        if (reportMissing) {
            ShowWarning(kUpdaterMissingMessage, kUpdateTitle);
        }
        return false;
    }
    // No working directory: the updater inherits the launcher's current directory.
    const HINSTANCE started =
        ::ShellExecuteW(nullptr, L"open", updaterPath.c_str(), nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(started) <= 32) {
        ShowWarning(kUpdaterStartFailedPrefix + ReduceFailureText(SystemErrorText(::GetLastError())),
                    kUpdateTitle);
        return false;
    }
    // The next start of the launcher must not hand over a second time.
    const std::wstring markerPath = CombinePath(state.installDirectory, kUpdateMarkerName);
    if (::PathFileExistsW(markerPath.c_str()) && !::DeleteFileW(markerPath.c_str())) {
        ShowWarning(kMarkerNotDeletedPrefix + SystemErrorText(::GetLastError()), kUpdateTitle);
    }
    return true;
}
