// A scriptable bridge library for scenario tests, built as CsVarnApi.dll.
//
// A scenario writes its answers into "test-bridge.ini" in the folder that holds
// this library (the install directory), one "key=value" per line; a value runs
// to the end of its line, and the two characters "\n" in it stand for a line
// feed. Texts are passed on as they are written (bytes of the ANSI code page).
//
//   status=<number>            QueryStatus result (default 1)
//   status_error=<text>        QueryStatus sets this error text
//   computer_id=<text>         QueryComputerId result; without the key the result is null
//   computer_id_error=<text>   QueryComputerId sets this error text (with or without a result)
//   regenerate=<0|1>           RegenerateRuntime result (default 0)
//   regenerate_error=<text>    RegenerateRuntime sets this error text
//   write_runtime=<file>       RegenerateRuntime first copies this file (absolute, or relative
//                              to the install directory) to <target directory>\<target file name>
//   crash=<status|regenerate>  QueryStatus or RegenerateRuntime faults (an access violation)
//                              right after logging its call, as a broken vendor library would
//   crash_holding=<heap|loader> the fault comes while the faulting thread holds the process
//                              heap's lock (HeapLock) or the loader lock (LdrLockLoaderLock)
//
// Every call is appended to "test-bridge-calls.log" beside it, one line each:
//   CreateWrapper
//   QueryStatus
//   QueryComputerId
//   RegenerateRuntime("<store>","<password>","<record>","<field>","<directory>","<file>")
//     (a null text pointer shows as null, without quotes)
//   Reserved <slot>            a slot the launcher must never call
//   DeleteThis <flags>
//   Unloaded                   the library was released with FreeLibrary (not at process exit)
//
// Variants, chosen when the library is built:
//   QUILO_TEST_BRIDGE_NO_EXPORT    no "CreateWrapper" export at all
//   QUILO_TEST_BRIDGE_NULL_OBJECT  "CreateWrapper" returns null
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "bridge/IBridge.h"

namespace {

HMODULE g_module = nullptr;

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(g_module, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring InFolder(const std::wstring& name) {
    return OwnFolder() + L"\\" + name;
}

void AppendToLog(const std::string& line) {
    const std::wstring log = InFolder(L"test-bridge-calls.log");
    HANDLE file = ::CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string text = line + "\r\n";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string ReadWholeFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    ::CloseHandle(file);
    return bytes;
}

std::string Unescape(const std::string& value) {
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            text += '\n';
            ++i;
        } else {
            text += value[i];
        }
    }
    return text;
}

std::map<std::string, std::string> ReadScript() {
    std::map<std::string, std::string> script;
    const std::string bytes = ReadWholeFile(InFolder(L"test-bridge.ini"));
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            script[line.substr(0, equals)] = Unescape(line.substr(equals + 1));
        }
        start = end + 1;
    }
    return script;
}

// Takes a lock that the process's other threads need for nearly everything,
// and never gives it back.
void HoldLockAsScripted(const std::map<std::string, std::string>& script) {
    const auto holding = script.find("crash_holding");
    if (holding == script.end()) {
        return;
    }
    if (holding->second == "heap") {
        ::HeapLock(::GetProcessHeap());
    } else if (holding->second == "loader") {
        using LockLoaderLock = LONG(WINAPI*)(ULONG, ULONG*, ULONG_PTR*);
        const auto lock = reinterpret_cast<LockLoaderLock>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "LdrLockLoaderLock")));
        ULONG_PTR cookie = 0;
        if (lock) {
            lock(0, nullptr, &cookie);
        }
    }
}

void CrashIfScripted(const std::map<std::string, std::string>& script, const char* call) {
    const auto crash = script.find("crash");
    if (crash != script.end() && crash->second == call) {
        HoldLockAsScripted(script);
        // A page that may not be touched: address zero is no sure fault, since
        // Wine may map the lowest pages when it runs with the rights to.
        auto* target = static_cast<volatile int*>(
            ::VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS));
        *target = 1;
    }
}

// Texts handed to the launcher come from malloc, which it releases with free.
char* CopyForCaller(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void SetErrorFrom(const std::map<std::string, std::string>& script, const char* key, char** error) {
    const auto found = script.find(key);
    if (found != script.end() && error) {
        *error = CopyForCaller(found->second);
    }
}

std::string Quoted(const char* text) {
    return text ? "\"" + std::string(text) + "\"" : "null";
}

std::wstring AnsiToWide(const std::string& text) {
    wchar_t buffer[MAX_PATH * 2] = {};
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer, MAX_PATH * 2 - 1);
    return buffer;
}

void WriteRuntime(const std::string& source, const char* directory, const char* fileName) {
    if (!directory || !fileName) {
        return;
    }
    std::wstring from = AnsiToWide(source);
    if (from.size() < 2 || from[1] != L':') {
        from = InFolder(from);
    }
    const std::wstring to = AnsiToWide(directory) + L"\\" + AnsiToWide(fileName);
    ::CopyFileW(from.c_str(), to.c_str(), FALSE);
}

