#ifndef QUILO_PRODUCT_REFERENCE_BRIDGE_DATASTORE_H
#define QUILO_PRODUCT_REFERENCE_BRIDGE_DATASTORE_H

// The runtime data store: an encrypted SQLite database whose record table holds
// the runtime executable in one blob field of its first row. This file is the
// only code that knows that layout. The component library reads stores with it
// on Windows and the packager writes them with it on the build machine, so
// the two can never disagree. Portable: no Windows headers.
//
// Paths are UTF-8, as SQLite wants them. Failures come back as SQLite's own
// message text where SQLite failed, so that the launcher can classify them.

#include <string>
#include <vector>

// An identifier quoted for SQL, so that record and field names from the caller
// can never be read as SQL.
std::string QuoteSqlIdentifier(const std::string& name);

// Reads field `fieldName` of the first row of table `recordName`. False with
// `error` set when the store cannot be opened or decrypted, has no such table,
// field or row, or the field is empty.
bool ReadRecordField(const std::string& storePathUtf8, const std::string& password,
                     const std::string& recordName, const std::string& fieldName,
                     std::vector<unsigned char>& bytes, std::string& error);

// Creates a new store at `storePathUtf8` (the file must not exist) holding one
// table `recordName` with one row whose blob field `fieldName` is `bytes`.
bool CreateRecordStore(const std::string& storePathUtf8, const std::string& password,
                       const std::string& recordName, const std::string& fieldName,
                       const std::vector<unsigned char>& bytes, std::string& error);

// Whether the linked engine works and has the store's cipher. False with a
// text (SQLite's, where SQLite failed) when it does not.
bool CheckStoreEngine(std::string& error);

#endif
