// Stand-in until runtime staging lands.
#include "loader_window/QuiloMfcAppDlg.h"

bool CQuiloMfcAppDlg::StageRuntime() { return false; }
bool CQuiloMfcAppDlg::CheckDataStore() { return false; }
