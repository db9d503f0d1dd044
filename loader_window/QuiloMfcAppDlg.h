#ifndef QUILO_LOADER_WINDOW_QUILOMFCAPPDLG_H
#define QUILO_LOADER_WINDOW_QUILOMFCAPPDLG_H

// The borderless loading window. Its initialisation runs the loading
// sequence, which normally starts the main application and waits for it; the
// window shows itself only when the user has something to see or do.

#include <string>

#include "framework/DialogEx.h"
#include "loader_window/OwerButton.h"
#include "resources/resource.h"
#include "util/DateText.h"
#include "util/ScopedHandle.h"

class CQuiloMfcAppDlg : public CDialogEx {
public:
    enum { IDD = IDD_QUILOMFCAPP_DIALOG };

    explicit CQuiloMfcAppDlg(CWnd* parent = nullptr);
    ~CQuiloMfcAppDlg() override;

    // Window operations the loading sequence and the launch use.
    void SetStatusText(const std::wstring& text);
    void ShowContinueLink();
    void HideWindow();

    // Loading sequence: false when it ran the launch.
    bool RunLoadingSequence();

    // Runtime staging and the data store check.
    bool StageRuntime();
    bool CheckDataStore();

    // Starts the main application, waits for it and acts on its exit code.
    void LaunchRuntime();

    // Update hand-off.
    bool IsUpdatePending();
    bool StartUpdater(bool reportMissing);

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
    std::wstring computerId_;
    DateValue supportDate_;
};

#endif
