#ifndef QUILO_LAUNCH_LAUNCHWINDOW_H
#define QUILO_LAUNCH_LAUNCHWINDOW_H

// What the launch needs of the window that shows it, and nothing more: the
// loader window implements it, and tests put a fake in its place.

class LaunchWindow {
public:
    // Hidden while the main application runs: nothing is drawn then.
    virtual void HideWindow() = 0;
    // Ends the window's loop, and with it the launcher.
    virtual void PostQuitRequest() = 0;

protected:
    ~LaunchWindow() = default;
};

#endif
