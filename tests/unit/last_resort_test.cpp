// The framework's boundaries: a C++ exception raised in a window procedure,
// a dialog's initialisation or InitInstance reaches the application once and
// never crosses the system's frames; and the texts the launcher shows then.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/LastResort.h"
#include "framework/DialogEx.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "tests/unit/AllocationFailure.h"

namespace {

// Records what reaches the application instead of showing it.
class RecordingApp : public CWinApp {
public:
    BOOL InitInstance() override {
        if (throwInInit) {
            throw std::bad_alloc();
        }
        return FALSE;
    }
    int ExitInstance() override {
        ++exits;
        return 7;
    }
    void ProcessWndProcException(const std::exception* error) override {
        seen.push_back(error ? error->what() : "(not a std::exception)");
        if (throwInHandler) {
            throw std::runtime_error("again");
        }
    }

    bool throwInInit = false;
    bool throwInHandler = false;
    int exits = 0;
    std::vector<std::string> seen;
};

constexpr UINT kThrowStandard = WM_APP + 1;
constexpr UINT kThrowOther = WM_APP + 2;

class ThrowingWindow : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kThrowStandard) {
            throw std::bad_alloc();
        }
        if (message == kThrowOther) {
            throw 42;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

bool QuitPosted() {
    MSG message;
    return ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace

TEST(FrameworkBoundary, AnExceptionInAWindowProcedureReachesTheApplicationAndTheCallerGoesOn) {
    RecordingApp app;
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    ThrowingWindow window;
    ASSERT_TRUE(window.SubclassWindow(hwnd));

    EXPECT_EQ(0, ::SendMessageW(hwnd, kThrowStandard, 0, 0));
    EXPECT_EQ(0, ::SendMessageW(hwnd, kThrowOther, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"std::bad_alloc", "(not a std::exception)"}), app.seen);
    // The window still answers afterwards.
    EXPECT_TRUE(::SetWindowTextW(hwnd, L"still here"));
    window.UnsubclassWindow();
    ::DestroyWindow(hwnd);
}

TEST(FrameworkBoundary, AnExceptionInTheHandlerItselfOnlyEndsTheMessageLoop) {
    RecordingApp app;
    app.throwInHandler = true;
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ThrowingWindow window;
    ASSERT_TRUE(window.SubclassWindow(hwnd));
    QuitPosted();
    ::SendMessageW(hwnd, kThrowStandard, 0, 0);
    EXPECT_EQ(1u, app.seen.size()) << "the handler was entered again";
    EXPECT_TRUE(QuitPosted());
    window.UnsubclassWindow();
    ::DestroyWindow(hwnd);
}

TEST(FrameworkBoundary, AnExceptionFromInitInstanceIsReportedAndTheExitRoutineStillRuns) {
    RecordingApp app;
    app.throwInInit = true;
    EXPECT_EQ(7, AfxWinMain(::GetModuleHandleW(nullptr)));
    EXPECT_EQ(std::vector<std::string>{"std::bad_alloc"}, app.seen);
    EXPECT_EQ(1, app.exits);
}

TEST(FrameworkBoundary, ADialogWhoseTemplateIsMissingSaysItWasNotCreated) {
    CDialogEx dialog(4242);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_TRUE(dialog.CreationFailed());
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), dialog.CreationError());
}

TEST(FrameworkBoundary, ADialogThatCouldNotBeCreatedNeverGivesSuccessAsItsReason) {
    struct Case {
        DWORD lastError;
        DWORD reason;
    };
    const Case cases[] = {
        {ERROR_SUCCESS, ERROR_UNIDENTIFIED_ERROR},
        {ERROR_CANNOT_FIND_WND_CLASS, ERROR_CANNOT_FIND_WND_CLASS},
        {ERROR_NOT_ENOUGH_MEMORY, ERROR_NOT_ENOUGH_MEMORY},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.reason, CDialogEx::CreationFailureReason(c.lastError)) << c.lastError;
    }
    EXPECT_NE(LoaderWindowFailureMessage(ERROR_SUCCESS),
              LoaderWindowFailureMessage(CDialogEx::CreationFailureReason(ERROR_SUCCESS)))
        << "the user is told the operation succeeded";
}

TEST(CrashReport, NoMemoryInsideTheReportNeverLeavesItsThreadProcedure) {
    CONTEXT context = {};
    ::RtlCaptureContext(&context);
    EXCEPTION_RECORD fault = {};
    fault.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    EXCEPTION_POINTERS pointers = {&fault, &context};
    CrashReport report = {EXCEPTION_ACCESS_VIOLATION, nullptr, ::GetCurrentThreadId(), &pointers};
    bool escaped = false;
    DWORD result = 1;
    try {
        // A damaged process: the dump's path, the warning's text and the
        // trace's line cannot be put together.
        AllocationsFailOnThisThread noMemory;
        result = WarnOfCrash(&report) + DumpAndRecordCrash(&report);
    } catch (...) {
        escaped = true;
    }
    EXPECT_FALSE(escaped) << "the exception left a thread procedure of the report";
    EXPECT_EQ(0u, result);
}

TEST(LastResortText, SaysWhatHappenedInTheLaunchersWords) {
    const std::bad_alloc noMemory;
    const std::runtime_error namesTheRuntime("cannot open D:\\Tarvex\\InPrRtm.exe");
    EXPECT_EQ(L"加载失败！\nstd::bad_alloc", UncaughtExceptionMessage(&noMemory));
    EXPECT_EQ(L"加载失败！\n原因：文件或路径错误。", UncaughtExceptionMessage(&namesTheRuntime));
    EXPECT_EQ(L"加载失败！\n原因：系统错误。", UncaughtExceptionMessage(nullptr));

    EXPECT_EQ(
        L"软件运行出现异常，即将关闭！\n异常代码：0xC00000FD，出错模块：未知模块\n"
        L"请重新启动软件，若多次出现，请尝试下载完整安装包安装修复。\n"
        L"更多解决请咨询软件服务人员，咨询电话：19999999999",
        CrashMessage(0xC00000FD, L""));
    const std::wstring windowFailure = LoaderWindowFailureMessage(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(0u, windowFailure.rfind(L"软件加载失败！\n无法创建加载窗口，请重新启动软件。\n原因：", 0));
    EXPECT_EQ(std::wstring::npos, windowFailure.find(L"\r"));
}
