#ifndef QUILO_TESTS_UNIT_SILENTBRIDGE_H
#define QUILO_TESTS_UNIT_SILENTBRIDGE_H

// An in-process bridge object that answers every slot with its empty result;
// tests derive from it and override only the slots they look at.

#include "bridge/IBridge.h"

class SilentBridge : public IBridge {
public:
    void QUILO_BRIDGE_CALL Reserved0() override {}
    int QUILO_BRIDGE_CALL QueryStatus(char**) override { return 0; }
    void QUILO_BRIDGE_CALL Reserved2() override {}
    void QUILO_BRIDGE_CALL Reserved3() override {}
    void QUILO_BRIDGE_CALL Reserved4() override {}
    void QUILO_BRIDGE_CALL Reserved5() override {}
    char* QUILO_BRIDGE_CALL QueryComputerId(char**) override { return nullptr; }
    void QUILO_BRIDGE_CALL Reserved7() override {}
    void QUILO_BRIDGE_CALL Reserved8() override {}
    bool QUILO_BRIDGE_CALL RegenerateRuntime(const char*, const char*, const char*, const char*, const char*,
                                             const char*, char**) override {
        return false;
    }
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
    // Owned by the test unless a derived object says otherwise.
    void* QUILO_BRIDGE_CALL DeleteThis(unsigned int) override { return this; }

protected:
    ~SilentBridge() = default;
};

#endif
