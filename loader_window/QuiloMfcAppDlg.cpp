#include "loader_window/QuiloMfcAppDlg.h"

#include <commctrl.h>

#include "util/ProductConstants.h"
#include "loader_window/LoaderWindowLayout.h"

namespace {

constexpr wchar_t kStatusFontFace[] = L"楷体";
constexpr wchar_t kGlyphFontFace[] = L"SimHei";

// Whatever added a caption or a frame (a theme, a style change of the shell),
// the window stays borderless.
constexpr LONG kFrameStyles = WS_CAPTION | WS_THICKFRAME;
constexpr LONG kFrameExStyles = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;

void RemoveStyleBits(HWND hwnd, int index, LONG bits) {
    const LONG style = ::GetWindowLongW(hwnd, index);
    if (style & bits) {
        ::SetWindowLongW(hwnd, index, style & ~bits);
    }
}

bool IsControlColorMessage(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

CQuiloMfcAppDlg::CQuiloMfcAppDlg(LoaderWindowSettings settings, CWnd* parent)
    : CDialogEx(IDD, parent),
      defaultGuiFontFace_(std::move(settings.defaultGuiFontFace)),
      installDirectory_(std::move(settings.installDirectory)),
      bridge_(settings.bridge),
      launch_(*this, std::move(settings.launch)) {
    icon_ = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

// The status font outlives the window (destroyed by the modal run), so it is
// released here, when nothing can draw with it any more.
CQuiloMfcAppDlg::~CQuiloMfcAppDlg() = default;

void CQuiloMfcAppDlg::DoDataExchange() {
    CDialogEx::DoDataExchange();
    minimizeButton_.SubclassDlgItem(IDC_BUTTON_MINIMIZE, *this);
    closeButton_.SubclassDlgItem(IDC_BUTTON_CLOSE, *this);
}

BOOL CQuiloMfcAppDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();

    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    // There is no caption bar: the text shows on the taskbar button.
    ::SetWindowTextW(m_hWnd, kProductDisplayName);

    ConfigureCaptionButton(minimizeButton_, kMinimizeHotColor);
    ConfigureCaptionButton(closeButton_, kCloseHotColor);
    PlaceCaptionButtonsInCorner();
    CreateStatusFont();

    // The sequence normally runs the main application to its end; when it did,
    // the window has nothing more to show.
    if (!RunLoadingSequence()) {
        ShowWindow(SW_HIDE);
    }
    return TRUE;
}

void CQuiloMfcAppDlg::ConfigureCaptionButton(COwerButton& button, COLORREF hotBackColor) {
    button.SetNormalBackColor(kCaptionBandColor);
    button.SetHotBackColor(hotBackColor);
    button.SetNormalFontHeight(kGlyphNormalHeight);
    button.SetHotFontHeight(kGlyphHotHeight);
    button.SetFontFace(kGlyphFontFace);
    button.SetDefaultGuiFontFace(defaultGuiFontFace_);
    button.SetGlyphColor(kGlyphColor);
    // A missing control has no window; invalidating "no window" would repaint the whole desktop.
    if (button.GetSafeHwnd()) {
        button.Invalidate(TRUE);
    }
}

void CQuiloMfcAppDlg::PlaceCaptionButtonsInCorner() {
    HWND minimize = GetDlgItem(IDC_BUTTON_MINIMIZE);
    HWND close = GetDlgItem(IDC_BUTTON_CLOSE);
    // One button alone in the corner would look broken: both move or neither.
    if (!minimize || !close) {
        return;
    }
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    const CaptionButtonRects rects = PlaceCaptionButtons(window.right - window.left);
    ::MoveWindow(close, rects.close.left, rects.close.top, rects.close.right - rects.close.left,
                 rects.close.bottom - rects.close.top, TRUE);
    ::MoveWindow(minimize, rects.minimize.left, rects.minimize.top,
                 rects.minimize.right - rects.minimize.left, rects.minimize.bottom - rects.minimize.top,
                 TRUE);
}

void CQuiloMfcAppDlg::CreateStatusFont() {
    HWND status = GetDlgItem(IDC_STATUS_TEXT);
    if (!status) {
        return;
    }
    HDC screen = ::GetDC(nullptr);
    const int dotsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);

    LOGFONTW description = {};
    description.lfHeight = StatusFontHeight(dotsPerInch);
    description.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(description.lfFaceName, kStatusFontFace, LF_FACESIZE);
    statusFont_.reset(::CreateFontIndirectW(&description));
    if (statusFont_) {
        ::SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.get()), TRUE);
    }
    ::SetTimer(m_hWnd, IDT_STATUS_PULSE, kStatusPulseIntervalMs, nullptr);
}

void CQuiloMfcAppDlg::SetStatusText(const std::wstring& text) {
    ::SetDlgItemTextW(m_hWnd, IDC_STATUS_TEXT, text.c_str());
}

