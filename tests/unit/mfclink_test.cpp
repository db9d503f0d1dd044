// The hyperlink control: its initialisation data and its tooltip.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "framework/MfcLink.h"
#include "tests/unit/AllocationFailure.h"

namespace {

const char kLinkData[] =
    "<MFCLink_Url>www.example.test/softlist</MFCLink_Url><MFCLink_UrlPrefix>http://</MFCLink_UrlPrefix>"
    "<MFCLink_Tooltip>\xE7\x82\xB9\xE5\x87\xBB</MFCLink_Tooltip><MFCLink_FullTextTooltip>FALSE</"
    "MFCLink_FullTextTooltip>";

TEST(MfcLink, ReadsTheFourPropertiesFromUtf8TagText) {
    const LinkProperties link = ParseLinkInitData(kLinkData, sizeof(kLinkData) - 1);
    EXPECT_EQ(L"www.example.test/softlist", link.url);
    EXPECT_EQ(L"http://", link.urlPrefix);
    EXPECT_EQ(L"点击", link.tooltip);
    EXPECT_FALSE(link.fullTextTooltip);
    EXPECT_EQ(L"http://www.example.test/softlist", LinkTarget(link));
}

TEST(MfcLink, PaddingAndMissingTagsAreTolerated) {
    const struct {
        std::string data;
        std::wstring url;
        std::wstring prefix;
        bool fullText;
    } cases[] = {
        {std::string("<MFCLink_Url>a/b</MFCLink_Url>\0\0", 32), L"a/b", L"", false},
        {"<MFCLink_Url>a/b", L"", L"", false},
        {"<MFCLink_UrlPrefix>https://</MFCLink_UrlPrefix><MFCLink_Url>x</MFCLink_Url>", L"x", L"https://",
         false},
        {"<MFCLink_FullTextTooltip>TRUE</MFCLink_FullTextTooltip>", L"", L"", true},
        {"", L"", L"", false},
    };
    for (const auto& c : cases) {
        const LinkProperties link = ParseLinkInitData(c.data.data(), c.data.size());
        EXPECT_EQ(c.url, link.url) << c.data;
        EXPECT_EQ(c.prefix, link.urlPrefix) << c.data;
        EXPECT_EQ(c.fullText, link.fullTextTooltip) << c.data;
    }
    EXPECT_EQ(L"", ParseLinkInitData(nullptr, 10).url);
}

TEST(MfcLink, TooltipShowsTheTooltipTextRatherThanTheAddress) {
    LinkProperties link;
    link.url = L"host/page";
    link.urlPrefix = L"http://";
    EXPECT_EQ(L"http://host/page", LinkTooltipText(link, L"软件官网"));
    link.fullTextTooltip = true;
    EXPECT_EQ(L"软件官网", LinkTooltipText(link, L"软件官网"));
    link.tooltip = L"点击进入";
    EXPECT_EQ(L"点击进入", LinkTooltipText(link, L"软件官网"));
    // Without an address a click has nothing to open.
    EXPECT_EQ(L"", LinkTarget(LinkProperties()));
}

BOOL CALLBACK FindTooltip(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) == TOOLTIPS_CLASSW) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

TEST(MfcLink, WindowTakesItsInitialisationDataAndShowsTheTooltip) {
    ASSERT_TRUE(RegisterMfcLinkClass());
    ASSERT_TRUE(RegisterMfcLinkClass()) << "registering twice must be harmless";
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HWND parent =
        ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, instance, nullptr);
    HWND link = ::CreateWindowExW(0, kMfcLinkClassName, L"软件官网", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 4, 4,
                                  64, 18, parent, reinterpret_cast<HMENU>(1010), instance, nullptr);
    ASSERT_TRUE(link);
    EXPECT_EQ(TRUE, ::SendMessageW(link, kInitControlMessage, sizeof(kLinkData) - 1,
                                   reinterpret_cast<LPARAM>(kLinkData)));

    HWND tooltip = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_TRUE(tooltip);
    wchar_t text[80] = {};
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(link);
    tool.lpszText = text;
    ::SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(L"点击", std::wstring(text));

    ::DestroyWindow(parent);
    EXPECT_FALSE(::IsWindow(tooltip)) << "the tooltip goes with its link";
}

TEST(MfcLink, AnExceptionInsideTheLinkNeverLeavesItsWindowProcedure) {
    ASSERT_TRUE(RegisterMfcLinkClass());
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HWND parent =
        ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, instance, nullptr);
    HWND link = ::CreateWindowExW(0, kMfcLinkClassName, L"软件官网", WS_CHILD | WS_VISIBLE, 4, 4, 64, 18,
                                  parent, reinterpret_cast<HMENU>(1010), instance, nullptr);
    ASSERT_TRUE(link);
    bool escaped = false;
    LRESULT result = TRUE;
    try {
        // Reading the initialisation data needs memory, and there is none.
        AllocationsFailOnThisThread noMemory;
        result = ::SendMessageW(link, kInitControlMessage, sizeof(kLinkData) - 1,
                                reinterpret_cast<LPARAM>(kLinkData));
    } catch (...) {
        escaped = true;
    }
    EXPECT_FALSE(escaped) << "the exception left the window procedure";
    EXPECT_EQ(0, result);
    // Without an application the boundary asks the thread's loop to end.
    MSG quit = {};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ::DestroyWindow(parent);
}

}  // namespace
