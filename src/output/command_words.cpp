#include "output/command_words.h"

int take_target_words(char **words, int count, const char *defaultType, target_words *target) {
    target->name = count > 1 ? words[1] : nullptr;
    target->file = count > 2 ? words[2] : "-";
    target->type = count > 3 ? words[3] : defaultType;
    return count < 4 ? count : 4;
}
