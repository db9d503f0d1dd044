#include <windows.h>

#include "app/QuiloMfcApp.h"

// The one application object; the framework finds it through AfxGetApp.
QuiloMfcApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return AfxWinMain(instance); }
