// Where a reader of the change log stands, for changes and watch.
#pragma once

#include <cstdint>
#include <string>

#include "store/database.h"

namespace kelbrinctl {

// --since's sequence number (0 or more), or a usage error of the command.
int64_t since_number(const char *command, const std::string &text);

// The last sequence number in the log, or 0 for an empty log.
int64_t last_change(kelbrin::Database &store);

// From now on, SIGINT and SIGTERM only set interrupted().
void catch_interrupts();
bool interrupted();

} // namespace kelbrinctl
