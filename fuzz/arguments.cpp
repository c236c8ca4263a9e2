// libFuzzer target: the command line before the first command, through the
// real legacy word rewriting and option parsing that main() runs. The input
// is the argument vector after argument zero, words separated by NUL bytes.
//
// parse_options ends the process on a bad option, as users rely on. To keep
// fuzzing in process, the link wraps exit() (see CMakeLists.txt): within a
// run it jumps back here instead, which is safe because the code it leaves is
// plain C-style code with nothing to destroy. syslog is wrapped as well, so
// that the deprecation notice does not flood the machine's log.
#include <csetjmp>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>
#include <vector>

#include "common/globals.h"
#include "front/options.h"

static std::jmp_buf leaveRun;
static bool inRun = false;
static int exitStatusSeen = -1;

extern "C" [[noreturn]] void __real_exit(int status);

extern "C" [[noreturn]] void __wrap_exit(int status) {
    if (!inRun)
        __real_exit(status);
    exitStatusSeen = status;
    std::longjmp(leaveRun, 1);
}

extern "C" void __wrap_syslog(int, const char *, ...) {}

static void reset_settings() {
    std::memset(&clientOptions, 0, sizeof clientOptions);
    clientOptions.syncMode = SYNC_DEFAULT;
    logToSyslog = 1;
    showAccess = 0;
    restoreMode = 0;
    optind = 0; // glibc: start getopt afresh, forgetting a half-read word
    opterr = 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::string> words(1, "kelbrinclient");
    words.emplace_back();
    for (size_t i = 0; i < size; i++) {
        if (data[i] == '\0')
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    std::vector<char *> original = argv;
    argv.push_back(nullptr);
    int argc = (int)words.size();

    reset_settings();
    int skipCgiDetection = 0;
    int first = -1;
    exitStatusSeen = -1;
    inRun = true;
    if (setjmp(leaveRun) == 0) {
        rewrite_legacy_words(argc, argv.data());
        first = parse_options(argc, argv.data(), &skipCgiDetection);
    }
    inRun = false;

    if (exitStatusSeen != -1) {
        // Only a bad option ends the run early, and always with status 1.
        if (exitStatusSeen != 1)
            __builtin_trap();
        return 0;
    }
    // The first command lies within the vector (argc: no command at all).
    if (first < 1 || first > argc || argv[argc] != nullptr)
        __builtin_trap();
    // Words are only ever replaced by the marker, never moved or invented.
    for (int i = 1; i < argc; i++)
        if (argv[i] != original[i] && std::strcmp(argv[i], "-z") != 0)
            __builtin_trap();
    return 0;
}
