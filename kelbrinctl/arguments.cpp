#include <algorithm>

#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"

namespace kelbrinctl {

namespace {

bool among(std::initializer_list<const char *> names, std::string_view word) {
    return std::find(names.begin(), names.end(), word) != names.end();
}

} // namespace

Arguments::Arguments(const char *command, const std::vector<std::string> &words,
                     std::initializer_list<const char *> allowed,
                     std::initializer_list<const char *> valued)
    : command(command) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string &word = words[i];
        std::size_t equals = word.find('=');
        if (optionsEnded || !word.starts_with("-") || word == "-") {
            operands.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (among(valued, word)) {
            if (i + 1 == words.size())
                throw UsageError(std::string(command) + ": " + word + " needs a value");
            values.emplace_back(word, words[++i]);
        } else if (word.starts_with("--") && equals != std::string::npos &&
                   among(valued, word.substr(0, equals))) {
            values.emplace_back(word.substr(0, equals), word.substr(equals + 1));
        } else if (among(allowed, word)) {
            options.push_back(word);
        } else if (word.starts_with("--") || word.size() == 2) {
            throw UsageError(std::string(command) + ": unknown option " + word);
        } else {
            operands.push_back(word);
        }
    }
}

bool Arguments::has(const std::string &option) const {
    return std::find(options.begin(), options.end(), option) != options.end();
}

std::optional<std::string> Arguments::value(const std::string &option) const {
    std::optional<std::string> found;
    for (const auto &[name, value] : values)
        if (name == option)
            found = value;
    return found;
}

void Arguments::expect(std::size_t count, const char *named) const {
    if (operands.size() != count)
        throw UsageError(std::string(command) + " takes " + named);
}

} // namespace kelbrinctl
