// The slot layout of the bridge interface, as a bridge built by another
// compiler sees it: each slot is reached by its index in the virtual table and
// called with the __thiscall convention.
#include <gtest/gtest.h>

#include <string>

#include "bridge/IBridge.h"

namespace {

// Every slot records its own number and the arguments it received.
class SlotRecorder : public IBridge {
public:
    int slot = -1;
    char** errorArgument = nullptr;
    std::string texts;
    unsigned int flags = 0;

    void QUILO_BRIDGE_CALL Reserved0() override { slot = 0; }
    int QUILO_BRIDGE_CALL QueryStatus(char** error) override {
        slot = 1;
        errorArgument = error;
        return 101;
    }
    void QUILO_BRIDGE_CALL Reserved2() override { slot = 2; }
    void QUILO_BRIDGE_CALL Reserved3() override { slot = 3; }
    void QUILO_BRIDGE_CALL Reserved4() override { slot = 4; }
    void QUILO_BRIDGE_CALL Reserved5() override { slot = 5; }
    char* QUILO_BRIDGE_CALL QueryComputerId(char** error) override {
        slot = 6;
        errorArgument = error;
        return nullptr;
    }
    void QUILO_BRIDGE_CALL Reserved7() override { slot = 7; }
    void QUILO_BRIDGE_CALL Reserved8() override { slot = 8; }
    bool QUILO_BRIDGE_CALL RegenerateRuntime(const char* a, const char* b, const char* c, const char* d,
                                             const char* e, const char* f, char** error) override {
        slot = 9;
        texts = std::string(a) + b + c + d + e + f;
        errorArgument = error;
        return true;
    }
    void QUILO_BRIDGE_CALL Reserved10() override { slot = 10; }
    void QUILO_BRIDGE_CALL Reserved11() override { slot = 11; }
    void QUILO_BRIDGE_CALL Reserved12() override { slot = 12; }
    void QUILO_BRIDGE_CALL Reserved13() override { slot = 13; }
    void QUILO_BRIDGE_CALL Reserved14() override { slot = 14; }
    void QUILO_BRIDGE_CALL Reserved15() override { slot = 15; }
    void QUILO_BRIDGE_CALL Reserved16() override { slot = 16; }
    void QUILO_BRIDGE_CALL Reserved17() override { slot = 17; }
    void QUILO_BRIDGE_CALL Reserved18() override { slot = 18; }
    void QUILO_BRIDGE_CALL Reserved19() override { slot = 19; }
    void* QUILO_BRIDGE_CALL DeleteThis(unsigned int deleteFlags) override {
        slot = 20;
        flags = deleteFlags;
        return this;
    }
};

// Slot signatures as a caller that knows only the table would spell them.
using PlainSlot = void(__thiscall*)(IBridge*);
using StatusSlot = int(__thiscall*)(IBridge*, char**);
using TextSlot = char*(__thiscall*)(IBridge*, char**);
using RegenerateSlot = bool(__thiscall*)(IBridge*, const char*, const char*, const char*, const char*,
                                         const char*, const char*, char**);
using DeleteSlot = void*(__thiscall*)(IBridge*, unsigned int);

void* SlotAddress(IBridge* bridge, int index) {
    return (*reinterpret_cast<void***>(bridge))[index];
}

template <typename Slot>
Slot SlotAt(IBridge* bridge, int index) {
    return reinterpret_cast<Slot>(SlotAddress(bridge, index));
}

}  // namespace

TEST(BridgeSlots, EverySlotFrom0To20IsTheOneItsIndexNames) {
    SlotRecorder recorder;
    IBridge* bridge = &recorder;
    char* error = nullptr;
    for (int index = 0; index <= 20; ++index) {
        recorder.slot = -1;
        switch (index) {
            case 1:
                EXPECT_EQ(101, SlotAt<StatusSlot>(bridge, index)(bridge, &error));
                EXPECT_EQ(&error, recorder.errorArgument);
                break;
            case 6:
                EXPECT_EQ(nullptr, SlotAt<TextSlot>(bridge, index)(bridge, &error));
                EXPECT_EQ(&error, recorder.errorArgument);
                break;
            case 9:
                EXPECT_TRUE(
                    SlotAt<RegenerateSlot>(bridge, index)(bridge, "1", "2", "3", "4", "5", "6", &error));
                EXPECT_EQ("123456", recorder.texts);
                EXPECT_EQ(&error, recorder.errorArgument);
                break;
            case 20:
                EXPECT_EQ(bridge, SlotAt<DeleteSlot>(bridge, index)(bridge, 1));
                EXPECT_EQ(1u, recorder.flags);
                break;
            default:
                SlotAt<PlainSlot>(bridge, index)(bridge);
                break;
        }
        EXPECT_EQ(index, recorder.slot) << "slot " << index;
    }
}

TEST(BridgeSlots, NoHiddenSlotPrecedesAClassesOwnFunctions) {
    // No C++ destructor is declared virtual, so for GCC as for Microsoft's
    // compiler the table holds exactly the 21 declared slots: a derived
    // class's first own virtual function lands at index 21.
    struct Probe : SlotRecorder {
        virtual void Extra() { slot = 21; }
    } probe;
    SlotAt<PlainSlot>(&probe, 21)(&probe);
    EXPECT_EQ(21, probe.slot);
}
