#include "front/store_commands.h"

#include <cstdio>

#include "common/status.h"
#include "common/diagnostics.h"
#include "common/globals.h"

// One error word for the simple commands; every library call stores 0 in it
// on success, so it is not reset between commands.
static int32_t errorWord;

int command_sync(char **, int, int *taken) {
    *taken = 1;
    std::fputs("Syncing parameters!\n", stderr);
    if (clientOptions.syncMode == SYNC_NOSYNC) {
        print_message(LOG_ERR, "Error, tried to call sync using option --nosync!\n");
        print_message(LOG_ERR, "Could not sync.");
        return STATUS_FATAL;
    }
    cli_sync(&clientOptions, &errorWord);
    if (errorWord != 0) {
        print_message(LOG_ERR, "Error %i syncing to file!\n", errorWord);
        print_message(LOG_ERR, "Could not sync.");
        return STATUS_FATAL;
    }
    return STATUS_OK;
}

int command_readgroupfile(char **words, int, int *taken) {
    *taken = 2;
    const char *file = words[1];
    cli_readGroupFile(file, &clientOptions, &errorWord);
    if (errorWord != 0) {
        print_message(LOG_ERR, "Error %i reading file '%s' into kelbrin!", errorWord, file);
        print_message(LOG_ERR, "Failed to read groupfile '%s'", file);
        return STATUS_FATAL;
    }
    return STATUS_OK;
}

int command_set(char **words, int, int *taken) {
    *taken = 3;
    const char *name = words[1];
    const char *value = words[2];
    cli_setCustomParam(name, value, &clientOptions, &errorWord);
    if (errorWord != 0) {
        print_message(LOG_ERR, "Error %i setting '%s' to '%s'!", errorWord, name, value);
        print_message(LOG_ERR, "Failed to set parameter %s.", name);
        return STATUS_FATAL;
    }
    return STATUS_OK;
}

int command_deletegroup(char **words, int, int *taken) {
    *taken = 2;
    const char *group = words[1];
    cli_deleteGroup(group, &clientOptions, &errorWord);
    if (errorWord != 0) {
        print_message(LOG_ERR, "Error deleteing group '%s'", group);
        return STATUS_FAILED;
    }
    return STATUS_OK;
}
