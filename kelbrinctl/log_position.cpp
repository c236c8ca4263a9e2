#include "kelbrinctl/log_position.h"

#include <signal.h>

#include <cerrno>
#include <cstdlib>

#include "kelbrinctl/messages.h"

namespace kelbrinctl {

namespace {

volatile sig_atomic_t interruptSeen = 0;

void note_interrupt(int) {
    interruptSeen = 1;
}

} // namespace

int64_t since_number(const char *command, const std::string &text) {
    errno = 0;
    char *end = nullptr;
    long long number = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || number < 0)
        throw UsageError(std::string(command) + ": --since takes a sequence number (0 or more), not " + text);
    return number;
}

int64_t last_change(kelbrin::Database &store) {
    kelbrin::Query query(store.statement("SELECT coalesce(max(sequence), 0) FROM changes"));
    return query.step() ? query.integer(0) : 0;
}

void catch_interrupts() {
    struct sigaction action {};
    action.sa_handler = note_interrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interrupted() {
    return interruptSeen != 0;
}

} // namespace kelbrinctl
