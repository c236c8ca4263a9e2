// The process's one connection to the store's SQLite file, opened on first
// use, with its statements prepared once.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/settings.h"

namespace kelbrin {

// How long a writer waits for another process before STORE_BUSY.
inline constexpr int busyLimitMilliseconds = 5000;
// Consecutive reads share one snapshot for at most this long: taking a
// snapshot costs several file-lock system calls, more than the read itself.
inline constexpr std::chrono::milliseconds readSnapshotLifetime{2};

// One prepared statement, reset and unbound when a Query ends.
class Statement {
  public:
    Statement(sqlite3 *db, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    sqlite3_stmt *get() const { return statement_; }

  private:
    sqlite3_stmt *statement_ = nullptr;
};

// One use of a prepared statement: bind, step, read columns.
class Query {
  public:
    explicit Query(Statement &statement);
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    Query &bind(int index, int64_t value);
    Query &bind(int index, std::string_view text);
    Query &bind_blob(int index, std::string_view bytes);
    // The same without a copy, for the many rows of a load: the bytes must
    // stay as they are until the query ends.
    Query &bind_borrowed(int index, std::string_view text);
    Query &bind_blob_borrowed(int index, std::string_view bytes);
    Query &bind_null(int index);
    // True while a row is available; throws StoreError on failure.
    bool step();
    // Runs a statement that returns no rows.
    void run();

    int64_t integer(int column) const;
    std::string text(int column) const;
    // The column's text in place, valid until the next step.
    std::string_view view(int column) const;
    std::string blob(int column) const;
    bool is_null(int column) const;
    // Whether the column is NULL or empty, without handing out its text.
    bool is_empty(int column) const;

  private:
    Query &bind_text(int index, std::string_view text, sqlite3_destructor_type lifetime);
    Query &bind_blob(int index, std::string_view bytes, sqlite3_destructor_type lifetime);
    sqlite3_stmt *statement_;
};

enum class OpenMode {
    Create,   // creates the file and its schema when missing
    ReadOnly, // an existing file, as it is: the caller checks its format
    StandIn,  // an empty store in memory, for reads while the file is missing
};

class Database {
  public:
    explicit Database(const std::string &path, OpenMode mode = OpenMode::Create);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The statement for this SQL text, prepared on first use.
    Statement &statement(const char *sql);
    void execute(const char *sql);
    // Switches how hard commits are pushed to stable storage.
    void apply_sync_mode(SyncMode mode);
    // Copies the write-ahead log into the database file, syncing both.
    void flush_to_disk();
    // Bounds the memory pages take, for walks and writes that read many
    // pages: a smaller cache, and pages read in instead of mapped (a mapped
    // page counts as the process's own) unless the file fits in the cache.
    void bound_page_memory();
    // Whether a write transaction has been started on this connection.
    bool has_written() const { return writeSettingsApplied_; }
    int64_t last_insert_id() const;
    // Starts a read snapshot, or keeps the current one while it is young.
    void begin_reading();
    // Ends the read snapshot, so that the next read sees every commit.
    void end_reading();
    sqlite3 *handle() const { return db_; }

  private:
    sqlite3 *db_ = nullptr;
    // Keyed by the address of the SQL text: every caller passes a literal.
    std::unordered_map<const char *, std::unique_ptr<Statement>> statements_;
    std::optional<SyncMode> syncMode_;
    std::chrono::steady_clock::time_point readingSince_;
    bool pageMemoryBounded_ = false;
    bool writeSettingsApplied_ = false;

    friend class WriteTransaction;
    // The log's size limits, set by the first write: a read never needs them.
    void apply_write_settings();
};

// The process's connection, opened (and the schema made or brought up to
// date) on first use.
// A process that changes KELBRIN_STORE moves to the new file on its next
// call; a child after fork opens its own connection.
enum class IfMissing {
    // A missing file is left missing and an empty store stands in for it:
    // for every call but a load, which could only fail on an empty store.
    Empty,
    Create,
};
Database &database(IfMissing ifMissing);

// Changes whenever this process writes to the store or moves to another
// store file: what was read before under the same number is still current.
uint64_t store_generation();

// Where the store lives: KELBRIN_STORE, else the per-user data directory.
std::string store_path();
// Creates a missing store file, empty, with the umask's mode less the
// bits for others.
void create_store_file(const std::string &path);
// Whether nothing is at path.
bool is_missing(const std::string &path);
// Whether path is a file of no bytes: a new store that nothing was loaded into.
bool is_empty_file(const std::string &path);
// Puts back a store that a load or import that failed had made, from
// nothing or from an empty file: its log and index removed, and the file
// removed or emptied again.
void put_back_store_files(const std::string &path, bool wasEmptyFile);
// Closes the process's connection; the next call opens it again.
void close_connection();
// Creates each missing folder above the file, as for the default store.
void make_parent_directories(const std::string &path);

// BEGIN IMMEDIATE on construction, ROLLBACK on destruction unless committed.
class WriteTransaction {
  public:
    explicit WriteTransaction(Database &db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;
    void commit();

  private:
    Database &db_;
    bool open_ = true;
};

// Turns an SQLite result code into the store's error.
[[noreturn]] void throw_sqlite_error(int result);

} // namespace kelbrin
