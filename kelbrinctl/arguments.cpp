#include <algorithm>

#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"

namespace kelbrinctl {

namespace {

const Option *option_named(const Command &command, std::string_view name) {
    for (const Option &option : command.options)
        if (name == option.name)
            return &option;
    return nullptr;
}

std::string operand_count(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " operand" : " operands");
}

std::string operands_wanted(const Command &command) {
    if (command.most == 0)
        return "no operands";
    if (command.fewest == command.most)
        return operand_count(command.most);
    if (command.most == unlimited)
        return std::to_string(command.fewest) + " or more operands";
    return "at most " + operand_count(command.most);
}

} // namespace

std::string usage_of(const Command &command) {
    std::string usage = command.name;
    for (const Option &option : command.options) {
        usage.append(" [").append(option.name);
        if (option.value)
            usage.append(" ").append(option.value);
        usage += ']';
    }
    if (*command.operands)
        usage.append(" ").append(command.operands);
    return usage;
}

Invocation invocation_of(const Command &command, std::optional<std::string> store,
                         const std::vector<std::string> &words) {
    Invocation invocation{std::move(store), {}, {}, {}, {}};
    std::string prefix = std::string(command.name) + ": ";
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string &word = words[i];
        std::size_t equals = word.find('=');
        const Option *option = option_named(command, word);
        const Option *assigned = word.starts_with("--") && equals != std::string::npos
                                     ? option_named(command, word.substr(0, equals))
                                     : nullptr;
        if (optionsEnded || !word.starts_with("-") || word == "-") {
            invocation.operands.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
            invocation.dashes = invocation.operands.size();
        } else if (option && option->value) {
            if (i + 1 == words.size())
                throw UsageError(prefix + word + " needs a value");
            invocation.values.emplace_back(word, words[++i]);
        } else if (assigned && assigned->value) {
            invocation.values.emplace_back(word.substr(0, equals), word.substr(equals + 1));
        } else if (option) {
            invocation.flags.push_back(word);
        } else if (word.starts_with("--") || word.size() == 2) {
            throw UsageError(prefix + "unknown option " + word);
        } else {
            invocation.operands.push_back(word);
        }
    }
    std::size_t count = invocation.operands.size();
    if (count < command.fewest || count > command.most)
        throw UsageError(std::string(command.name) + " takes " + operands_wanted(command) +
                         ", not " + std::to_string(count));
    return invocation;
}

bool Invocation::has(std::string_view flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::optional<std::string> Invocation::value(std::string_view option) const {
    std::optional<std::string> found;
    for (const auto &[name, value] : values)
        if (name == option)
            found = value;
    return found;
}

} // namespace kelbrinctl
