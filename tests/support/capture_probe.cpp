// A small program for the capture preload's own test: logs through each
// syslog entry point and prints what time() says.
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <syslog.h>

int main() {
    openlog(nullptr, 0, LOG_DAEMON);
    errno = ENOENT;
    syslog(LOG_ERR | LOG_DAEMON, "%s \"q\"\t%m", "a\nb");
    closelog();
    std::printf("%ld", static_cast<long>(time(nullptr)));
}
