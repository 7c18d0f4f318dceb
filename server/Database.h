// The server's one SQLite connection: RAII holders for the connection and its statements, bound
// parameters only, and a mutex that serialises every use from the HTTP and UDP threads.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace oa {

// Any SQLite failure. Request handlers let it reach the server's exception handler, which
// answers with an error page.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One prepared statement. Parameters are numbered from 1, columns from 0.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, std::string_view text);
    Statement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
    Statement& bind(int index, const std::string& text) {
        return bind(index, std::string_view(text));
    }
    Statement& bind(int index, std::nullopt_t);
    Statement& bind(int index, const std::optional<std::string>& text);
    Statement& bindBlob(int index, std::string_view bytes);

    // Binds the arguments to parameters 1, 2, ... in order.
    template <typename... Args>
    Statement& bindAll(const Args&... args) {
        int index = 0;
        (bind(++index, args), ...);
        return *this;
    }

    // Advances to the next row; false when there is none.
    bool step();
    // Runs a statement that returns no rows.
    void run();

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;
    bool isNull(int column) const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const;
    };
    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

class Database {
public:
    // Opens (creating when missing) the database file; throws DatabaseError.
    explicit Database(const std::string& path);

    // Every use of the connection holds this lock for its whole unit of work.
    [[nodiscard]] std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }

    Statement prepare(std::string_view sql) { return Statement(db_.get(), sql); }
    // A prepared statement with its parameters bound, ready to step.
    template <typename... Args>
    Statement query(std::string_view sql, const Args&... args) {
        Statement stmt = prepare(sql);
        stmt.bindAll(args...);
        return stmt;
    }
    // Runs one or more statements without parameters (schema, pragmas).
    void exec(const std::string& sql);
    std::int64_t lastInsertId() const;
    int changes() const;

    // A single integer from a query with its parameters, or the fallback when there is no row.
    template <typename... Args>
    std::int64_t scalar(std::string_view sql, std::int64_t fallback, const Args&... args) {
        Statement stmt = query(sql, args...);
        return stmt.step() ? stmt.integer(0) : fallback;
    }
    template <typename... Args>
    void run(std::string_view sql, const Args&... args) {
        query(sql, args...).run();
    }

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Closer> db_;
    std::mutex mutex_;
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless commit() ran.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool done_ = false;
};

}  // namespace oa
