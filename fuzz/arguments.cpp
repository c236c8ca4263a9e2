// The command line before the first command (its words between NUL bytes)
// through the legacy word rewriting and option parsing that main() runs. A
// bad option ends the process: the link wraps exit() (and syslog, not to
// flood the log) so that a run jumps back here, leaving nothing to destroy.
#include <getopt.h>

#include <csetjmp>
#include <cstring>

#include "common/globals.h"
#include "front/options.h"
#include "fuzz.h"

static std::jmp_buf leaveRun;
static int exitStatusSeen = -1;
static bool inRun = false;

extern "C" [[noreturn]] void __real_exit(int status);
extern "C" [[noreturn]] void __wrap_exit(int status) {
    if (!inRun) // libFuzzer's own exit
        __real_exit(status);
    exitStatusSeen = status;
    std::longjmp(leaveRun, 1);
}

extern "C" void __wrap_syslog(int, const char *, ...) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::string> words = words_of(data, size);
    words.insert(words.begin(), "kelbrinclient");
    std::vector<char *> argv, original;
    for (std::string &word : words)
        argv.push_back(word.data());
    original = argv;
    argv.push_back(nullptr);
    int argc = int(words.size()), skipCgiDetection = 0, first = -1;
    std::memset(&clientOptions, 0, sizeof clientOptions);
    clientOptions.syncMode = SYNC_DEFAULT;
    logToSyslog = 1, showAccess = 0, restoreMode = 0, exitStatusSeen = -1;
    optind = 0, opterr = 1; // glibc: getopt starts afresh, forgetting a half-read word
    inRun = true;
    if (setjmp(leaveRun) == 0) {
        rewrite_legacy_words(argc, argv.data());
        first = parse_options(argc, argv.data(), &skipCgiDetection);
    }
    inRun = false;
    // Only a bad option ends a run early, with status 1; else the first
    // command lies within the vector (argc: no command at all).
    REQUIRE(exitStatusSeen == -1 ? first >= 1 && first <= argc && !argv[argc]
                                 : exitStatusSeen == 1);
    for (int i = 1; i < argc; i++) // words are only replaced by the marker, never moved or invented
        REQUIRE(argv[i] == original[i] || std::strcmp(argv[i], "-z") == 0);
    return 0;
}
