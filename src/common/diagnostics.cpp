#include "common/diagnostics.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <syslog.h>

#include "common/globals.h"

void print_message(int priority, const char *format, ...) {
    int savedErrno = errno;
    va_list arguments;
    va_start(arguments, format);
    if (logToSyslog) {
        va_list copy;
        va_copy(copy, arguments);
        vsyslog(priority, format, copy);
        va_end(copy);
        errno = savedErrno; // "%m" on standard error names the same error
    }
    vfprintf(stderr, format, arguments);
    va_end(arguments);
    fputc('\n', stderr);
}
