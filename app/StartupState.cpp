#include "app/StartupState.h"

StartupState& TheStartupState() {
    static StartupState state;
    return state;
}

void ReleaseSingleInstanceMutex() {
    StartupState& state = TheStartupState();
    if (state.singleInstanceMutex) {
        ::CloseHandle(state.singleInstanceMutex);
        state.singleInstanceMutex = nullptr;
    }
}
