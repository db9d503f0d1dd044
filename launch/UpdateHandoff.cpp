#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "launch/RuntimeFiles.h"
#include "util/ShellStartError.h"
#include "launch/SystemErrorText.h"
#include "launch/UpdateHandoff.h"
#include "launch/UpdateMarker.h"
#include "launch/RuntimeLaunch.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/Trace.h"

bool RuntimeLaunch::IsUpdatePending() {
    const std::wstring& installDirectory = settings_.installDirectory;
    const std::wstring markerPath = CombinePath(installDirectory, kUpdateMarkerName);
    if (!::PathFileExistsW(markerPath.c_str())) {
        return false;
    }
    if (IsFolderEmpty(CombinePath(installDirectory, kUpdateFolderName))) {
        return false;
    }
    std::wstring ignoredError;
    const bool pending = MarkerSaysUpdate(ReadLengthPrefixedText(markerPath, ignoredError));
    TraceValue(L"update pending", pending ? L"yes" : L"no, the marker says otherwise");
    return pending;
}

bool RuntimeLaunch::StartUpdater(bool reportMissing) {
    const std::wstring updaterPath = CombinePath(settings_.installDirectory, settings_.updaterFileName);
    if (!::PathFileExistsW(updaterPath.c_str())) {
        TraceValueOf(L"update hand-off", [&] { return settings_.updaterFileName + L" missing"; });
        if (reportMissing) {
            ShowWarning(kUpdaterMissingMessage, kUpdateTitle);
        }
        return false;
    }
    // The updater replaces the files the launcher may still be reading early.
    if (settings_.earlyDigests) {
        settings_.earlyDigests->Stop();
    }
    // No working directory: the updater inherits the launcher's current directory.
    const HINSTANCE started =
        ::ShellExecuteW(nullptr, L"open", updaterPath.c_str(), nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(started) <= 32) {
        const DWORD error = ShellStartError(::GetLastError(), reinterpret_cast<INT_PTR>(started));
        TraceValueOf(L"update hand-off", [&] { return settings_.updaterFileName + L" failed to start"; });
        ShowWarning(kUpdaterStartFailedPrefix + ReduceFailureText(SystemErrorText(error)), kUpdateTitle);
        return false;
    }
    TraceValueOf(L"update hand-off", [&] { return settings_.updaterFileName + L" started"; });
    // The next start of the launcher must not hand over a second time.
    const std::wstring markerPath = CombinePath(settings_.installDirectory, kUpdateMarkerName);
    if (::PathFileExistsW(markerPath.c_str()) && !::DeleteFileW(markerPath.c_str())) {
        ShowWarning(kMarkerNotDeletedPrefix + SystemErrorText(::GetLastError()), kUpdateTitle);
    }
    return true;
}
