// The launcher's side of the bridge call convention, against an in-process
// bridge object built from the same interface header.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bridge/BridgeCall.h"
#include "bridge/BridgeHost.h"
#include "bridge/BridgeMessages.h"
#include "SilentBridge.h"

namespace {

char* MallocText(const char* text) {
    char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    std::strcpy(copy, text);
    return copy;
}

// Whether a block handed out by malloc is still allocated on the C runtime's heap.
bool IsStillAllocated(void* block) {
    return ::HeapValidate(reinterpret_cast<HANDLE>(_get_heap_handle()), 0, block);
}

struct RegenerateCall {
    std::vector<std::string> texts;
    std::vector<bool> wasNull;
};

// Answers as the test says and remembers what it was given.
class FakeBridge final : public SilentBridge {
public:
    int status = 0;
    const char* statusError = nullptr;
    const char* computerId = nullptr;
    const char* computerIdError = nullptr;
    bool regenerated = false;
    const char* regenerateError = nullptr;

    int calls = 0;
    bool errorPointerWasNull = true;
    RegenerateCall regenerate;
    char* handedOutResult = nullptr;
    char* handedOutError = nullptr;
    int* deletions = nullptr;

    int QUILO_BRIDGE_CALL QueryStatus(char** error) override {
        Enter(error);
        SetError(error, statusError);
        return status;
    }
    char* QUILO_BRIDGE_CALL QueryComputerId(char** error) override {
        Enter(error);
        SetError(error, computerIdError);
        handedOutResult = computerId ? MallocText(computerId) : nullptr;
        return handedOutResult;
    }
    bool QUILO_BRIDGE_CALL RegenerateRuntime(const char* storePath, const char* storePassword,
                                             const char* recordName, const char* fieldName,
                                             const char* targetDirectory, const char* targetFileName,
                                             char** error) override {
        Enter(error);
        for (const char* text :
             {storePath, storePassword, recordName, fieldName, targetDirectory, targetFileName}) {
            regenerate.wasNull.push_back(text == nullptr);
            regenerate.texts.push_back(text ? text : "");
        }
        SetError(error, regenerateError);
        return regenerated;
    }
    void* QUILO_BRIDGE_CALL DeleteThis(unsigned int) override {
        // Owned by the test: only counted.
        if (deletions) {
            ++*deletions;
        }
        return this;
    }

private:
    void Enter(char** error) {
        ++calls;
        errorPointerWasNull = error != nullptr && *error == nullptr;
    }
    void SetError(char** error, const char* text) {
        if (text) {
            handedOutError = MallocText(text);
            *error = handedOutError;
        }
    }
};

class BridgeCallTest : public ::testing::Test {
protected:
    FakeBridge bridge;
    CBridgeHost host;
    void Attach() { host.AttachForTesting(&bridge); }
};

}  // namespace

TEST_F(BridgeCallTest, AnEmptyHostGivesEmptyResultsWithoutCallingAndEmptiesTheErrorString) {
    std::wstring error = L"left over";
    EXPECT_EQ(0, host.QueryStatus(error));
    EXPECT_TRUE(error.empty());
    error = L"left over";
    EXPECT_EQ(L"", host.QueryComputerId(error));
    EXPECT_TRUE(error.empty());
    error = L"left over";
    EXPECT_FALSE(host.RegenerateRuntime(L"a", L"b", L"c", L"d", L"e", L"f", error));
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(0, bridge.calls);
}

TEST_F(BridgeCallTest, ResultsPassThroughAndTheErrorPointerStartsNull) {
    Attach();
    bridge.status = 7;
    bridge.computerId = "PC-0042";
    bridge.regenerated = true;
    std::wstring error = L"left over";
    EXPECT_EQ(7, host.QueryStatus(error));
    EXPECT_TRUE(bridge.errorPointerWasNull);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(L"PC-0042", host.QueryComputerId(error));
    EXPECT_TRUE(bridge.errorPointerWasNull);
    EXPECT_TRUE(host.RegenerateRuntime(L"s", L"p", L"r", L"f", L"d", L"n", error));
    EXPECT_TRUE(bridge.errorPointerWasNull);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(3, bridge.calls);
}

TEST_F(BridgeCallTest, AnErrorTextWinsOverAnyResult) {
    Attach();
    bridge.status = 5;
    bridge.statusError = "status unavailable";
    bridge.computerId = "PC-0042";
    bridge.computerIdError = "no identifier";
    bridge.regenerated = true;
    bridge.regenerateError = "no such table: DatFileInfo";
    std::wstring error;
    EXPECT_EQ(0, host.QueryStatus(error));
    EXPECT_EQ(L"status unavailable", error);
    EXPECT_EQ(L"", host.QueryComputerId(error));
    EXPECT_EQ(L"no identifier", error);
    EXPECT_FALSE(host.RegenerateRuntime(L"s", L"p", L"r", L"f", L"d", L"n", error));
    EXPECT_EQ(L"no such table: DatFileInfo", error);
}