class TestBridge final : public IBridge {
public:
    void QUILO_BRIDGE_CALL Reserved0() override { AppendToLog("Reserved 0"); }
    int QUILO_BRIDGE_CALL QueryStatus(char** error) override {
        AppendToLog("QueryStatus");
        const auto script = ReadScript();
        CrashIfScripted(script, "status");
        SetErrorFrom(script, "status_error", error);
        const auto status = script.find("status");
        return status == script.end() ? 1 : std::atoi(status->second.c_str());
    }
    void QUILO_BRIDGE_CALL Reserved2() override { AppendToLog("Reserved 2"); }
    void QUILO_BRIDGE_CALL Reserved3() override { AppendToLog("Reserved 3"); }
    void QUILO_BRIDGE_CALL Reserved4() override { AppendToLog("Reserved 4"); }
    void QUILO_BRIDGE_CALL Reserved5() override { AppendToLog("Reserved 5"); }
    char* QUILO_BRIDGE_CALL QueryComputerId(char** error) override {
        AppendToLog("QueryComputerId");
        const auto script = ReadScript();
        SetErrorFrom(script, "computer_id_error", error);
        const auto identifier = script.find("computer_id");
        return identifier == script.end() ? nullptr : CopyForCaller(identifier->second);
    }
    void QUILO_BRIDGE_CALL Reserved7() override { AppendToLog("Reserved 7"); }
    void QUILO_BRIDGE_CALL Reserved8() override { AppendToLog("Reserved 8"); }
    bool QUILO_BRIDGE_CALL RegenerateRuntime(const char* storePath, const char* storePassword,
                                             const char* recordName, const char* fieldName,
                                             const char* targetDirectory, const char* targetFileName,
                                             char** error) override {
        AppendToLog("RegenerateRuntime(" + Quoted(storePath) + "," + Quoted(storePassword) + "," +
                    Quoted(recordName) + "," + Quoted(fieldName) + "," + Quoted(targetDirectory) + "," +
                    Quoted(targetFileName) + ")");
        const auto script = ReadScript();
        CrashIfScripted(script, "regenerate");
        const auto source = script.find("write_runtime");
        if (source != script.end()) {
            WriteRuntime(source->second, targetDirectory, targetFileName);
        }
        SetErrorFrom(script, "regenerate_error", error);
        const auto result = script.find("regenerate");
        return result != script.end() && std::atoi(result->second.c_str()) != 0;
    }
    void QUILO_BRIDGE_CALL Reserved10() override { AppendToLog("Reserved 10"); }
    void QUILO_BRIDGE_CALL Reserved11() override { AppendToLog("Reserved 11"); }
    void QUILO_BRIDGE_CALL Reserved12() override { AppendToLog("Reserved 12"); }
    void QUILO_BRIDGE_CALL Reserved13() override { AppendToLog("Reserved 13"); }
    void QUILO_BRIDGE_CALL Reserved14() override { AppendToLog("Reserved 14"); }
    void QUILO_BRIDGE_CALL Reserved15() override { AppendToLog("Reserved 15"); }
    void QUILO_BRIDGE_CALL Reserved16() override { AppendToLog("Reserved 16"); }
    void QUILO_BRIDGE_CALL Reserved17() override { AppendToLog("Reserved 17"); }
    void QUILO_BRIDGE_CALL Reserved18() override { AppendToLog("Reserved 18"); }
    void QUILO_BRIDGE_CALL Reserved19() override { AppendToLog("Reserved 19"); }
    void* QUILO_BRIDGE_CALL DeleteThis(unsigned int flags) override {
        AppendToLog("DeleteThis " + std::to_string(flags));
        if (flags & 1) {
            delete this;
        }
        return this;
    }
};

}  // namespace

#ifndef QUILO_TEST_BRIDGE_NO_EXPORT
extern "C" __declspec(dllexport) IBridge* CreateWrapper() {
    AppendToLog("CreateWrapper");
#ifdef QUILO_TEST_BRIDGE_NULL_OBJECT
    return nullptr;
#else
    return new TestBridge();
#endif
}
#else
// Something is exported, so only the one name the launcher looks up is missing.
extern "C" __declspec(dllexport) IBridge* CreateWrapperMissing() {
    return nullptr;
}
#endif

#ifdef QUILO_TEST_BRIDGE_NEEDS_ABSENT_RUNTIME
// One use of the absent library keeps its import in this library's import table.
extern "C" __declspec(dllimport) int TestBridgeLabVersion();
extern "C" __declspec(dllexport) int AbsentRuntimeVersion() {
    return TestBridgeLabVersion();
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    // A null `reserved` means FreeLibrary released the library, not the process ending.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        AppendToLog("Unloaded");
    }
    return TRUE;
}
