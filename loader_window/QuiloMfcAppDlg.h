#ifndef QUILO_LOADER_WINDOW_QUILOMFCAPPDLG_H
#define QUILO_LOADER_WINDOW_QUILOMFCAPPDLG_H

// The borderless loading window. Its initialisation runs the loading
// sequence, which normally starts the main application and waits for it; the
// window shows itself only when the user has something to see or do.

#include <string>

#include "bridge/BridgeHost.h"
#include "framework/DialogEx.h"
#include "launch/LaunchWindow.h"
#include "launch/RuntimeLaunch.h"
#include "loader_window/OwerButton.h"
#include "resources/resource.h"
#include "util/DateText.h"
#include "util/ScopedHandle.h"

// What start-up has learnt that the window needs.
struct LoaderWindowSettings {
    std::wstring installDirectory;
    // Asked for the computer's identifier; null, or not loaded, when start-up
    // could not load the bridge.
    CBridgeHost* bridge = nullptr;
    LaunchSettings launch;
    // The face the system's GUI font uses; a glyph font of that face is left
    // to the font mapper.
    std::wstring defaultGuiFontFace;
};

class CQuiloMfcAppDlg : public CDialogEx, public LaunchWindow {
public:
    enum { IDD = IDD_QUILOMFCAPP_DIALOG };

    explicit CQuiloMfcAppDlg(LoaderWindowSettings settings = {}, CWnd* parent = nullptr);
    ~CQuiloMfcAppDlg() override;

    void SetStatusText(const std::wstring& text);
    // The link that lets the user start the launch again after a failure.
    void ShowContinueLink();

    // What the launch may do with the window.
    void HideWindow() override;
    void PostQuitRequest() override;

    // Loading sequence: false when it ran the launch.
    bool RunLoadingSequence();

    const std::wstring& ComputerId() const { return computerId_; }
    // The font the status text currently uses; null when the window has no status text.
    HFONT StatusFont() const { return static_cast<HFONT>(statusFont_.get()); }

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    LRESULT OnNcHitTest(POINT screenPoint);
    HBRUSH OnCtlColor(HDC dc, HWND control);
    void OnTimer(UINT_PTR timerId);
    void OnDestroy();

    void OnBnClickedMinimize();
    void OnBnClickedClose();
    void OnNMClickContinue(NMHDR* notification, LRESULT* result);
    void OnNMClickOnlineSupport(NMHDR* notification, LRESULT* result);

private:
    void ConfigureCaptionButton(COwerButton& button, COLORREF hotBackColor);
    void PlaceCaptionButtonsInCorner();
    void CreateStatusFont();
    void PulseStatusText();

    HICON icon_ = nullptr;
    COwerButton minimizeButton_;
    COwerButton closeButton_;
    ScopedGdiObject statusFont_;
    std::wstring defaultGuiFontFace_;
    std::wstring installDirectory_;
    CBridgeHost* bridge_ = nullptr;
    RuntimeLaunch launch_;
    std::wstring computerId_;
    DateValue supportDate_;
};

#endif
