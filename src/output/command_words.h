// The "name [file [type]]" words shared by get, getgroup and getgrouplist.
#pragma once

struct target_words {
    char *name; // the command line's own word, writable
    const char *file;
    const char *type;
};

// Takes the words by how many remain, not by what they say: one word is the
// name, two are name and file, three or more are always name, file and type.
// Returns the number of words taken, the command word included.
int take_target_words(char **words, int count, const char *defaultType, target_words *target);
