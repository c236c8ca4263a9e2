#include "store/database.h"

#include <pthread.h>
#include <pwd.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/errors.h"
#include "store/format.h"

namespace kelbrin {

namespace {

// Bytes of write-ahead log left on disk after a checkpoint.
constexpr const char *keptLogLimitPragma = "PRAGMA journal_size_limit = 4194304";
// Page cache of 512 KiB instead of SQLite's 2 MiB: one call reads each page
// about once, and a walk of a large store would otherwise fill all of it.
constexpr int64_t pageCacheBytes = 512 * 1024;
constexpr const char *pageCachePragma = "PRAGMA cache_size = -512";
// Short reads map the file (up to 256 MiB of it) instead of copying each
// page in with a system call; bound_page_memory maps at most the cache's
// size of it, or nothing.
constexpr const char *mappedReadsPragma = "PRAGMA mmap_size = 268435456";
constexpr const char *cacheSizedMappingPragma = "PRAGMA mmap_size = 524288";
constexpr const char *copiedReadsPragma = "PRAGMA mmap_size = 0";

// Bytes of log after which a commit folds the log into the database file
// (two syncs), the size the kept log is cut back to.
constexpr int64_t logBytesBeforeCheckpoint = 4 * 1024 * 1024;

} // namespace

// Creates each missing directory of path's parent, like mkdir -p.
void make_parent_directories(const std::string &path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        std::string directory = path.substr(0, slash);
        if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
            throw StoreError{STORE_UNAVAILABLE};
    }
}

// A missing store file is made empty, with no permission for other users:
// SQLite gives its log and index the file's mode.
void create_store_file(const std::string &path) {
    int made = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0660);
    if (made >= 0)
        close(made);
}

namespace {

std::string home_directory() {
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    throw StoreError{STORE_UNAVAILABLE};
}

// A connection that has only read is not closed at exit: closing would
// try to fold the log into the file and release what the system releases
// anyway. Kept here, it stays reachable rather than leaked (volatile: the
// pointer is never read, and the store to it must stay).
Database *volatile leftOpenAtExit = nullptr;

struct Connection {
    std::unique_ptr<Database> database;
    std::string path;
    bool inheritedAcrossFork = false;
    bool standIn = false; // for a missing file, until it exists or a load comes

    // A writer still closes: that folds its commits into the file and syncs them.
    ~Connection() {
        if (database && !database->has_written())
            leftOpenAtExit = database.release();
    }
};

// Connections of the parent (and its parents) that a child leaves alone. A
// plain pointer chain, so it stays reachable even after static destructors
// have run at exit: leaving them is deliberate, not a leak.
struct LeftByFork {
    Database *database;
    LeftByFork *next;
};
LeftByFork *leftByFork = nullptr;

uint64_t generation = 0;

Connection &connection() {
    static Connection current;
    return current;
}

// A connection must not be used across fork: the child leaves the parent's
// handle alone (closing it could drop the parent's file locks) and opens its own.
void forget_connection_in_child() { connection().inheritedAcrossFork = true; }

} // namespace

[[noreturn]] void throw_sqlite_error(int result) {
    switch (result & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw StoreError{STORE_BUSY};
    case SQLITE_NOTADB:
        throw StoreError{NOT_A_STORE, sqlite3_errstr(result)};
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
        throw StoreError{STORE_UNAVAILABLE, sqlite3_errstr(result)};
    case SQLITE_NOMEM:
        throw StoreError{OUT_OF_MEMORY};
    case SQLITE_TOOBIG:
        throw StoreError{VALUE_TOO_LONG};
    default:
        throw StoreError{STORE_FAILED, sqlite3_errstr(result)};
    }
}

