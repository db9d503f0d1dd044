// Stand-in until the update hand-off lands.
#include "loader_window/QuiloMfcAppDlg.h"

bool CQuiloMfcAppDlg::IsUpdatePending() { return false; }
bool CQuiloMfcAppDlg::StartUpdater(bool) { return false; }
