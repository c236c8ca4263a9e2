// The store file's tables and their version, kept in the file's header.
#pragma once

#include <cstdint>

namespace kelbrin {

class Database;

// The version this library makes and reads.
int64_t current_schema_version();
// The version of the open file; 0 for a new file or another program's.
int64_t stored_schema_version(Database &db);

// Makes the tables in a new file, or brings an older file's up to the
// current version one step at a time, each step a transaction of its own.
// Throws STORE_TOO_NEW, having written nothing, for a newer file.
void bring_schema_up_to_date(Database &db);

} // namespace kelbrin
