// The main application's job is the launcher's own, even when another program
// already holds its name, and closing it ends what runs in it; the main
// application runs nothing before it is in the job.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "launch/RuntimeProcess.h"

namespace {

// A harmless program to run as a child: this test program, listing its tests and ending.
std::wstring ListingCommandLine() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return L"\"" + std::wstring(self) + L"\" \"--gtest_list_tests\"";
}

// A harmless process to put in a job: this test program, suspended.
PROCESS_INFORMATION StartSuspendedChild() {
    std::wstring commandLine = ListingCommandLine();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                     &startup, &info);
    return info;
}

// A job of that name whose security allows nobody to open it.
HANDLE CreateDeniedJob() {
    static ACL emptyAcl;
    ::InitializeAcl(&emptyAcl, sizeof(emptyAcl), ACL_REVISION);
    static SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyAcl, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    return ::CreateJobObjectW(&attributes, L"MyJobObject");
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

TEST(RuntimeJob, ANameThatCannotBeOpenedAsAJobStillGivesAKillOnCloseJob) {
    struct Case {
        const char* holder;
        HANDLE (*create)();
        DWORD namedJobError;  // what asking for the named job meets
    } cases[] = {
        {"an event", [] { return ::CreateEventW(nullptr, TRUE, FALSE, L"MyJobObject"); },
         ERROR_INVALID_HANDLE},
        {"a mutex", [] { return ::CreateMutexW(nullptr, FALSE, L"MyJobObject"); }, ERROR_INVALID_HANDLE},
        {"a job that lets nobody in", CreateDeniedJob, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("the name is held by ") + c.holder);
        // The job of the test before may take a moment to go once its last process is gone.
        HANDLE foreign = c.create();
        for (int attempt = 0; !foreign && attempt < 100; ++attempt) {
            ::Sleep(50);
            foreign = c.create();
        }
        ASSERT_NE(nullptr, foreign) << ::GetLastError();
        HANDLE named = ::CreateJobObjectW(nullptr, L"MyJobObject");
        EXPECT_EQ(nullptr, named);
        EXPECT_EQ(c.namedJobError, ::GetLastError());
        PROCESS_INFORMATION child = StartSuspendedChild();
        ASSERT_NE(nullptr, child.hProcess);
        {
            ScopedKernelHandle job = CreateKillOnCloseJob();
            ASSERT_TRUE(job) << "the main application would run without a job";
            ASSERT_TRUE(::AssignProcessToJobObject(job.get(), child.hProcess));
            EXPECT_TRUE(InJob(child.hProcess, job.get()));
        }
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(child.hProcess, 10000));
        ::TerminateProcess(child.hProcess, 1);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
        if (named) {
            ::CloseHandle(named);
        }
        ::CloseHandle(foreign);
    }
}

TEST(RuntimeJob, TheChildIsCreatedSuspendedAndLetRunOnlyInsideTheJob) {
    const std::wstring commandLine = ListingCommandLine();
    ScopedProcessInformation child;
    DWORD error = 0;
    ASSERT_TRUE(StartRuntimeProcess(commandLine, child, error)) << error;
    // Its one thread is still suspended: nothing of it has run.
    EXPECT_EQ(1u, ::SuspendThread(child.thread.get()));
    ::ResumeThread(child.thread.get());

    ScopedKernelHandle job = CreateKillOnCloseJob();
    ASSERT_TRUE(job);
    ASSERT_TRUE(AdmitToJobAndResume(job, child, error)) << error;
    ASSERT_TRUE(job) << "the job was given up although the child joined it";
    EXPECT_TRUE(InJob(child.process.get(), job.get()));
    // Let run: it lists the tests and ends by itself.
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(child.process.get(), 10000))
        << "the child was not resumed";
    DWORD exitCode = 1;
    ::GetExitCodeProcess(child.process.get(), &exitCode);
    EXPECT_EQ(0u, exitCode);
    ::TerminateProcess(child.process.get(), 1);
}

TEST(RuntimeJob, AChildThatCannotJoinTheJobRunsWithoutIt) {
    // A job whose handle may not assign: the child must still be let run, waited for alone.
    ScopedKernelHandle unassignable(::CreateJobObjectW(nullptr, nullptr));
    ASSERT_TRUE(unassignable);
    HANDLE queryOnly = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), unassignable.get(), ::GetCurrentProcess(),
                                  &queryOnly, JOB_OBJECT_QUERY, FALSE, 0));
    ScopedKernelHandle job(queryOnly);
    const std::wstring commandLine = ListingCommandLine();
    ScopedProcessInformation child;
    DWORD error = 0;
    ASSERT_TRUE(StartRuntimeProcess(commandLine, child, error)) << error;
    ASSERT_TRUE(AdmitToJobAndResume(job, child, error)) << error;
    EXPECT_FALSE(job) << "the wait would count on a job the child is not in";
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(child.process.get(), 10000))
        << "the child was not resumed";
    ::TerminateProcess(child.process.get(), 1);
}
