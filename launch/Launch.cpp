// Stand-in until the launch lands.
#include "loader_window/QuiloMfcAppDlg.h"

void CQuiloMfcAppDlg::LaunchRuntime() {}