Statement::Statement(sqlite3 *db, const char *sql) {
    int result = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
    if (result != SQLITE_OK)
        throw_sqlite_error(result);
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Query::Query(Statement &statement) : statement_(statement.get()) {}

Query::~Query() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

Query &Query::bind(int index, int64_t value) {
    if (int result = sqlite3_bind_int64(statement_, index, value); result != SQLITE_OK)
        throw_sqlite_error(result);
    return *this;
}

Query &Query::bind_text(int index, std::string_view text, sqlite3_destructor_type lifetime) {
    int result = sqlite3_bind_text64(statement_, index, text.data(), text.size(), lifetime, SQLITE_UTF8);
    if (result != SQLITE_OK)
        throw_sqlite_error(result);
    return *this;
}

// An empty blob is bound with a pointer all the same: a null one would bind NULL.
Query &Query::bind_blob(int index, std::string_view bytes, sqlite3_destructor_type lifetime) {
    const char *data = bytes.empty() ? "" : bytes.data();
    int result = sqlite3_bind_blob64(statement_, index, data, bytes.size(), lifetime);
    if (result != SQLITE_OK)
        throw_sqlite_error(result);
    return *this;
}

Query &Query::bind(int index, std::string_view text) { return bind_text(index, text, SQLITE_TRANSIENT); }
Query &Query::bind_blob(int index, std::string_view bytes) { return bind_blob(index, bytes, SQLITE_TRANSIENT); }
Query &Query::bind_borrowed(int index, std::string_view text) { return bind_text(index, text, SQLITE_STATIC); }
Query &Query::bind_blob_borrowed(int index, std::string_view bytes) { return bind_blob(index, bytes, SQLITE_STATIC); }

Query &Query::bind_null(int index) {
    if (int result = sqlite3_bind_null(statement_, index); result != SQLITE_OK)
        throw_sqlite_error(result);
    return *this;
}

bool Query::step() {
    int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    throw_sqlite_error(result);
}

void Query::run() {
    while (step()) {
    }
}

int64_t Query::integer(int column) const { return sqlite3_column_int64(statement_, column); }

std::string Query::text(int column) const { return std::string(view(column)); }

std::string_view Query::view(int column) const {
    const unsigned char *text = sqlite3_column_text(statement_, column);
    if (!text)
        return {};
    return std::string_view(reinterpret_cast<const char *>(text), sqlite3_column_bytes(statement_, column));
}

std::string Query::blob(int column) const {
    const void *bytes = sqlite3_column_blob(statement_, column);
    if (!bytes)
        return {};
    return std::string(static_cast<const char *>(bytes), sqlite3_column_bytes(statement_, column));
}

bool Query::is_null(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

bool Query::is_empty(int column) const { return sqlite3_column_bytes(statement_, column) == 0; }

Database::Database(const std::string &path, OpenMode mode) {
    int access = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (mode == OpenMode::Create)
        create_store_file(path);
    // SQLite's tally of its memory, which nothing here reads, takes a lock
    // on every allocation; it can only be turned off before the first open.
    static const int unmetered = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)unmetered;
    const char *file = mode == OpenMode::StandIn ? ":memory:" : path.c_str();
    int result = sqlite3_open_v2(file, &db_, access | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw StoreError{STORE_UNAVAILABLE, sqlite3_errstr(result)};
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyLimitMilliseconds);
    // Keep the write-ahead log and its index between processes: otherwise
    // every short call creates, sizes and chowns both files and the last one
    // out deletes them again. The size limit bounds the log kept on disk.
    int persist = 1;
    sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    // Nothing but the mapping is set up here: a short call pays only for
    // what it uses (the log's limits and the sync mode come with the first
    // write, the bounded page memory with the first walk). A read-only open
    // is for a whole group's show or a backup, which read many pages.
    try {
        if (mode != OpenMode::ReadOnly) {
            execute(mappedReadsPragma);
            bring_schema_up_to_date(*this);
        } else {
            bound_page_memory();
        }
    } catch (...) {
        statements_.clear();
        sqlite3_close(db_);
        throw;
    }
}

Database::~Database() {
    statements_.clear();
    sqlite3_close(db_);
}

Statement &Database::statement(const char *sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end())
        return *found->second;
    auto inserted = statements_.emplace(sql, std::make_unique<Statement>(db_, sql));
    return *inserted.first->second;
}

void Database::execute(const char *sql) {
    if (int result = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); result != SQLITE_OK)
        throw_sqlite_error(result);
}

void Database::apply_sync_mode(SyncMode mode) {
    if (syncMode_ == mode)
        return;
    end_reading();
    switch (mode) {
    case SyncMode::NoSync:
    case SyncMode::SignalOnly:
        execute("PRAGMA synchronous=OFF");
        break;
    case SyncMode::SyncNoSignal:
        execute("PRAGMA synchronous=FULL");
        break;
    case SyncMode::Default:
        execute("PRAGMA synchronous=NORMAL");
        break;
    }
    syncMode_ = mode;
}

void Database::flush_to_disk() {
    end_reading();
    execute("PRAGMA synchronous=FULL");
    syncMode_.reset();
    int result = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    if (result != SQLITE_OK && result != SQLITE_BUSY)
        throw_sqlite_error(result);
}

