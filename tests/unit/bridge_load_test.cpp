// The component-file checks of the bridge load. Start-up's own file check runs
// first, so a person never meets these two messages; they are tested here,
// in-process, with the box read and closed by a second thread.
#include <gtest/gtest.h>

#include <thread>

#include "bridge/BridgeHost.h"
#include "bridge/BridgeMessages.h"
#include "util/Paths.h"

namespace {

struct SeenBox {
    std::wstring title;
    std::wstring text;
};

BOOL CALLBACK FindOwnBox(HWND window, LPARAM found) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (process == ::GetCurrentProcessId() && std::wstring(className) == L"#32770" &&
        ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

SeenBox ReadAndCloseOwnBox() {
    for (int attempt = 0; attempt < 400; ++attempt) {
        HWND box = nullptr;
        ::EnumWindows(&FindOwnBox, reinterpret_cast<LPARAM>(&box));
        if (box) {
            ::Sleep(50);
            wchar_t title[64] = {};
            wchar_t text[256] = {};
            ::GetWindowTextW(box, title, 64);
            ::GetDlgItemTextW(box, 0xFFFF, text, 256);
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return {title, text};
        }
        ::Sleep(25);
    }
    return {L"(no box)", L""};
}

class ComponentFiles : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = CombinePath(temp, L"quilo-bridge-load-test");
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        Remove(kComponentLibraryName);
        Remove(kBridgeLibraryName);
    }
    void TearDown() override {
        Remove(kComponentLibraryName);
        Remove(kBridgeLibraryName);
        ::RemoveDirectoryW(folder_.c_str());
    }
    void Create(const wchar_t* name) {
        HANDLE file = ::CreateFileW(CombinePath(folder_, name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ::CloseHandle(file);
    }
    void Remove(const wchar_t* name) { ::DeleteFileW(CombinePath(folder_, name).c_str()); }

    SeenBox LoadAndReadBox(CBridgeHost& host, bool& loaded) {
        SeenBox seen;
        std::thread reader([&seen] { seen = ReadAndCloseOwnBox(); });
        loaded = host.Load(folder_);
        reader.join();
        return seen;
    }

    std::wstring folder_;
};

}  // namespace

TEST_F(ComponentFiles, BothMissingShowsOnlyTheComponentLibraryMessage) {
    CBridgeHost host;
    bool loaded = true;
    const SeenBox seen = LoadAndReadBox(host, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(host.IsLoaded());
    EXPECT_EQ(kBridgeInitTitle, seen.title);
    EXPECT_EQ(kComponentLibraryMissingText, seen.text);
}

TEST_F(ComponentFiles, AMissingBridgeLibraryHasItsOwnMessage) {
    Create(kComponentLibraryName);
    CBridgeHost host;
    bool loaded = true;
    const SeenBox seen = LoadAndReadBox(host, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(host.IsLoaded());
    EXPECT_EQ(kBridgeInitTitle, seen.title);
    EXPECT_EQ(kBridgeLibraryMissingText, seen.text);
}
