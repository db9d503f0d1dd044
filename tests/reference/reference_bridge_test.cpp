// Loads the reference bridge from a packaged install directory, as the
// launcher does, and drives its slots: the runtime executable comes back byte
// for byte, SQLite's own texts come back for unreadable stores, and nothing is
// ever half-written.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bridge/IBridge.h"

namespace fs = std::filesystem;

namespace {

constexpr char kPassword[] = "73kqd_415209";

// ctest passes the Unix build tree; Wine shows the Unix root as drive Z:.
fs::path BuildDirectory() {
    const char* unixPath = std::getenv("QUILO_BUILD_DIR");
    if (unixPath == nullptr || unixPath[0] != '/') {
        return fs::path();
    }
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c != '\0'; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return fs::path(path);
}

std::string Narrow(const fs::path& path) {
    const std::wstring wide = path.wstring();
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length > 0 ? length : 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::wstring> FileNames(const fs::path& directory) {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().wstring());
    }
    return names;
}

// Texts from the bridge are malloc'ed in msvcrt.dll and freed here with free.
std::string TakeText(char* text) {
    const std::string copy = text != nullptr ? text : "";
    std::free(text);
    return copy;
}

struct BridgeDeleter {
    void operator()(IBridge* bridge) const { bridge->DeleteThis(1); }
};
using BridgeObject = std::unique_ptr<IBridge, BridgeDeleter>;

