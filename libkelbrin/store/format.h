// The store file's tables and their version, kept in the file's header.
#pragma once

#include <cstdint>

namespace kelbrin {

class Database;

// SQLite's application_id of a store file: "Kbst".
inline constexpr int32_t storeApplicationId = 0x4b627374;

// What an open file is to the store.
enum class FileKind {
    Store,   // marked, or an older format's tables that its upgrade marks
    Empty,   // no pages yet: a new store
    Foreign, // another program's database: refused and left as it is
};
FileKind file_kind(Database &db);

// The version this library makes and reads.
int64_t current_schema_version();
// The version of the open file; 0 for a new file or another program's.
int64_t stored_schema_version(Database &db);

// Makes the tables in a new file, or brings an older file's up to the
// current version one step at a time, each step a transaction of its own.
// Throws STORE_TOO_NEW or NOT_A_STORE, having written nothing, for a newer
// or a foreign file.
void bring_schema_up_to_date(Database &db);

} // namespace kelbrin
