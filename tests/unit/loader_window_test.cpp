// The loader window's rules, and the real window run in this process from its
// real template and from copies with a control left out.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "util/ProductConstants.h"
#include "framework/MfcLink.h"
#include "loader_window/LoaderWindowLayout.h"
#include "loader_window/QuiloMfcAppDlg.h"
#include "loader_window_variants.h"

namespace {

TEST(LoaderWindowLayout, CaptionButtonsOfA406PixelWindow) {
    const CaptionButtonRects rects = PlaceCaptionButtons(406);
    EXPECT_EQ(371, rects.close.left);
    EXPECT_EQ(405, rects.close.right - 1);
    EXPECT_EQ(333, rects.minimize.left);
    EXPECT_EQ(367, rects.minimize.right - 1);
    EXPECT_EQ(0, rects.close.top);
    EXPECT_EQ(34, rects.close.bottom - 1);
    EXPECT_EQ(0, rects.minimize.top);
    EXPECT_EQ(34, rects.minimize.bottom - 1);
}

TEST(LoaderWindowLayout, BandRowsDragOnlyStrictlyInsideTheBand) {
    const struct {
        int row;
        bool drags;
    } cases[] = {{-1, false}, {0, false}, {1, true}, {39, true}, {40, false}, {41, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.drags, IsInCaptionBand(500 + c.row, 500)) << "row " << c.row;
        EXPECT_EQ(c.drags, IsInCaptionBand(-300 + c.row, -300))
            << "row " << c.row << " on a screen left/above";
    }
}

TEST(LoaderWindowLayout, StatusWeightStartsBoldThenAlternates) {
    EXPECT_EQ(FW_BOLD, NextStatusWeight(0));
    EXPECT_EQ(FW_NORMAL, NextStatusWeight(FW_BOLD));
    EXPECT_EQ(FW_BOLD, NextStatusWeight(FW_NORMAL));
    EXPECT_EQ(FW_BOLD, NextStatusWeight(FW_SEMIBOLD));
}

TEST(LoaderWindowLayout, StatusFontHeightTruncatesLikeAPointSizeFont) {
    EXPECT_EQ(-18, StatusFontHeight(96));
    EXPECT_EQ(-23, StatusFontHeight(120));
    EXPECT_EQ(-28, StatusFontHeight(144));
}

TEST(LoaderWindowLayout, MinimizedIconIsCentredRoundingUp) {
    EXPECT_EQ(4, MinimizedIconOrigin(40, 41, 32, 32).x);
    EXPECT_EQ(5, MinimizedIconOrigin(40, 41, 32, 32).y);
    EXPECT_EQ(0, MinimizedIconOrigin(32, 32, 32, 32).x);
}

// The website link's properties as the template carries them.
TEST(LoaderWindowTemplate, WebsiteLinkInitialisationDataNamesTheSoftwareListPage) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HRSRC resource =
        ::FindResourceW(instance, MAKEINTRESOURCEW(IDD_QUILOMFCAPP_DIALOG), MAKEINTRESOURCEW(240));
    ASSERT_TRUE(resource);
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(instance, resource)));
    const DWORD size = ::SizeofResource(instance, resource);
    ASSERT_GE(size, 10u);
    WORD controlId = 0;
    WORD message = 0;
    DWORD length = 0;
    std::memcpy(&controlId, data, 2);
    std::memcpy(&message, data + 2, 2);
    std::memcpy(&length, data + 4, 4);
    EXPECT_EQ(IDC_LINK_WEBSITE, controlId);
    EXPECT_EQ(kInitControlMessage, message);
    ASSERT_LE(8 + length + 2, size);
    WORD terminator = 0xFFFF;
    std::memcpy(&terminator, data + 8 + length, 2);
    EXPECT_EQ(0, terminator);

    const LinkProperties link = ParseLinkInitData(reinterpret_cast<const char*>(data + 8), length);
    EXPECT_EQ(std::wstring(kWebsiteAddress) + kSoftwareListPath, LinkTarget(link));
    EXPECT_EQ(std::wstring(kWebsiteHost) + L"/softlist", link.url);
    EXPECT_EQ(L"http://", link.urlPrefix);
    EXPECT_EQ(L"点击进入Kelbor软件官网", link.tooltip);
    EXPECT_FALSE(link.fullTextTooltip);
}

TEST(LoaderWindowTemplate, IconIsOne45PixelImageWith32BitsPerPixel) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HRSRC group = ::FindResourceW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_TRUE(group);
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(instance, group)));
    WORD count = 0;
    std::memcpy(&count, data + 4, 2);
    ASSERT_EQ(1, count);
    const BYTE* entry = data + 6;  // GRPICONDIRENTRY: width, height, colours, reserved, planes, bit count...
    EXPECT_EQ(45, entry[0]);
    EXPECT_EQ(45, entry[1]);
    WORD bitCount = 0;
    std::memcpy(&bitCount, entry + 6, 2);
    EXPECT_EQ(32, bitCount);
}

