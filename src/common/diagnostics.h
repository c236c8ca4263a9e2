// Diagnostics: syslog (unless --nolog) and standard error.
#pragma once

#include <syslog.h> // the priorities: LOG_ERR, LOG_WARNING

// Writes the message to syslog at the priority while logToSyslog is set, and
// always to standard error followed by a newline. "%m" works in both.
void print_message(int priority, const char *format, ...) __attribute__((format(printf, 2, 3)));

// The one message for memory that could not be had.
inline constexpr char allocationFailed[] = "Memory allocation failed.";
