#include "RuntimeKeeping.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "LaunchInstall.h"

namespace {

struct InstallAtStart {
    bool hadRuntime = false;
    bool hadStore = false;
    std::string storeDigest;
    bool lossAllowed = false;
};

std::map<std::wstring, InstallAtStart>& Remembered() {
    static std::map<std::wstring, InstallAtStart> installs;
    return installs;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring In(const std::wstring& directory, const wchar_t* name) {
    return directory.back() == L'\\' ? directory + name : directory + L"\\" + name;
}

bool HasRuntime(const std::wstring& directory) {
    return IsFile(In(directory, L"InPrRtm.exe")) || IsFile(In(directory, L"ertmcache"));
}

std::string Narrow(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? static_cast<size_t>(length - 1) : 0, '\0');
    if (length > 1) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &narrow[0], length, nullptr, nullptr);
    }
    return narrow;
}

}  // namespace

void RememberLauncherStart(const std::wstring& directory) {
    if (Remembered().count(directory)) {
        return;
    }
    InstallAtStart state;
    state.hadRuntime = HasRuntime(directory);
    const std::wstring store = In(directory, L"Quilord.da");
    state.hadStore = IsFile(store);
    if (state.hadStore) {
        state.storeDigest = FileMd5Hex(store);
    }
    Remembered()[directory] = state;
}

void AllowRuntimeLoss(const std::wstring& directory) {
    Remembered()[directory].lossAllowed = true;
}

void ExpectNothingLost() {
    for (const auto& entry : Remembered()) {
        const std::wstring& directory = entry.first;
        const InstallAtStart& start = entry.second;
        if (start.lossAllowed || !(start.hadRuntime || start.hadStore) || !Exists(directory)) {
            continue;
        }
        if (HasRuntime(directory)) {
            continue;
        }
        const std::wstring store = In(directory, L"Quilord.da");
        const bool storeKept = start.hadStore && IsFile(store) && FileMd5Hex(store) == start.storeDigest;
        EXPECT_TRUE(storeKept) << "the main application was lost in " << Narrow(directory)
                               << ": neither InPrRtm.exe nor ertmcache is left, and the data store "
                               << (start.hadStore ? "changed or vanished" : "was never there");
    }
    Remembered().clear();
}
