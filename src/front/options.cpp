#include "front/options.h"

#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <syslog.h>

#include "common/diagnostics.h"
#include "common/globals.h"
#include "front/usage.h"

// Stands in the vector for each legacy word and each value word it took.
static char legacyMarker[] = "-z";

// getopt_long's value for --no-mapped, which has no short form; not in the
// short option string, so "-m" stays an unknown option.
static const int optionNoMapped = 'm';

static const struct option longOptions[] = {
    {"showaccess", no_argument, nullptr, 'a'},
    {"nocgi", no_argument, nullptr, 'c'},
    {"casesensitive", no_argument, nullptr, 'C'},
    {"nolog", no_argument, nullptr, 'l'},
    {"restore", no_argument, nullptr, 'R'},
    {"security", required_argument, nullptr, 'L'},
    {"sigonly", no_argument, nullptr, 'o'},
    {"port", required_argument, nullptr, 'p'},
    {"nosync", no_argument, nullptr, 's'},
    {"nosync-nosig", no_argument, nullptr, 'n'},
    {"sync-nosig", no_argument, nullptr, 'S'},
    {"no-mapped", no_argument, nullptr, optionNoMapped},
    {nullptr, 0, nullptr, 0},
};

static int32_t decimal_value(const char *word) {
    // As strtol reads it: no range check and no report, as scripts rely on.
    return (int32_t)std::strtol(word, nullptr, 10);
}

void rewrite_legacy_words(int argc, char **argv) {
    for (int i = 1; i < argc; i++) {
        const char *word = argv[i];
        if (std::strcmp(word, "-nosync") == 0) {
            clientOptions.syncMode = SYNC_NOSYNC;
        } else if (std::strcmp(word, "-sigonly") == 0) {
            clientOptions.syncMode = SYNC_SIGNAL_ONLY;
        } else if (std::strcmp(word, "-casesensitive") == 0) {
            clientOptions.caseSensitive = 1;
        } else if (std::strcmp(word, "-port") == 0 || std::strcmp(word, "-security") == 0) {
            int32_t *field = word[1] == 'p' ? &clientOptions.port : &clientOptions.securityLevel;
            // A value word past the end of the vector does not exist: the
            // legacy word is then dropped without setting anything.
            if (i + 1 < argc) {
                *field = decimal_value(argv[i + 1]);
                argv[i + 1] = legacyMarker;
            }
            argv[i] = legacyMarker;
            i++;
            continue;
        } else {
            continue;
        }
        argv[i] = legacyMarker;
    }
}

int parse_options(int argc, char **argv, int *skipCgiDetection) {
    int deprecationNoticeSent = 0;
    int option;
    while ((option = getopt_long(argc, argv, "+acClRL:op:sznS", longOptions, nullptr)) != -1) {
        switch (option) {
        case 'a':
            showAccess = 1;
            break;
        case 'c':
            *skipCgiDetection = 1;
            break;
        case 'C':
            clientOptions.caseSensitive = 1;
            break;
        case 'l':
            logToSyslog = 0;
            break;
        case 'R':
            restoreMode = 1;
            break;
        case 'L':
            clientOptions.securityLevel = decimal_value(optarg);
            break;
        case 'o':
            clientOptions.syncMode = SYNC_SIGNAL_ONLY;
            break;
        case 'p':
            clientOptions.port = decimal_value(optarg);
            break;
        case 's':
        case 'n':
            clientOptions.syncMode = SYNC_NOSYNC;
            break;
        case 'S':
            clientOptions.syncMode = SYNC_NOSIGNAL;
            break;
        case optionNoMapped:
            clientOptions.noMapped = 1;
            break;
        case 'z':
            // Straight to syslog, also under --nolog, and only once.
            if (!deprecationNoticeSent)
                syslog(LOG_INFO, "Review your options since some of them are deprecated. "
                                 "Options start with '--' and not with '-'!\n");
            deprecationNoticeSent = 1;
            break;
        case '?':
            usage();
            std::exit(1);
        default:
            break;
        }
    }
    return optind;
}
