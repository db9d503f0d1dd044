// Tracing never changes what the launcher does: when memory runs out while a
// trace line is being put together, the line is dropped and the step goes on,
// with the answer the user gave to a message box intact.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include <windows.h>

#include "tests/uia/UiAutomation.h"
#include "tests/unit/AllocationFailure.h"
#include "util/MessageBox.h"
#include "util/StartupPhases.h"
#include "util/Trace.h"

TEST(TraceGuard, NoMemoryWhileTracingABoxKeepsTheAnswerTheUserGave) {
    struct Outcome {
        int answer = 0;
        bool threw = false;
    };
    std::future<Outcome> asked = std::async(std::launch::async, [] {
        const std::wstring text = L"要继续吗？";
        std::wstring title = L"运行环境检测提示";
        Outcome outcome;
        AllocationsFailOnThisThread noMemory;
        try {
            outcome.answer = AskYesNo(text, std::move(title));
        } catch (...) {
            outcome.threw = true;
        }
        return outcome;
    });
    MessageBoxInfo box = WaitForMessageBox(::GetCurrentProcessId(), 20000);
    ASSERT_TRUE(box) << "the question did not appear";
    AnswerMessageBox(box.window, IDYES);
    ASSERT_EQ(std::future_status::ready, asked.wait_for(std::chrono::seconds(60)));
    const Outcome outcome = asked.get();
    EXPECT_FALSE(outcome.threw) << "the trace threw the answer away";
    EXPECT_EQ(IDYES, outcome.answer);
}

TEST(TraceGuard, NoMemoryInsideAnyTraceCallReachesTheCaller) {
    const std::wstring error = L"a bridge's error text";
    bool reached = false;
    {
        AllocationsFailOnThisThread noMemory;
        TraceLine(L"single instance: first copy");
        TraceValue(L"bridge load", L"ok");
        TraceValueOf(L"rebuild", [&] { return L"failed: " + error; });
        TraceLineOf([&] { return L"message box: " + error; });
        TracePhase(L"checks", 1.5);
        EndPhase(L"window");
        reached = true;
    }
    EXPECT_TRUE(reached);
}
