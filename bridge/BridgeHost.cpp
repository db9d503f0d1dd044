// Stand-in until the bridge loader lands: the host never loads anything.
#include "bridge/BridgeHost.h"

CBridgeHost::~CBridgeHost() { Unload(); }

bool CBridgeHost::Load() { return false; }

void CBridgeHost::Unload() {
    if (bridge_) {
        bridge_->DeleteThis(1);
        bridge_ = nullptr;
    }
    if (module_) {
        ::FreeLibrary(module_);
        module_ = nullptr;
    }
}

int CBridgeHost::QueryStatus(std::wstring& error) {
    error.clear();
    return 0;
}

std::wstring CBridgeHost::QueryComputerId(std::wstring& error) {
    error.clear();
    return std::wstring();
}

bool CBridgeHost::RegenerateRuntime(const std::wstring&, const std::wstring&, const std::wstring&,
                                    const std::wstring&, const std::wstring&, const std::wstring&,
                                    std::wstring& error) {
    error.clear();
    return false;
}

CBridgeHost& TheBridgeHost() {
    static CBridgeHost host;
    return host;
}