TEST_F(BridgeCallTest, ReturnedTextsAreReleasedWithFree) {
    Attach();
    bridge.computerId = "PC-0042";
    std::wstring error;
    EXPECT_EQ(L"PC-0042", host.QueryComputerId(error));
    EXPECT_FALSE(IsStillAllocated(bridge.handedOutResult));

    bridge.statusError = "status unavailable";
    host.QueryStatus(error);
    EXPECT_FALSE(IsStillAllocated(bridge.handedOutError));

    bridge.regenerateError = "disk full";
    host.RegenerateRuntime(L"s", L"p", L"r", L"f", L"d", L"n", error);
    EXPECT_FALSE(IsStillAllocated(bridge.handedOutError));
}

TEST_F(BridgeCallTest, AResultThatCameWithAnErrorIsLeftAloneButTheErrorIsReleased) {
    Attach();
    bridge.computerId = "PC-0042";
    bridge.computerIdError = "no identifier";
    std::wstring error;
    EXPECT_EQ(L"", host.QueryComputerId(error));
    EXPECT_FALSE(IsStillAllocated(bridge.handedOutError));
    ASSERT_TRUE(IsStillAllocated(bridge.handedOutResult));
    std::free(bridge.handedOutResult);
}

TEST_F(BridgeCallTest, ANullComputerIdIsAnEmptyText) {
    Attach();
    std::wstring error = L"left over";
    EXPECT_EQ(L"", host.QueryComputerId(error));
    EXPECT_TRUE(error.empty());
}

TEST_F(BridgeCallTest, RegenerateFalseWithoutErrorTextLeavesTheErrorStringEmpty) {
    Attach();
    std::wstring error = L"left over";
    EXPECT_FALSE(host.RegenerateRuntime(L"s", L"p", L"r", L"f", L"d", L"n", error));
    EXPECT_TRUE(error.empty());
}

TEST_F(BridgeCallTest, TextArgumentsArriveInOrderAndEmptyOnesAsEmptyTextsNeverNull) {
    Attach();
    std::wstring error;
    host.RegenerateRuntime(L"D:\\app\\Quilord.da", L"", L"DatFileInfo", L"FileDat", L"", L"InPrRtm.exe",
                           error);
    EXPECT_EQ(
        (std::vector<std::string>{"D:\\app\\Quilord.da", "", "DatFileInfo", "FileDat", "", "InPrRtm.exe"}),
        bridge.regenerate.texts);
    EXPECT_EQ(std::vector<bool>(6, false), bridge.regenerate.wasNull);
}

TEST_F(BridgeCallTest, TextsCrossInTheThreadAnsiCodePageBothWays) {
    // U+00E9 exists in every Western and in the Chinese ANSI code page; the
    // expectation is computed for the code page the thread really has.
    const std::wstring wide = L"caf\u00e9";
    char narrow[16] = {};
    BOOL lossy = FALSE;
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, wide.c_str(), -1, narrow, sizeof(narrow), nullptr, &lossy);
    if (lossy) {
        GTEST_SKIP() << "the thread's ANSI code page cannot represent the sample";
    }
    Attach();
    bridge.computerId = narrow;
    bridge.regenerateError = narrow;
    std::wstring error;
    EXPECT_EQ(wide, host.QueryComputerId(error));
    host.RegenerateRuntime(wide, L"p", L"r", L"f", L"d", L"n", error);
    EXPECT_EQ(std::string(narrow), bridge.regenerate.texts[0]);
    EXPECT_EQ(wide, error);
}

TEST_F(BridgeCallTest, UnloadDeletesTheObjectOnceAndIsSafeToRepeat) {
    int deletions = 0;
    bridge.deletions = &deletions;
    Attach();
    host.Unload();
    host.Unload();
    EXPECT_EQ(1, deletions);
    EXPECT_FALSE(host.IsLoaded());
    CBridgeHost neverLoaded;
    neverLoaded.Unload();
    EXPECT_FALSE(neverLoaded.IsLoaded());
}

TEST(BridgeText, TakingANullTextGivesEmpty) {
    EXPECT_EQ(L"", TakeBridgeText(nullptr));
}

TEST(BridgeLoadMessages, TheQuestionForOtherCodesStartsWithTheCodeAndAsksToDownload) {
    // The whole text as a person reads it, so a slip in any shared piece shows.
    EXPECT_EQ(std::wstring(L"运行库加载失败，错误码：193\n\n"
                           L"检测到电脑可能未安装微软 VC++ 2015 运行库。\n请下载安装后重试。\n"
                           L"如遇运行库安装失败等问题，请联系软件服务人员。\n"
                           L"安装包通常保存在桌面，文件名为 VC_redist.x86.exe。\n\n是否现在下载？"),
              LoadFailureQuestion(193));
    EXPECT_EQ(0u, LoadFailureQuestion(4294967295u).find(L"运行库加载失败，错误码：4294967295\n\n"));
}
