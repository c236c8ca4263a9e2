// Diagnostics: syslog (unless --nolog) and standard error.
#pragma once

// Writes the message to syslog at the priority while logToSyslog is set, and
// always to standard error followed by a newline. "%m" works in both.
void print_message(int priority, const char *format, ...) __attribute__((format(printf, 2, 3)));
