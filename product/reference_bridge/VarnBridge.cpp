#include "VarnBridge.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "BridgeStatus.h"
#include "ComputerId.h"
#include "CsVarnLab.h"
#include "RuntimeFileWriter.h"
#include "util/TextConvert.h"

namespace {

// Texts handed to the caller come from malloc of msvcrt.dll, which the
// launcher releases with free.
char* CopyForCaller(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), text.size() + 1);
    }
    return copy;
}

void Fail(char** error, const std::string& text) {
    if (error != nullptr) {
        *error = CopyForCaller(text);
    }
}

// Paths and names arrive in the ANSI code page. A non-empty text that does not
// convert would otherwise silently become an empty path.
bool ToWide(const char* text, std::wstring& wide) {
    wide = NarrowToWide(text, CP_ACP);
    return text[0] == '\0' || !wide.empty();
}

struct LabBuffer {
    unsigned char* data = nullptr;
    size_t size = 0;
    ~LabBuffer() { CvlFree(data); }
};

bool Regenerate(const char* storePath, const char* storePassword, const char* recordName,
                const char* fieldName, const char* targetDirectory, const char* targetFileName,
                std::string& failure) {
    std::wstring store, directory, fileName;
    if (!ToWide(storePath, store) || !ToWide(targetDirectory, directory) ||
        !ToWide(targetFileName, fileName)) {
        failure = "path is not valid text in the ANSI code page";
        return false;
    }
    if (store.empty()) {
        failure = "no data store path given";
        return false;
    }
    if (directory.empty()) {
        failure = "no target folder given";
        return false;
    }
    if (!IsPlainFileName(fileName)) {
        failure = std::string("target file name is not a plain file name: \"") + targetFileName + "\"";
        return false;
    }
    // A path the ANSI code page could not carry (ideographs on a Western
    // system) arrives with "?" in place of the characters and names nothing.
    // The texts say "no such", as SQLite's own do, so that the launcher reads
    // them as a data store it could not reach rather than as an unknown fault.
    if (::GetFileAttributesW(store.c_str()) == INVALID_FILE_ATTRIBUTES) {
        failure = std::string("no such data store: ") + storePath;
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        failure = std::string("no such target folder: ") + targetDirectory;
        return false;
    }

    LabBuffer runtime;
    char* labError = nullptr;
    if (!CvlReadRecordField(WideToNarrow(store, CP_UTF8).c_str(), storePassword, recordName, fieldName,
                            &runtime.data, &runtime.size, &labError)) {
        failure = labError != nullptr ? labError : "data store read failed";
        CvlFree(labError);
        return false;
    }
    return WriteFileReplacing(directory, fileName, runtime.data, runtime.size, failure);
}

}  // namespace

int QUILO_BRIDGE_CALL VarnBridge::QueryStatus(char** error) {
    try {
        const StatusAnswer answer = QueryBridgeStatus();
        if (!answer.error.empty()) {
            Fail(error, answer.error);
        }
        return answer.value;
    } catch (...) {
        Fail(error, "status query failed");
        return 0;
    }
}

char* QUILO_BRIDGE_CALL VarnBridge::QueryComputerId(char** error) {
    try {
        std::string id, failure;
        if (!ReadComputerId(id, failure)) {
            Fail(error, failure);
            return nullptr;
        }
        return CopyForCaller(id);
    } catch (...) {
        Fail(error, "computer identifier query failed");
        return nullptr;
    }
}

bool QUILO_BRIDGE_CALL VarnBridge::RegenerateRuntime(const char* storePath, const char* storePassword,
                                                     const char* recordName, const char* fieldName,
                                                     const char* targetDirectory, const char* targetFileName,
                                                     char** error) {
    if (storePath == nullptr || storePassword == nullptr || recordName == nullptr || fieldName == nullptr ||
        targetDirectory == nullptr || targetFileName == nullptr) {
        Fail(error, "RegenerateRuntime: missing argument");
        return false;
    }
    try {
        std::string failure;
        if (Regenerate(storePath, storePassword, recordName, fieldName, targetDirectory, targetFileName,
                       failure)) {
            return true;
        }
        Fail(error, failure);
    } catch (const std::bad_alloc&) {
        Fail(error, "out of memory rebuilding the runtime executable");
    } catch (...) {
        Fail(error, "rebuilding the runtime executable failed");
    }
    return false;
}

// Laid out like the scalar deleting destructor of Microsoft's compiler: bit 0
// of the flags frees the memory, and the object's address is returned.
void* QUILO_BRIDGE_CALL VarnBridge::DeleteThis(unsigned int flags) {
    if (flags & 1u) {
        delete this;
    } else {
        this->~VarnBridge();
    }
    return this;
}

extern "C" IBridge* CreateWrapper() {
    return new (std::nothrow) VarnBridge();
}
