#include "front/command_loop.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "common/globals.h"
#include "common/status.h"
#include "front/store_commands.h"
#include "input/dynamic_groups.h"
#include "input/param_import.h"
#include "output/group_reads.h"
#include "output/parameter_reads.h"

struct command {
    const char *name;
    int minimumWords; // the command word included
    const char *tooFewWords;
    command_function run;
};

static const command commands[] = {
    {"sync", 1, nullptr, command_sync},
    {"readgroupfile", 2, "File name expected!", command_readgroupfile},
    {"setparams", 2, "File name expected!", command_setparams},
    {"upgradedynparams", 2, "File name expected!", command_upgradedynparams},
    {"set", 3, "Parameter name and value expected!", command_set},
    {"get", 2, "Parameter name expected!", command_get},
    {"getgroup", 2, "Parameter name/group expected!", command_getgroup},
    {"addgroup", 3, "Group name and template expected!", command_addgroup},
    {"deletegroup", 2, "Group name expected!", command_deletegroup},
    {"getlist", 4, "List file expected!", command_getlist},
    {"getgrouplist", 2, "Group name expected!", command_getgrouplist},
};

static const command *find_command(const char *word) {
    for (const command &candidate : commands)
        if (std::strcmp(candidate.name, word) == 0)
            return &candidate;
    return nullptr;
}

void run_commands(char **words, int count) {
    while (count > 0) {
        const command *current = find_command(words[0]);
        if (current == nullptr) {
            print_message(LOG_WARNING, "Invalid command '%s'!", words[0]);
            std::exit(1);
        }
        if (count < current->minimumWords) {
            print_message(LOG_WARNING, "%s", current->tooFewWords);
            std::exit(1);
        }
        int taken = 1;
        int status = current->run(words, count, &taken);
        if (status == STATUS_FATAL)
            std::exit(1);
        if (status == STATUS_FAILED)
            exitStatus = 2;
        words += taken;
        count -= taken;
    }
    std::exit(exitStatus);
}