namespace {

// A link control created disabled keeps its link items disabled under some
// common-controls implementations even after the control is enabled, and then
// ignores clicks; the first item is enabled explicitly (harmless elsewhere).
void EnableFirstLinkItem(HWND link) {
    LITEM item = {};
    item.mask = LIF_ITEMINDEX | LIF_STATE;
    item.iLink = 0;
    item.state = LIS_ENABLED;
    item.stateMask = LIS_ENABLED;
    ::SendMessageW(link, LM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void CQuiloMfcAppDlg::ShowContinueLink() {
    HWND link = GetDlgItem(IDC_LINK_CONTINUE);
    if (link) {
        ::ShowWindow(link, SW_SHOW);
        ::EnableWindow(link, TRUE);
        EnableFirstLinkItem(link);
    }
}

void CQuiloMfcAppDlg::HideWindow() {
    ShowWindow(SW_HIDE);
}

// WM_QUIT ends the window's modal loop, and the launcher with it. It goes to
// the thread's queue whatever window it names.
void CQuiloMfcAppDlg::PostQuitRequest() {
    ::PostMessageW(m_hWnd, WM_QUIT, 0, 0);
}

void CQuiloMfcAppDlg::OnPaint() {
    PAINTSTRUCT paint;
    if (::IsIconic(m_hWnd)) {
        HDC dc = ::BeginPaint(m_hWnd, &paint);
        ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        const POINT origin =
            MinimizedIconOrigin(client.right - client.left, client.bottom - client.top,
                                ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
        ::DrawIcon(dc, origin.x, origin.y, icon_);
        ::EndPaint(m_hWnd, &paint);
        return;
    }
    RemoveStyleBits(m_hWnd, GWL_STYLE, kFrameStyles);
    RemoveStyleBits(m_hWnd, GWL_EXSTYLE, kFrameExStyles);

    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const RECT band = {client.left, client.top, client.right, client.top + kCaptionBandHeight};
    ScopedGdiObject bandBrush(::CreateSolidBrush(kCaptionBandColor));
    ::FillRect(dc, &band, static_cast<HBRUSH>(bandBrush.get()));
    ::SetBkMode(dc, TRANSPARENT);
    Default();
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR CQuiloMfcAppDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(icon_);
}

LRESULT CQuiloMfcAppDlg::OnNcHitTest(POINT screenPoint) {
    const LRESULT hit = Default();
    RECT window;
    if (::GetWindowRect(m_hWnd, &window) && IsInCaptionBand(screenPoint.y, window.top)) {
        return HTCAPTION;
    }
    return hit;
}

HBRUSH CQuiloMfcAppDlg::OnCtlColor(HDC dc, HWND control) {
    const auto brush = reinterpret_cast<HBRUSH>(Default());
    const int id = control ? ::GetDlgCtrlID(control) : 0;
    if (id != IDC_TITLE && id != IDC_PHONE) {
        return brush;
    }
    // These two texts lie on the band or the window background: only their glyphs are drawn.
    ::SetTextColor(dc, id == IDC_TITLE ? kTitleTextColor : kPhoneTextColor);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CQuiloMfcAppDlg::OnTimer(UINT_PTR timerId) {
    if (timerId == IDT_STATUS_PULSE) {
        PulseStatusText();
    }
    Default();
}

void CQuiloMfcAppDlg::PulseStatusText() {
    HWND status = GetDlgItem(IDC_STATUS_TEXT);
    if (!status) {
        return;
    }
    const auto current = reinterpret_cast<HFONT>(::SendMessageW(status, WM_GETFONT, 0, 0));
    LOGFONTW description = {};
    if (!current || !::GetObjectW(current, sizeof(description), &description)) {
        return;
    }
    description.lfWeight = NextStatusWeight(description.lfWeight);
    ScopedGdiObject next(::CreateFontIndirectW(&description));
    if (!next) {
        return;
    }
    ::SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), TRUE);
    // The control has let go of the previous font only now, so it is released last.
    statusFont_ = std::move(next);
}

void CQuiloMfcAppDlg::OnDestroy() {
    Default();
    ::KillTimer(m_hWnd, IDT_STATUS_PULSE);
}

LRESULT CQuiloMfcAppDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsControlColorMessage(message)) {
        return reinterpret_cast<LRESULT>(
            OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    }
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(OnQueryDragIcon());
        case WM_NCHITTEST:
            return OnNcHitTest({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        case WM_TIMER:
            OnTimer(static_cast<UINT_PTR>(wParam));
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BUTTON_MINIMIZE && HIWORD(wParam) == BN_CLICKED) {
                OnBnClickedMinimize();
                return 0;
            }
            if (LOWORD(wParam) == IDC_BUTTON_CLOSE && HIWORD(wParam) == BN_CLICKED) {
                OnBnClickedClose();
                return 0;
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            // The system link control tells Enter on a link apart from a click;
            // both run the link's command.
            if (header && (header->code == NM_CLICK || header->code == NM_RETURN)) {
                LRESULT result = 0;
                if (header->idFrom == IDC_LINK_CONTINUE) {
                    OnNMClickContinue(header, &result);
                    return result;
                }
                if (header->idFrom == IDC_LINK_ONLINE_SUPPORT) {
                    OnNMClickOnlineSupport(header, &result);
                    return result;
                }
            }
            break;
        }
        default:
            break;
    }
    return CDialogEx::WindowProc(message, wParam, lParam);
}