struct LibraryFreer {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

class ReferenceBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path build = BuildDirectory();
        ASSERT_FALSE(build.empty()) << "QUILO_BUILD_DIR is not set";
        install_ = build / "reference" / "install";
        runtime_ = build / "reference" / "reference_runtime.exe";
        ASSERT_TRUE(fs::exists(install_ / "Quilord.da")) << "the reference_install fixture did not run";
        work_ = build / "reference" /
                ("work-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(work_);
        fs::create_directories(work_);

        // The library's own folder first, so that its import of CsVarnLab.dll
        // resolves there, as it does for the launcher in the install directory.
        library_.reset(
            ::LoadLibraryExW((install_ / L"CsVarnApi.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        ASSERT_TRUE(library_) << "LoadLibraryEx failed: " << ::GetLastError();
        const auto create = reinterpret_cast<CreateWrapperFunction>(
            reinterpret_cast<void*>(::GetProcAddress(library_.get(), kCreateWrapperExport)));
        ASSERT_NE(create, nullptr) << "no export CreateWrapper";
        bridge_.reset(create());
        ASSERT_TRUE(bridge_);
    }

    void TearDown() override {
        bridge_.reset();
        library_.reset();
        std::error_code ignored;
        fs::remove_all(work_, ignored);
    }

    // RegenerateRuntime with the launcher's arguments, into `directory`.
    bool Regenerate(const fs::path& store, const std::string& password, const std::string& record,
                    const std::string& field, const std::string& fileName, std::string& error) {
        char* text = nullptr;
        const bool ok =
            bridge_->RegenerateRuntime(Narrow(store).c_str(), password.c_str(), record.c_str(), field.c_str(),
                                       Narrow(work_).c_str(), fileName.c_str(), &text);
        error = TakeText(text);
        return ok;
    }

    fs::path install_;
    fs::path runtime_;
    fs::path work_;
    Library library_;
    BridgeObject bridge_;
};

TEST_F(ReferenceBridgeTest, RegeneratesTheRuntimeByteForByte) {
    // An existing stale file is replaced, as staging relies on.
    WriteBytes(work_ / "InPrRtm.exe", "stale runtime");
    std::string error;
    ASSERT_TRUE(
        Regenerate(install_ / "Quilord.da", kPassword, "DatFileInfo", "FileDat", "InPrRtm.exe", error))
        << error;
    EXPECT_EQ(error, "");
    const std::string original = ReadBytes(runtime_);
    ASSERT_FALSE(original.empty());
    EXPECT_TRUE(ReadBytes(work_ / "InPrRtm.exe") == original)
        << "regenerated bytes differ from the packed runtime";
    EXPECT_EQ(FileNames(work_), std::vector<std::wstring>{L"InPrRtm.exe"});
}

// Paths reach the bridge in the ANSI code page; a folder whose name is not
// ASCII must still receive the runtime executable.
TEST_F(ReferenceBridgeTest, TargetFolderWithNonAsciiName) {
    fs::path folder;
    for (const wchar_t* name : {L"\u8F6F\u4EF6", L"caf\u00E9", L"\u0444\u0430\u0439\u043B"}) {
        BOOL lossy = FALSE;
        char narrow[64] = {};
        ::WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof(narrow), nullptr, &lossy);
        if (!lossy) {
            folder = work_ / name;
            break;
        }
    }
    if (folder.empty()) {
        GTEST_SKIP() << "the ANSI code page " << ::GetACP() << " carries none of the sample names";
    }
    fs::create_directories(folder);
    work_ = folder;
    std::string error;
    ASSERT_TRUE(
        Regenerate(install_ / "Quilord.da", kPassword, "DatFileInfo", "FileDat", "InPrRtm.exe", error))
        << error;
    EXPECT_TRUE(ReadBytes(folder / "InPrRtm.exe") == ReadBytes(runtime_));
    work_ = folder.parent_path();
}

struct StoreFailure {
    const char* name;
    const char* store;  // file in the work folder, or null for the packaged store
    std::string storeBytes;
    std::string password, record, field;
    const char* error;
};

TEST_F(ReferenceBridgeTest, UnreadableStoresGiveSqliteText) {
    const StoreFailure failures[] = {
        {"wrong password", nullptr, "", "73kqd_415208", "DatFileInfo", "FileDat", "file is not a database"},
        {"store without the table", "empty.da", "", kPassword, "DatFileInfo", "FileDat",
         "no such table: DatFileInfo"},
        {"damaged store", "damaged.da", std::string(4096, '\x33'), kPassword, "DatFileInfo", "FileDat",
         "file is not a database"},
        // Followed by the path the bridge was given.
        {"missing store", "absent.da", "", kPassword, "DatFileInfo", "FileDat", "no such data store: "},
        {"missing field", nullptr, "", kPassword, "DatFileInfo", "Nope", "no such column: Nope"},
    };
    for (const StoreFailure& failure : failures) {
        fs::path store = install_ / "Quilord.da";
        if (failure.store != nullptr) {
            store = work_ / failure.store;
            if (std::string(failure.store) != "absent.da") {
                WriteBytes(store, failure.storeBytes);
            }
        }
        WriteBytes(work_ / "InPrRtm.exe", "previous runtime");
        std::string error;
        EXPECT_FALSE(Regenerate(store, failure.password, failure.record, failure.field, "InPrRtm.exe", error))
            << failure.name;
        const std::string expected = failure.error;
        if (expected.back() == ' ') {
            EXPECT_EQ(error.substr(0, expected.size()), expected) << failure.name;
        } else {
            EXPECT_EQ(error, expected) << failure.name;
        }
        EXPECT_EQ(ReadBytes(work_ / "InPrRtm.exe"), "previous runtime") << failure.name;
        for (const std::wstring& name : FileNames(work_)) {
            EXPECT_EQ(name.find(L".partial"), std::wstring::npos) << failure.name;
        }
    }
}

TEST_F(ReferenceBridgeTest, RefusesTargetNamesOutsideTheFolder) {
    for (const char* name : {"..\\InPrRtm.exe", "sub/InPrRtm.exe", "C:InPrRtm.exe", "", ".."}) {
        std::string error;
        EXPECT_FALSE(Regenerate(install_ / "Quilord.da", kPassword, "DatFileInfo", "FileDat", name, error))
            << name;
        EXPECT_EQ(error, std::string("target file name is not a plain file name: \"") + name + "\"");
    }
    EXPECT_TRUE(FileNames(work_).empty());
    EXPECT_FALSE(fs::exists(work_.parent_path() / "InPrRtm.exe"));
}

TEST_F(ReferenceBridgeTest, StatusAnswer) {
    struct Case {
        const wchar_t* override;  // CSVARN_STATUS, or null for unset
        int value;
        const char* error;
    } cases[] = {
        {nullptr, 1, ""},
        {L"1", 1, ""},
        {L"0", 0, ""},
        {L"later", 0, "status unavailable: CSVARN_STATUS=later"},
    };
    for (const Case& c : cases) {
        ::SetEnvironmentVariableW(L"CSVARN_STATUS", c.override);
        char* error = nullptr;
        const int value = bridge_->QueryStatus(&error);
        EXPECT_EQ(value, c.value) << (c.override ? "set" : "unset");
        EXPECT_EQ(TakeText(error), c.error);
    }
    ::SetEnvironmentVariableW(L"CSVARN_STATUS", nullptr);
}

TEST_F(ReferenceBridgeTest, ComputerIdIsStableUpperHex) {
    char* error = nullptr;
    const std::string first = TakeText(bridge_->QueryComputerId(&error));
    EXPECT_EQ(TakeText(error), "");
    ASSERT_EQ(first.size(), 32u);
    EXPECT_EQ(first.find_first_not_of("0123456789ABCDEF"), std::string::npos) << first;
    const std::string second = TakeText(bridge_->QueryComputerId(&error));
    EXPECT_EQ(second, first);
}

// Without the component library beside it the bridge library does not load,
// with the same code as for a missing runtime library.
TEST_F(ReferenceBridgeTest, MissingComponentLibraryFailsWith126) {
    // Unload the packaged copy first: a library already in the process would
    // satisfy the import by name.
    bridge_.reset();
    library_.reset();
    fs::copy_file(install_ / "CsVarnApi.dll", work_ / "CsVarnApi.dll");
    HMODULE module =
        ::LoadLibraryExW((work_ / L"CsVarnApi.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD code = ::GetLastError();
    Library owner(module);
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(code, 126u);
}

}  // namespace
