// The contract between the command loop and the commands.
#pragma once

// Status of a command or worker.
enum {
    STATUS_OK = 0,
    STATUS_FATAL = 1,  // the run ends with exit status 1
    STATUS_FAILED = 2, // reported; the run goes on and ends with exit status 2
};

// A command gets the words from its own name on and how many remain (at
// least its table minimum). It stores how many words it took and returns a
// status; on STATUS_FATAL it has written its closing message already.
typedef int (*command_function)(char **words, int count, int *taken);
