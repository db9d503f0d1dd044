// The loader window's buttons and links: minimise, close after a question,
// continue an interrupted launch, and open the online-support program.
#include "loader_window/QuiloMfcAppDlg.h"

#include <exception>

#include "util/ProductConstants.h"
#include "loader_window/SupportCommand.h"
#include "loader_window/SupportProgram.h"
#include "util/MessageBox.h"
#include "util/Paths.h"
#include "util/SystemFacts.h"
#include "util/TextConvert.h"

void CQuiloMfcAppDlg::OnBnClickedMinimize() {
    ShowWindow(SW_MINIMIZE);
}

void CQuiloMfcAppDlg::OnBnClickedClose() {
    if (AskOkCancel(kCloseQuestionText, kCloseQuestionTitle) != IDOK) {
        return;
    }
    // The dialog turns WM_CLOSE into its cancel command, which ends the modal loop.
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CQuiloMfcAppDlg::OnNMClickContinue(NMHDR*, LRESULT* result) {
    launch_.LaunchRuntime();
    *result = 0;
}

void CQuiloMfcAppDlg::OnNMClickOnlineSupport(NMHDR*, LRESULT* result) {
    const std::wstring fileName = SupportProgramFileName();
    // The process name is the only guard against a second support window.
    if (IsProcessRunning(fileName)) {
        ShowWarning(kSupportAlreadyOpenText, kSupportAlreadyOpenTitle);
        return;
    }
    try {
        const std::wstring programPath = CombinePath(installDirectory_, fileName);
        const std::wstring argument = BuildSupportArgument(ComputerId(), GetOwnFileVersion(),
                                                           FormatDate(supportDate_, kSupportDatePattern));
        const std::wstring commandLine = BuildSupportCommandLine(
            programPath, kSupportServerAddress, kSupportServerPort, argument, kProductDisplayName);
        if (!StartSupportProcess(programPath, commandLine)) {
            ShowWarning(kSupportStartFailedText, kSupportFailureTitle);
        }
    } catch (const std::exception& error) {
        ShowWarning(SupportExceptionMessage(NarrowToWide(error.what())), kSupportFailureTitle);
    }
    *result = 0;
}
