#include "DataStore.h"

#include <memory>

#include "sqlite3.h"

namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// sqlite3_open_v2 hands back a connection even when it fails (it carries the
// message), except when it runs out of memory.
bool OpenDatabase(const std::string& pathUtf8, int flags, const std::string& password, Database& db,
                  std::string& error) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(pathUtf8.c_str(), &raw, flags, nullptr);
    db.reset(raw);
    if (rc != SQLITE_OK) {
        error = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        return false;
    }
    if (!password.empty() &&
        sqlite3_key(raw, password.data(), static_cast<int>(password.size())) != SQLITE_OK) {
        error = sqlite3_errmsg(raw);
        return false;
    }
    return true;
}

bool Prepare(sqlite3* db, const std::string& sql, Statement& statement, std::string& error) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
    statement.reset(raw);
    if (rc != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return false;
    }
    return true;
}

bool Execute(sqlite3* db, const std::string& sql, std::string& error) {
    Statement statement;
    if (!Prepare(db, sql, statement, error)) {
        return false;
    }
    if (sqlite3_step(statement.get()) != SQLITE_DONE) {
        error = sqlite3_errmsg(db);
        return false;
    }
    return true;
}

}  // namespace

// Backquotes rather than double quotes: for a double-quoted name SQLite adds a
// hint about string literals to its "no such column" message, and the caller
// should see the plain message.
std::string QuoteSqlIdentifier(const std::string& name) {
    std::string quoted = "`";
    for (char c : name) {
        if (c == '`') {
            quoted += '`';
        }
        quoted += c;
    }
    quoted += '`';
    return quoted;
}

bool ReadRecordField(const std::string& storePathUtf8, const std::string& password,
                     const std::string& recordName, const std::string& fieldName,
                     std::vector<unsigned char>& bytes, std::string& error) {
    bytes.clear();
    error.clear();
    Database db;
    if (!OpenDatabase(storePathUtf8, SQLITE_OPEN_READONLY, password, db, error)) {
        return false;
    }
    // Preparing reads the schema: this is where a wrong password or a damaged
    // file shows up ("file is not a database") and a missing table or field.
    Statement statement;
    const std::string sql =
        "SELECT " + QuoteSqlIdentifier(fieldName) + " FROM " + QuoteSqlIdentifier(recordName) + " LIMIT 1";
    if (!Prepare(db.get(), sql, statement, error)) {
        return false;
    }
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) {
        error = "no such row: " + recordName + " holds no record";
        return false;
    }
    if (rc != SQLITE_ROW) {
        error = sqlite3_errmsg(db.get());
        return false;
    }
    const void* data = sqlite3_column_blob(statement.get(), 0);
    const int size = sqlite3_column_bytes(statement.get(), 0);
    if (data == nullptr || size <= 0) {
        // An empty runtime executable would only fail later, at start, with a
        // far less helpful message.
        error = "empty field: " + recordName + "." + fieldName + " holds no data";
        return false;
    }
    const unsigned char* begin = static_cast<const unsigned char*>(data);
    bytes.assign(begin, begin + size);
    return true;
}

bool CreateRecordStore(const std::string& storePathUtf8, const std::string& password,
                       const std::string& recordName, const std::string& fieldName,
                       const std::vector<unsigned char>& bytes, std::string& error) {
    error.clear();
    Database db;
    if (!OpenDatabase(storePathUtf8, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, password, db, error)) {
        return false;
    }
    const std::string table = QuoteSqlIdentifier(recordName);
    const std::string field = QuoteSqlIdentifier(fieldName);
    if (!Execute(db.get(), "CREATE TABLE " + table + " (Id INTEGER PRIMARY KEY, " + field + " BLOB NOT NULL)",
                 error)) {
        return false;
    }
    Statement insert;
    if (!Prepare(db.get(), "INSERT INTO " + table + " (Id, " + field + ") VALUES (1, ?1)", insert, error)) {
        return false;
    }
    if (sqlite3_bind_blob64(insert.get(), 1, bytes.data(), bytes.size(), SQLITE_STATIC) != SQLITE_OK ||
        sqlite3_step(insert.get()) != SQLITE_DONE) {
        error = sqlite3_errmsg(db.get());
        return false;
    }
    insert.reset();
    // Closing writes the last pages; a failure here means an incomplete store.
    if (sqlite3_close(db.release()) != SQLITE_OK) {
        error = "could not close the data store";
        return false;
    }
    return true;
}

bool CheckStoreEngine(std::string& error) {
    error.clear();
    // Keys are refused for in-memory databases, so the cipher is checked by
    // name and the engine by one statement.
    if (sqlite3mc_cipher_index("chacha20") < 0) {
        error = "data store cipher chacha20 unavailable";
        return false;
    }
    Database db;
    if (!OpenDatabase(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, std::string(), db, error)) {
        return false;
    }
    return Execute(db.get(), "CREATE TABLE t (x)", error);
}
