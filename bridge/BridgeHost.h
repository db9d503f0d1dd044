#ifndef QUILO_BRIDGE_BRIDGEHOST_H
#define QUILO_BRIDGE_BRIDGEHOST_H

// The loaded bridge library and the one interface object obtained from it.

#include <string>

#include <windows.h>

#include "bridge/IBridge.h"
#include "bridge/LaunchBridge.h"

constexpr wchar_t kBridgeLibraryName[] = L"CsVarnApi.dll";
constexpr wchar_t kComponentLibraryName[] = L"CsVarnLab.dll";

class CBridgeHost : public LaunchBridge {
public:
    CBridgeHost() = default;
    ~CBridgeHost();

    CBridgeHost(const CBridgeHost&) = delete;
    CBridgeHost& operator=(const CBridgeHost&) = delete;

    // Loads the bridge and obtains its object; on false the user has been told
    // why and the host is empty.
    bool Load(const std::wstring& installDirectory);
    // Releases the object, then the library. Safe at any time, any number of times.
    void Unload();

    bool IsLoaded() const override { return bridge_ != nullptr; }

    int QueryStatus(std::wstring& error);
    std::wstring QueryComputerId(std::wstring& error);
    bool RegenerateRuntime(const std::wstring& storePath, const std::wstring& storePassword,
                           const std::wstring& recordName, const std::wstring& fieldName,
                           const std::wstring& targetDirectory, const std::wstring& targetFileName,
                           std::wstring& error) override;

    // For tests: adopts an object without a library (it is deleted through slot 20).
    void AttachForTesting(IBridge* bridge) { bridge_ = bridge; }

private:
    HMODULE module_ = nullptr;
    IBridge* bridge_ = nullptr;
};

// The process-wide host that start-up loads and the exit routine unloads.
CBridgeHost& TheBridgeHost();

#endif
