// kelbrinclient: reads and writes the device's parameter store from the
// command line, from scripts and as a CGI program.
#include <cstdio>
#include <cstdlib>
#include <syslog.h>

#include "common/diagnostics.h"
#include "common/globals.h"
#include "front/command_loop.h"
#include "front/options.h"
#include "front/usage.h"

int main(int argc, char **argv) {
    cli_resetOptions(&clientOptions);
    clientOptions.syncMode = SYNC_DEFAULT;
    clientOptions.caseSensitive = 0;
    openlog(argc > 0 ? argv[0] : nullptr, LOG_PID, LOG_USER);

    if (argc < 2) {
        std::fputs("Wrong arguments!\n", stderr);
        usage();
        syslog(LOG_WARNING, "Early exit. Bad arguments.");
        std::exit(1);
    }

    rewrite_legacy_words(argc, argv);
    int skipCgiDetection = 0;
    int first = parse_options(argc, argv, &skipCgiDetection);

    if (!skipCgiDetection && std::getenv("REQUEST_METHOD") != nullptr) {
        // Ends the header block of the web server's response.
        cgiMode = 1;
        std::fputs("\r\n", stdout);
    }

    if (first >= argc) {
        print_message(LOG_WARNING, "Command expected!");
        std::exit(1);
    }
    run_commands(argv + first, argc - first);
}
