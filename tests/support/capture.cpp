// Preloaded into the program under test: records its syslog calls in the
// file named by KELBRIN_CAPTURE_LOG, one line per call, instead of sending
// them, and makes time() return KELBRIN_FAKE_TIME when that is set.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <syslog.h>

#include "support/log_format.h"

namespace {

void append_line(const std::string &line) {
    test_logs::append_line("KELBRIN_CAPTURE_LOG", line);
}

void record_message(int priority, const char *format, va_list arguments) {
    int callersErrno = errno;
    std::string text;
    if (format != nullptr) {
        va_list measuring;
        va_copy(measuring, arguments);
        int length = std::vsnprintf(nullptr, 0, format, measuring);
        va_end(measuring);
        if (length > 0) {
            text.resize(static_cast<size_t>(length) + 1);
            errno = callersErrno; // "%m" names the caller's error
            std::vsnprintf(text.data(), text.size(), format, arguments);
            text.resize(static_cast<size_t>(length));
        }
    }
    append_line(std::to_string(priority & LOG_PRIMASK) + " " + test_logs::c_escaped(text));
    errno = callersErrno;
}

} // namespace

extern "C" {

void openlog(const char *ident, int option, int facility) {
    int callersErrno = errno;
    append_line("openlog " + test_logs::quoted(ident) + " " + std::to_string(option) + " " +
                std::to_string(facility));
    errno = callersErrno;
}

void closelog(void) {
    int callersErrno = errno;
    append_line("closelog");
    errno = callersErrno;
}

void vsyslog(int priority, const char *format, va_list arguments) {
    record_message(priority, format, arguments);
}

void syslog(int priority, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    record_message(priority, format, arguments);
    va_end(arguments);
}

void __vsyslog_chk(int priority, int, const char *format, va_list arguments) {
    record_message(priority, format, arguments);
}

void __syslog_chk(int priority, int, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    record_message(priority, format, arguments);
    va_end(arguments);
}

time_t time(time_t *result) {
    const char *fake = std::getenv("KELBRIN_FAKE_TIME");
    time_t now;
    if (fake != nullptr) {
        now = static_cast<time_t>(std::strtoll(fake, nullptr, 10));
    } else {
        timespec clock{};
        clock_gettime(CLOCK_REALTIME, &clock);
        now = clock.tv_sec;
    }
    if (result != nullptr)
        *result = now;
    return now;
}

} // extern "C"
