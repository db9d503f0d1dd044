#include "CsVarnLab.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "DataStore.h"
#include "sqlite3.h"

// Nothing may unwind out of a C entry point into a caller built by another
// compiler: every failure, out-of-memory included, becomes an error text.

namespace {

char* CopyToHeap(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), text.size() + 1);
    }
    return copy;
}

void SetError(char** error, const std::string& text) {
    if (error != nullptr) {
        *error = CopyToHeap(text);
    }
}

}  // namespace

extern "C" int CvlReadRecordField(const char* storePathUtf8, const char* password, const char* recordName,
                                  const char* fieldName, unsigned char** data, size_t* size, char** error) {
    if (error != nullptr) {
        *error = nullptr;
    }
    if (data == nullptr || size == nullptr) {
        SetError(error, "CvlReadRecordField: no place for the result");
        return 0;
    }
    *data = nullptr;
    *size = 0;
    if (storePathUtf8 == nullptr || password == nullptr || recordName == nullptr || fieldName == nullptr) {
        SetError(error, "CvlReadRecordField: missing argument");
        return 0;
    }
    try {
        std::vector<unsigned char> bytes;
        std::string failure;
        if (!ReadRecordField(storePathUtf8, password, recordName, fieldName, bytes, failure)) {
            SetError(error, failure);
            return 0;
        }
        unsigned char* copy = static_cast<unsigned char*>(std::malloc(bytes.size()));
        if (copy == nullptr) {
            SetError(error, "out of memory reading the data store");
            return 0;
        }
        std::memcpy(copy, bytes.data(), bytes.size());
        *data = copy;
        *size = bytes.size();
        return 1;
    } catch (const std::exception& e) {
        SetError(error, std::string("data store read failed: ") + e.what());
    } catch (...) {
        SetError(error, "data store read failed");
    }
    return 0;
}

extern "C" int CvlCheckEngine(char** error) {
    if (error != nullptr) {
        *error = nullptr;
    }
    try {
        std::string failure;
        if (CheckStoreEngine(failure)) {
            return 1;
        }
        SetError(error, failure);
    } catch (...) {
        SetError(error, "data store engine check failed");
    }
    return 0;
}

extern "C" const char* CvlEngineVersion(void) {
    return SQLITE3MC_VERSION_STRING;
}

extern "C" void CvlFree(void* memory) {
    std::free(memory);
}