// A file no larger than the cache stays mapped, up to the cache's size: it
// takes no more memory than the pages it would fill the cache with, and
// they are not copied (a walk of 1,000 parameters: 83 k instructions less).
void Database::bound_page_memory() {
    if (pageMemoryBounded_)
        return;
    execute(pageCachePragma);
    sqlite3_file *file = nullptr;
    sqlite3_int64 bytes = 0;
    bool small = sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK && file &&
                 file->pMethods && file->pMethods->xFileSize(file, &bytes) == SQLITE_OK && bytes <= pageCacheBytes;
    execute(small ? cacheSizedMappingPragma : copiedReadsPragma);
    pageMemoryBounded_ = true;
}

void Database::apply_write_settings() {
    if (writeSettingsApplied_)
        return;
    bound_page_memory();
    execute(keptLogLimitPragma);
    Query query(statement("PRAGMA page_size"));
    if (query.step() && query.integer(0) > 0)
        sqlite3_wal_autocheckpoint(db_, static_cast<int>(logBytesBeforeCheckpoint / query.integer(0)));
    writeSettingsApplied_ = true;
}

int64_t Database::last_insert_id() const { return sqlite3_last_insert_rowid(db_); }

void Database::begin_reading() {
    auto now = std::chrono::steady_clock::now();
    bool reading = !sqlite3_get_autocommit(db_);
    if (reading && now - readingSince_ < readSnapshotLifetime)
        return;
    end_reading();
    Query(statement("BEGIN")).run();
    readingSince_ = now;
}

void Database::end_reading() {
    if (!sqlite3_get_autocommit(db_))
        Query(statement("COMMIT")).run();
}

std::string store_path() {
    if (const char *path = std::getenv("KELBRIN_STORE"); path && *path)
        return path;
    std::string path;
    if (const char *data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        path = std::string(data) + "/kelbrin/store.db";
    else
        path = home_directory() + "/.local/share/kelbrin/store.db";
    return path;
}

bool is_missing(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) != 0 && errno == ENOENT;
}

Database &database(IfMissing ifMissing) {
    static const bool registered = pthread_atfork(nullptr, nullptr, forget_connection_in_child) == 0;
    (void)registered;
    Connection &current = connection();
    if (current.inheritedAcrossFork) {
        leftByFork = new LeftByFork{current.database.release(), leftByFork};
        current.path.clear();
        current.inheritedAcrossFork = false;
    }
    std::string path = store_path();
    bool reopen = !current.database || path != current.path;
    if (!reopen && current.standIn)
        reopen = ifMissing == IfMissing::Create || !is_missing(path);
    if (reopen) {
        current.database.reset();
        current.standIn = ifMissing == IfMissing::Empty && is_missing(path);
        if (current.standIn) {
            current.database = std::make_unique<Database>(path, OpenMode::StandIn);
        } else {
            if (!std::getenv("KELBRIN_STORE") || !*std::getenv("KELBRIN_STORE"))
                make_parent_directories(path);
            current.database = std::make_unique<Database>(path);
        }
        ++generation;
        current.path = std::move(path);
    }
    return *current.database;
}

bool is_empty_file(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0;
}

void put_back_store_files(const std::string &path, bool wasEmptyFile) {
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        unlink((path + suffix).c_str());
    if (!wasEmptyFile) {
        unlink(path.c_str());
        return;
    }
    // One that cannot be emptied again stays a store with nothing in it, as the empty file was.
    [[maybe_unused]] int emptied = truncate(path.c_str(), 0);
}

void close_connection() {
    Connection &current = connection();
    current.database.reset();
    current.path.clear();
}

uint64_t store_generation() { return generation; }

WriteTransaction::WriteTransaction(Database &db) : db_(db) {
    ++generation;
    db_.end_reading();
    db_.apply_write_settings();
    Query(db_.statement("BEGIN IMMEDIATE")).run();
}

// A failed statement may have rolled the transaction back already.
WriteTransaction::~WriteTransaction() {
    if (open_ && !sqlite3_get_autocommit(db_.handle()))
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

// The call returns only once the commit is done, so a commit that fails
// (a full disk) is that call's error.
void WriteTransaction::commit() {
    Query(db_.statement("COMMIT")).run();
    open_ = false;
}

} // namespace kelbrin
