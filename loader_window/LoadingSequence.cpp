// Stand-in until the loading sequence lands: the window simply stays.
#include "loader_window/QuiloMfcAppDlg.h"

bool CQuiloMfcAppDlg::RunLoadingSequence() { return true; }
