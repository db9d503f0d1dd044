// Tracing never changes what the launcher does: when memory runs out while a
// trace line is being put together, the line is dropped and the step goes on,
// with the answer the user gave to a message box intact.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <new>
#include <string>

#include <windows.h>

#include "tests/uia/UiAutomation.h"
#include "util/MessageBox.h"
#include "util/StartupPhases.h"
#include "util/Trace.h"

namespace {

// Allocations through operator new fail on the thread that asked for it, and
// only while it asks; every other thread and every other moment is served.
thread_local bool t_allocationsFail = false;

class AllocationsFailOnThisThread {
public:
    AllocationsFailOnThisThread() { t_allocationsFail = true; }
    ~AllocationsFailOnThisThread() { t_allocationsFail = false; }
    AllocationsFailOnThisThread(const AllocationsFailOnThisThread&) = delete;
    AllocationsFailOnThisThread& operator=(const AllocationsFailOnThisThread&) = delete;
};

}  // namespace

void* operator new(std::size_t size) {
    if (t_allocationsFail) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

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
