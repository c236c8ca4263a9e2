#include <algorithm>

#include "commands.h"
#include "messages.h"

namespace kelbrinctl {

Arguments::Arguments(const char *command, const std::vector<std::string> &words,
                     std::initializer_list<const char *> allowed)
    : command(command) {
    bool optionsEnded = false;
    for (const std::string &word : words) {
        if (optionsEnded || !word.starts_with("--")) {
            operands.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (std::find(allowed.begin(), allowed.end(), word) != allowed.end()) {
            options.push_back(word);
        } else {
            throw UsageError(std::string(command) + ": unknown option " + word);
        }
    }
}

bool Arguments::has(const std::string &option) const {
    return std::find(options.begin(), options.end(), option) != options.end();
}

void Arguments::expect(std::size_t count, const char *named) const {
    if (operands.size() != count)
        throw UsageError(std::string(command) + " takes " + named);
}

} // namespace kelbrinctl
