#include "util/ShellStartError.h"

#include <shellapi.h>

DWORD ShellStartError(DWORD lastError, INT_PTR shellResult) {
    if (lastError != ERROR_SUCCESS) {
        return lastError;
    }
    switch (shellResult) {
        case 0:
            return ERROR_NOT_ENOUGH_MEMORY;
        case SE_ERR_SHARE:
            return ERROR_SHARING_VIOLATION;
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC:
            return ERROR_NO_ASSOCIATION;
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY:
            return ERROR_DDE_FAIL;
        case SE_ERR_DLLNOTFOUND:
            return ERROR_DLL_NOT_FOUND;
        default:
            // File or path not found, access denied, out of memory, bad format:
            // the same numbers as the system's codes. A result above 32 is no
            // failure code at all.
            return shellResult > 0 && shellResult <= 32 ? static_cast<DWORD>(shellResult)
                                                        : ERROR_UNIDENTIFIED_ERROR;
    }
}
