#ifndef QUILO_PRODUCT_DEMO_DEMOCOMMON_H
#define QUILO_PRODUCT_DEMO_DEMOCOMMON_H

// What the three demo programs share: a font that can show Chinese text, the
// optional self-ending used when nobody watches the demo, and the optional
// record of how each program was started (for the end-to-end tests).

#include <string>
#include <vector>

#include <windows.h>

// Seconds after which a demo program ends by itself with exit code 0, taken
// from the environment variable TARVEX_DEMO_AUTOCLOSE_SECONDS; 0 when unset.
UINT DemoAutoCloseSeconds();

// Appends `text` (UTF-8) to <TARVEX_DEMO_RECORD_DIR>\<fileName> when that
// variable is set; does nothing otherwise.
void DemoRecord(const std::wstring& fileName, const std::wstring& text);

// The arguments as the C runtime splits the command line.
std::vector<std::wstring> DemoArguments();

// A font of the given pixel height whose face has Chinese glyphs, or the
// default GUI font. The caller owns a font this creates.
HFONT CreateDemoFont(int height, bool bold = false);

// Sets `font` on every child window of `parent`.
void ApplyFontToChildren(HWND parent, HFONT font);

// Registers a plain window class with the dialog background colour.
bool RegisterDemoWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure);

// Runs the message loop; the result is the exit code given to PostQuitMessage.
int RunDemoMessageLoop();

std::string DemoUtf8(const std::wstring& text);

#endif
