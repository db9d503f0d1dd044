#include "LauncherScenario.h"

#include "RuntimeKeeping.h"

namespace {
constexpr wchar_t kDotNetSetupParentKey[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4";
constexpr wchar_t kDotNetSetupKey[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full";

// The .NET installer writes its key in both registry views of a 64-bit
// Windows, so the scenarios do too: a 32-bit launcher under WoW64 reads the
// 32-bit view, a 64-bit one the native view. A 32-bit Windows has one view
// and ignores the flags.
constexpr REGSAM kRegistryViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

template <typename WriteValue>
void WriteDotNetKey(WriteValue writeValue) {
    for (REGSAM view : kRegistryViews) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDotNetSetupKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key,
                              nullptr) != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot open the .NET setup key for writing";
            return;
        }
        writeValue(key);
        ::RegCloseKey(key);
    }
}
}  // namespace

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length, nullptr,
                          nullptr);
    return utf8;
}

std::wstring SystemText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
        code, 0x400, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    return text;
}

void SetDotNetValue(const wchar_t* name, std::optional<DWORD> value) {
    WriteDotNetKey([&](HKEY key) {
        if (value) {
            const DWORD number = *value;
            ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
        } else {
            ::RegDeleteValueW(key, name);
        }
    });
}

void SetDotNetStringValue(const wchar_t* name, const std::wstring& value) {
    WriteDotNetKey([&](HKEY key) {
        ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    });
}

void RemoveDotNetSetupKey() {
    for (REGSAM view : kRegistryViews) {
        HKEY parent = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDotNetSetupParentKey, 0, KEY_ALL_ACCESS | view, &parent) ==
            ERROR_SUCCESS) {
            ::RegDeleteTreeW(parent, L"Full");
            ::RegCloseKey(parent);
        }
    }
}

void KillScenarioProcesses() {
    // A launcher that relaunches itself may start a new copy while the old one
    // is being ended, so this repeats until a round finds nothing to end.
    for (int round = 0; round < 20; ++round) {
        bool found = false;
        for (const wchar_t* name : {L"TarvexLauncher.exe", L"InPrRtm.exe", L"runtime_standin.exe", L"orloupd.exe",
                                    L"AutoUpdate.exe", L"Pelko.exe", L"grandchild_standin.exe"}) {
            if (!ProcessIdsByName(name).empty()) {
                found = true;
                KillProcessesByName(name);
            }
        }
        if (!found) {
            return;
        }
        ::Sleep(100);
    }
}

void LauncherScenario::SetUp() {
    KillScenarioProcesses();
    RegisterUrlRecorder();
    ClearOpenedUrls();
    RemoveDotNetSetupKey();
    SetDotNetValue(L"Release", kDotNet48Release);
    SetDotNetValue(L"Install", 1);
}

void LauncherScenario::TearDown() {
    KillScenarioProcesses();
    // Every scenario, whatever it did, must leave the main application behind.
    ExpectNothingLost();
}

MessageBoxInfo LauncherScenario::ExpectMessageBox(const TestProcess& launcher, const std::wstring& title,
                                                  const std::wstring& text, DWORD timeoutMs) {
    MessageBoxInfo box = WaitForMessageBox(launcher.Id(), timeoutMs);
    EXPECT_TRUE(box) << "no message box appeared within " << timeoutMs << " ms; expected \"" << Utf8(title)
                     << "\": \"" << Utf8(text) << "\"";
    if (box) {
        EXPECT_EQ(Utf8(title), Utf8(box.title));
        EXPECT_EQ(Utf8(text), Utf8(box.text));
    }
    return box;
}

void LauncherScenario::ExpectOwnerlessWarningBox(const MessageBoxInfo& box, int defaultButton) {
    EXPECT_EQ(nullptr, box.owner) << "the box \"" << Utf8(box.title) << "\" has an owner window";
    EXPECT_EQ(defaultButton, box.defaultButton) << "default button of \"" << Utf8(box.title) << "\"";
    EXPECT_EQ("warning", Utf8(MessageBoxIcon(box.window))) << "icon of \"" << Utf8(box.title) << "\"";
}

void LauncherScenario::ExpectEnds(TestProcess& process, DWORD timeoutMs) {
    EXPECT_TRUE(process.WaitForExit(timeoutMs)) << "the process did not end within " << timeoutMs << " ms";
}
