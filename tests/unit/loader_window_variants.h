#ifndef QUILO_TESTS_UNIT_LOADER_WINDOW_VARIANTS_H
#define QUILO_TESTS_UNIT_LOADER_WINDOW_VARIANTS_H

// Copies of the loader window's template with one control left out, for the
// rules that skip a step when its control is missing, and one with a caption
// and frame, for the painting that keeps the window frameless.
#define IDD_LOADER_WITHOUT_MINIMIZE 9102
#define IDD_LOADER_WITHOUT_CLOSE 9103
#define IDD_LOADER_WITHOUT_STATUS 9104
#define IDD_LOADER_FRAMED 9105

#endif
