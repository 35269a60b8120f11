// Thin RAII layer over the SQLite C API: one connection and its prepared statements.
//
// Errors never escape as exceptions: every call returns false (or an empty value) and the
// connection keeps a text description of the last error. Neither class locks anything; the
// device store serialises all use of one connection under its own lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class CSqliteStatement {
  public:
    CSqliteStatement() = default;
    ~CSqliteStatement();
    CSqliteStatement(CSqliteStatement&& other) noexcept;
    CSqliteStatement& operator=(CSqliteStatement&& other) noexcept;
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;

    bool IsValid() const { return stmt_ != nullptr; }

    // Parameters are numbered from 1. Text is bound without a copy: the bytes must stay alive
    // until Reset(), which every user calls before the bound data goes away.
    bool BindInt(int index, int64_t value);
    bool BindDouble(int index, double value);
    bool BindText(int index, std::string_view text);

    // One step: true while a row is available, false at the end or on an error (then
    // Failed() is true and the connection's LastError() says why).
    bool Step();
    bool Failed() const { return failed_; }
    // Runs a statement that yields no rows to its end.
    bool Run();

    // Columns are numbered from 0.
    int64_t ColumnInt(int column) const;
    double ColumnDouble(int column) const;
    std::string_view ColumnText(int column) const;

    // Back to the start with all parameters cleared.
    void Reset();

  private:
    friend class CSqliteDatabase;
    CSqliteStatement(sqlite3_stmt* stmt, class CSqliteDatabase* owner)
        : stmt_(stmt), owner_(owner) {}

    sqlite3_stmt* stmt_ = nullptr;
    class CSqliteDatabase* owner_ = nullptr;
    bool failed_ = false;
};

// Resets a statement when the scope ends, so no bound text outlives its owner.
class CStatementScope {
  public:
    explicit CStatementScope(CSqliteStatement& stmt) : stmt_(stmt) {}
    ~CStatementScope() { stmt_.Reset(); }
    CStatementScope(const CStatementScope&) = delete;
    CStatementScope& operator=(const CStatementScope&) = delete;

  private:
    CSqliteStatement& stmt_;
};

class CSqliteDatabase {
  public:
    CSqliteDatabase() = default;
    ~CSqliteDatabase();
    CSqliteDatabase(const CSqliteDatabase&) = delete;
    CSqliteDatabase& operator=(const CSqliteDatabase&) = delete;

    // Opens the database at path (":memory:" for a private in-memory database). With create
    // false a missing file is an error instead of being made.
    bool Open(const std::string& path, bool create);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    // Runs one or more statements that yield no rows.
    bool Execute(std::string_view sql);
    // Prepares a statement kept for the life of the connection; invalid on an error. Every
    // statement must be destroyed before Close().
    CSqliteStatement Prepare(std::string_view sql);

    // Rows changed by the latest insert, update or delete.
    int64_t Changes() const;

    const std::string& LastError() const { return lastError_; }

  private:
    friend class CSqliteStatement;
    void NoteError(std::string_view where);

    sqlite3* db_ = nullptr;
    std::string lastError_;
};
