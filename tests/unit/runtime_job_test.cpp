// The main application's job is the launcher's own, even when another program
// already holds a job of the same name, and closing it ends what runs in it.
#include <gtest/gtest.h>

#include <windows.h>

#include "launch/RuntimeProcess.h"

namespace {

// A harmless process to put in a job: this test program, suspended.
PROCESS_INFORMATION StartSuspendedChild() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                     &startup, &info);
    return info;
}

bool InJob(HANDLE process, HANDLE job) {
    BOOL inJob = FALSE;
    return ::IsProcessInJob(process, job, &inJob) && inJob;
}

}  // namespace

TEST(RuntimeJob, AJobOfThatNameHeldByAnotherProgramIsNotJoined) {
    HANDLE foreign = ::CreateJobObjectW(nullptr, L"MyJobObject");
    ASSERT_NE(nullptr, foreign);
    PROCESS_INFORMATION child = StartSuspendedChild();
    ASSERT_NE(nullptr, child.hProcess);
    {
        ScopedKernelHandle job = CreateKillOnCloseJob();
        ASSERT_TRUE(job);
        ASSERT_TRUE(::AssignProcessToJobObject(job.get(), child.hProcess));
        EXPECT_TRUE(InJob(child.hProcess, job.get()));
        EXPECT_FALSE(InJob(child.hProcess, foreign))
            << "the main application would run in another program's job";
    }
    // Our job was the only one holding it: closing it ended the child, whatever the other job does.
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(child.hProcess, 10000));
    ::TerminateProcess(child.hProcess, 1);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    ::CloseHandle(foreign);
}

TEST(RuntimeJob, ClosingTheJobEndsTheProcessesInIt) {
    PROCESS_INFORMATION child = StartSuspendedChild();
    ASSERT_NE(nullptr, child.hProcess);
    {
        ScopedKernelHandle job = CreateKillOnCloseJob();
        ASSERT_TRUE(job);
        ASSERT_TRUE(::AssignProcessToJobObject(job.get(), child.hProcess));
    }
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(child.hProcess, 10000));
    ::TerminateProcess(child.hProcess, 1);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
}
