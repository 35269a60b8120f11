#include "store/CSqliteDatabase.h"

#include <sqlite3.h>

#include <utility>

CSqliteStatement::~CSqliteStatement() {
    if (stmt_) sqlite3_finalize(stmt_);
}

CSqliteStatement::CSqliteStatement(CSqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)),
      owner_(std::exchange(other.owner_, nullptr)),
      failed_(other.failed_) {}

CSqliteStatement& CSqliteStatement::operator=(CSqliteStatement&& other) noexcept {
    if (this != &other) {
        if (stmt_) sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        owner_ = std::exchange(other.owner_, nullptr);
        failed_ = other.failed_;
    }
    return *this;
}

bool CSqliteStatement::BindInt(int index, int64_t value) {
    return stmt_ && sqlite3_bind_int64(stmt_, index, value) == SQLITE_OK;
}

bool CSqliteStatement::BindDouble(int index, double value) {
    return stmt_ && sqlite3_bind_double(stmt_, index, value) == SQLITE_OK;
}

bool CSqliteStatement::BindText(int index, std::string_view text) {
    // An empty view may carry a null pointer, which SQLite would bind as NULL.
    const char* data = text.data() ? text.data() : "";
    return stmt_ && sqlite3_bind_text(stmt_, index, data, static_cast<int>(text.size()),
                                      SQLITE_STATIC) == SQLITE_OK;
}

bool CSqliteStatement::Step() {
    if (!stmt_) {
        failed_ = true;
        return false;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) {
        failed_ = true;
        if (owner_) owner_->NoteError("step");
    }
    return false;
}

bool CSqliteStatement::Run() {
    while (Step()) {
    }
    return !failed_;
}

int64_t CSqliteStatement::ColumnInt(int column) const {
    return stmt_ ? sqlite3_column_int64(stmt_, column) : 0;
}

double CSqliteStatement::ColumnDouble(int column) const {
    return stmt_ ? sqlite3_column_double(stmt_, column) : 0.0;
}

std::string_view CSqliteStatement::ColumnText(int column) const {
    if (!stmt_) return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!text) return {};
    return {text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
}

void CSqliteStatement::Reset() {
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    failed_ = false;
}

CSqliteDatabase::~CSqliteDatabase() { Close(); }

bool CSqliteDatabase::Open(const std::string& path, bool create) {
    Close();
    // The caller serialises every use of the connection, so SQLite's own mutex is not needed.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (create) flags |= SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        lastError_ = "open " + path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        if (db) sqlite3_close(db);
        return false;
    }
    db_ = db;
    return true;
}

void CSqliteDatabase::Close() {
    if (!db_) return;
    // sqlite3_close_v2 defers the close until any forgotten statement is finalised.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool CSqliteDatabase::Execute(std::string_view sql) {
    if (!db_) {
        lastError_ = "execute: connection closed";
        return false;
    }
    const std::string text(sql);
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        lastError_ =
            "execute: " + std::to_string(rc) + " " + (message ? message : sqlite3_errstr(rc));
        sqlite3_free(message);
        return false;
    }
    return true;
}

CSqliteStatement CSqliteDatabase::Prepare(std::string_view sql) {
    if (!db_) {
        lastError_ = "prepare: connection closed";
        return {};
    }
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK || !stmt) {
        NoteError("prepare");
        if (stmt) sqlite3_finalize(stmt);
        return {};
    }
    return CSqliteStatement(stmt, this);
}

int64_t CSqliteDatabase::Changes() const { return db_ ? sqlite3_changes64(db_) : 0; }

void CSqliteDatabase::NoteError(std::string_view where) {
    lastError_.assign(where);
    if (db_) {
        lastError_ += ": " + std::to_string(sqlite3_extended_errcode(db_)) + " " +
                      sqlite3_errstr(sqlite3_errcode(db_)) + " (" + sqlite3_errmsg(db_) + ")";
    }
}
