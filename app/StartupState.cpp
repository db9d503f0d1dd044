#include "app/StartupState.h"

#include <utility>

#include "util/ProductConstants.h"

StartupState& TheStartupState() {
    static StartupState state;
    return state;
}

void ReleaseSingleInstanceMutex() {
    TheStartupState().singleInstanceMutex.Close();
}

bool ReclaimSingleInstanceMutex() {
    ReleaseSingleInstanceMutex();
    ScopedKernelHandle mutex(::CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName));
    if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        return false;
    }
    TheStartupState().singleInstanceMutex = std::move(mutex);
    return true;
}
