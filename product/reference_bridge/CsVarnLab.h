#ifndef QUILO_PRODUCT_REFERENCE_BRIDGE_CSVARNLAB_H
#define QUILO_PRODUCT_REFERENCE_BRIDGE_CSVARNLAB_H

// C interface of the component library CsVarnLab.dll: the data-store engine
// that the bridge library CsVarnApi.dll links against. Plain C calling
// convention and C types, so the two libraries need not share a compiler.
//
// Every text and buffer this library hands out is allocated with malloc of
// msvcrt.dll, the same heap the bridge's callers release texts to, so an
// error text may be passed on to the launcher unchanged. CvlFree releases
// them for callers that do not share that heap.

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Reads field `fieldName` of the first row of table `recordName` in the
// encrypted store at `storePathUtf8`, opened with `password`. Returns 1 and
// sets *data (malloc'ed) and *size on success; returns 0 and sets *error to
// SQLite's own message (or a text of this library) on failure.
int CvlReadRecordField(const char* storePathUtf8, const char* password, const char* recordName,
                       const char* fieldName, unsigned char** data, size_t* size, char** error);

// Returns 1 when the engine can open and encrypt a database; 0 with *error set otherwise.
int CvlCheckEngine(char** error);

// The engine's version text (static, not to be freed).
const char* CvlEngineVersion(void);

void CvlFree(void* memory);

#ifdef __cplusplus
}
#endif

#endif
