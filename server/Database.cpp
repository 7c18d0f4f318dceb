// SQLite connection and statement holders.
#include "server/Database.h"

#include <sqlite3.h>

namespace oa {

namespace {

[[noreturn]] void fail(sqlite3* db, std::string_view what) {
    throw DatabaseError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "no connection"));
}

}  // namespace

void Statement::Finalizer::operator()(sqlite3_stmt* stmt) const {
    sqlite3_finalize(stmt);
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(raw);
        fail(db, "prepare");
    }
    stmt_.reset(raw);
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_.get(), index, value) != SQLITE_OK) {
        fail(db_, "bind");
    }
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    if (sqlite3_bind_text64(stmt_.get(), index, text.data(), text.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK) {
        fail(db_, "bind");
    }
    return *this;
}

Statement& Statement::bind(int index, std::nullopt_t) {
    if (sqlite3_bind_null(stmt_.get(), index) != SQLITE_OK) {
        fail(db_, "bind");
    }
    return *this;
}

Statement& Statement::bind(int index, const std::optional<std::string>& text) {
    return text ? bind(index, std::string_view(*text)) : bind(index, std::nullopt);
}

Statement& Statement::bindBlob(int index, std::string_view bytes) {
    if (sqlite3_bind_blob64(stmt_.get(), index, bytes.data(), bytes.size(), SQLITE_TRANSIENT) !=
        SQLITE_OK) {
        fail(db_, "bind");
    }
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    fail(db_, "step");
}

void Statement::run() {
    while (step()) {
    }
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

std::string Statement::text(int column) const {
    const auto* data = sqlite3_column_text(stmt_.get(), column);
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    return data ? std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size))
                : std::string();
}

std::string Statement::blob(int column) const {
    const void* data = sqlite3_column_blob(stmt_.get(), column);
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    return data ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(size))
                : std::string();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL;
}

void Database::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

Database::Database(const std::string& path) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(
        path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
        nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        fail(raw, "open " + path);
    }
    sqlite3_busy_timeout(raw, 5000);
    exec("PRAGMA foreign_keys = ON; PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
}

void Database::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw DatabaseError("exec: " + text);
    }
}

std::int64_t Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_.get());
}

int Database::changes() const {
    return sqlite3_changes(db_.get());
}

Transaction::Transaction(Database& db) : db_(db) {
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            db_.exec("ROLLBACK");
        } catch (const DatabaseError&) {
            // Nothing more can be done while unwinding; the connection rolls back on close.
        }
    }
}

void Transaction::commit() {
    db_.exec("COMMIT");
    done_ = true;
}

}  // namespace oa