// Answers this process's message boxes (the loading sequence reports the
// bridge that no test loads) until stopped.
class MessageBoxDismisser {
public:
    MessageBoxDismisser() : thread_([this] { Run(); }) {}
    ~MessageBoxDismisser() {
        stop_ = true;
        thread_.join();
    }

private:
    static BOOL CALLBACK Answer(HWND window, LPARAM) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (owner == ::GetCurrentProcessId() && std::wstring(name) == L"#32770" &&
            ::GetDlgItem(window, 0xFFFF)) {
            ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return TRUE;
    }
    void Run() {
        while (!stop_) {
            ::EnumWindows(&Answer, 0);
            ::Sleep(50);
        }
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

constexpr UINT_PTR kSafetyTimer = 1;

// The real window class, built from a chosen template; it records what the
// tests need at the end of initialisation and on each pulse, then closes.
class ProbedLoaderWindow : public CQuiloMfcAppDlg {
public:
    ProbedLoaderWindow(UINT templateId, size_t ticksToWatch) : ticksToWatch_(ticksToWatch) {
        templateId_ = templateId;
    }

    bool hadStatusFont = false;
    LONG initialWeight = -1;
    bool hadPulseTimer = false;
    RECT closeRect = {};
    RECT minimizeRect = {};
    RECT closeTemplateRect = {253, 0, 253 + 16, 14};
    RECT minimizeTemplateRect = {235, 0, 235 + 16, 14};
    int windowWidth = 0;
    std::vector<LONG> weights;
    bool timedOut = false;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CQuiloMfcAppDlg::OnInitDialog();
        hadStatusFont = StatusFont() != nullptr;
        initialWeight = StatusWeight();
        closeRect = ChildRect(IDC_BUTTON_CLOSE);
        minimizeRect = ChildRect(IDC_BUTTON_MINIMIZE);
        ::MapDialogRect(m_hWnd, &closeTemplateRect);
        ::MapDialogRect(m_hWnd, &minimizeTemplateRect);
        RECT window;
        ::GetWindowRect(m_hWnd, &window);
        windowWidth = window.right - window.left;
        if (ticksToWatch_ == 0) {
            hadPulseTimer = ::KillTimer(m_hWnd, IDT_STATUS_PULSE) != 0;
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        }
        ::SetTimer(m_hWnd, kSafetyTimer, 20000, nullptr);
        return result;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = CQuiloMfcAppDlg::WindowProc(message, wParam, lParam);
        if (message == WM_TIMER && wParam == IDT_STATUS_PULSE && weights.size() < ticksToWatch_) {
            weights.push_back(StatusWeight());
            if (weights.size() == ticksToWatch_) {
                ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
            }
        }
        if (message == WM_TIMER && wParam == kSafetyTimer) {
            timedOut = true;
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        }
        return result;
    }

private:
    LONG StatusWeight() const {
        HWND status = GetDlgItem(IDC_STATUS_TEXT);
        const auto font =
            status ? reinterpret_cast<HFONT>(::SendMessageW(status, WM_GETFONT, 0, 0)) : nullptr;
        LOGFONTW description = {};
        if (!font || !::GetObjectW(font, sizeof(description), &description)) {
            return -1;
        }
        return description.lfWeight;
    }

    RECT ChildRect(int id) const {
        RECT rect = {};
        HWND child = GetDlgItem(id);
        if (child) {
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        }
        return rect;
    }

    size_t ticksToWatch_;
};

void ExpectRect(const RECT& expected, const RECT& actual, const char* what) {
    EXPECT_EQ(expected.left, actual.left) << what;
    EXPECT_EQ(expected.top, actual.top) << what;
    EXPECT_EQ(expected.right, actual.right) << what;
    EXPECT_EQ(expected.bottom, actual.bottom) << what;
}

TEST(LoaderWindow, StatusTextTurnsBoldOnTheFirstTickAndRegularOnTheSecond) {
    MessageBoxDismisser dismisser;
    ProbedLoaderWindow window(IDD_QUILOMFCAPP_DIALOG, 3);
    window.DoModal();
    ASSERT_FALSE(window.timedOut);
    EXPECT_TRUE(window.hadStatusFont);
    EXPECT_EQ(FW_DONTCARE, window.initialWeight);
    EXPECT_EQ((std::vector<LONG>{FW_BOLD, FW_NORMAL, FW_BOLD}), window.weights);
}

TEST(LoaderWindow, RealTemplatePutsBothButtonsInTheCornerAndStartsThePulse) {
    MessageBoxDismisser dismisser;
    ProbedLoaderWindow window(IDD_QUILOMFCAPP_DIALOG, 0);
    window.DoModal();
    EXPECT_TRUE(window.hadPulseTimer);
    // 35 pixels square in the top-right corner, the minimise button 3 pixels
    // left of the close button; the width follows the dialog font.
    const int width = window.windowWidth;
    ExpectRect({width - 35, 0, width, 35}, window.closeRect, "close");
    ExpectRect({width - 73, 0, width - 38, 35}, window.minimizeRect, "minimise");
}

TEST(LoaderWindow, OneCaptionControlMissingLeavesTheOtherAtItsTemplatePlace) {
    MessageBoxDismisser dismisser;
    ProbedLoaderWindow withoutMinimize(IDD_LOADER_WITHOUT_MINIMIZE, 0);
    withoutMinimize.DoModal();
    ExpectRect(withoutMinimize.closeTemplateRect, withoutMinimize.closeRect, "close without minimise");

    ProbedLoaderWindow withoutClose(IDD_LOADER_WITHOUT_CLOSE, 0);
    withoutClose.DoModal();
    ExpectRect(withoutClose.minimizeTemplateRect, withoutClose.minimizeRect, "minimise without close");
}

TEST(LoaderWindow, WithoutStatusTextThereIsNoStatusFontAndNoPulse) {
    MessageBoxDismisser dismisser;
    ProbedLoaderWindow window(IDD_LOADER_WITHOUT_STATUS, 0);
    window.DoModal();
    EXPECT_FALSE(window.hadStatusFont);
    EXPECT_FALSE(window.hadPulseTimer);
    EXPECT_EQ(nullptr, window.StatusFont());
}

TEST(LoaderWindow, PaintingTakesOffTheCaptionAndFrameWhateverSetThem) {
    MessageBoxDismisser dismisser;
    constexpr LONG kFrameStyles = WS_CAPTION | WS_THICKFRAME;
    constexpr LONG kFrameExStyles = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
    // Records the styles around the first paint, then closes.
    struct Probe : ProbedLoaderWindow {
        using ProbedLoaderWindow::ProbedLoaderWindow;
        bool painted = false;
        LONG styleBefore = 0;
        LONG exStyleBefore = 0;
        LONG styleAfter = 0;
        LONG exStyleAfter = 0;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message != WM_PAINT || painted || ::IsIconic(m_hWnd)) {
                return ProbedLoaderWindow::WindowProc(message, wParam, lParam);
            }
            styleBefore = ::GetWindowLongW(m_hWnd, GWL_STYLE);
            exStyleBefore = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
            const LRESULT result = ProbedLoaderWindow::WindowProc(message, wParam, lParam);
            styleAfter = ::GetWindowLongW(m_hWnd, GWL_STYLE);
            exStyleAfter = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
            painted = true;
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
            return result;
        }
    } probe(IDD_LOADER_FRAMED, 1000);
    probe.DoModal();
    ASSERT_TRUE(probe.painted) << "the window was never painted";
    // The template gave the window its frame; nothing took it off before the paint.
    ASSERT_EQ(kFrameStyles, probe.styleBefore & kFrameStyles);
    ASSERT_EQ(kFrameExStyles, probe.exStyleBefore & kFrameExStyles);
    EXPECT_EQ(0, probe.styleAfter & kFrameStyles);
    EXPECT_EQ(0, probe.exStyleAfter & kFrameExStyles);
    // Only those bits go: the window stays a visible pop-up on the taskbar.
    EXPECT_EQ(probe.styleBefore & ~kFrameStyles, probe.styleAfter);
    EXPECT_EQ(WS_EX_APPWINDOW, probe.exStyleAfter & WS_EX_APPWINDOW);
}

TEST(LoaderWindow, IconIsSetBigAndSmall) {
    MessageBoxDismisser dismisser;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    struct Probe : ProbedLoaderWindow {
        using ProbedLoaderWindow::ProbedLoaderWindow;
        HICON* bigIcon = nullptr;
        HICON* smallIcon = nullptr;
        BOOL OnInitDialog() override {
            const BOOL result = ProbedLoaderWindow::OnInitDialog();
            *bigIcon = reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_GETICON, ICON_BIG, 0));
            *smallIcon = reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_GETICON, ICON_SMALL, 0));
            return result;
        }
    } probe(IDD_QUILOMFCAPP_DIALOG, 0);
    probe.bigIcon = &bigIcon;
    probe.smallIcon = &smallIcon;
    probe.DoModal();
    EXPECT_TRUE(bigIcon);
    EXPECT_EQ(bigIcon, smallIcon);
}

}  // namespace
