#ifndef QUILO_PRODUCT_REFERENCE_BRIDGE_VARNBRIDGE_H
#define QUILO_PRODUCT_REFERENCE_BRIDGE_VARNBRIDGE_H

// The reference bridge object that CsVarnApi.dll hands out through
// CreateWrapper. It fills all 21 slots of IBridge; the slots the launcher does
// not call do nothing. No slot lets an exception escape: the caller may be
// built by another compiler, so every failure becomes an error text.

#include "bridge/IBridge.h"

class VarnBridge final : public IBridge {
public:
    VarnBridge() = default;
    ~VarnBridge() = default;
    VarnBridge(const VarnBridge&) = delete;
    VarnBridge& operator=(const VarnBridge&) = delete;

    void QUILO_BRIDGE_CALL Reserved0() override {}
    int QUILO_BRIDGE_CALL QueryStatus(char** error) override;
    void QUILO_BRIDGE_CALL Reserved2() override {}
    void QUILO_BRIDGE_CALL Reserved3() override {}
    void QUILO_BRIDGE_CALL Reserved4() override {}
    void QUILO_BRIDGE_CALL Reserved5() override {}
    char* QUILO_BRIDGE_CALL QueryComputerId(char** error) override;
    void QUILO_BRIDGE_CALL Reserved7() override {}
    void QUILO_BRIDGE_CALL Reserved8() override {}
    bool QUILO_BRIDGE_CALL RegenerateRuntime(const char* storePath, const char* storePassword,
                                             const char* recordName, const char* fieldName,
                                             const char* targetDirectory, const char* targetFileName,
                                             char** error) override;
    void QUILO_BRIDGE_CALL Reserved10() override {}
    void QUILO_BRIDGE_CALL Reserved11() override {}
    void QUILO_BRIDGE_CALL Reserved12() override {}
    void QUILO_BRIDGE_CALL Reserved13() override {}
    void QUILO_BRIDGE_CALL Reserved14() override {}
    void QUILO_BRIDGE_CALL Reserved15() override {}
    void QUILO_BRIDGE_CALL Reserved16() override {}
    void QUILO_BRIDGE_CALL Reserved17() override {}
    void QUILO_BRIDGE_CALL Reserved18() override {}
    void QUILO_BRIDGE_CALL Reserved19() override {}
    void* QUILO_BRIDGE_CALL DeleteThis(unsigned int flags) override;
};

extern "C" IBridge* CreateWrapper();

#endif
