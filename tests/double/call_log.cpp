#include "call_log.h"

#include <cstring>
#include <unordered_map>

#include "script.h"
#include "support/log_format.h"

namespace kelbrin_double {

namespace {

constexpr int failureWithoutCode = -1;
constexpr int scriptErrorCode = -99;
constexpr int32_t libraryWordMark = 0x5a5a0000;
constexpr int optionWords = 16;

struct Names {
    std::unordered_map<const void *, int> numbers;
    int last = 0;
};

Names &names() {
    static Names registry;
    return registry;
}

// Words 5-8, 10-11 and 13-16 (counted from 1) belong to the library.
bool is_library_word(int number) {
    return (number >= 5 && number <= 8) || number == 10 || number == 11 || number >= 13;
}

} // namespace

void write_line(const std::string &line) {
    test_logs::append_line("KELBRIN_DOUBLE_LOG", line);
}

void name_new_object(const void *object) {
    names().numbers[object] = ++names().last;
}

std::string object_name(const void *object) {
    if (object == nullptr)
        return "NULL";
    auto found = names().numbers.find(object);
    return found == names().numbers.end() ? "#?" : "#" + std::to_string(found->second);
}

void forget_names() {
    names() = Names{};
}

void fill_options(ClientOptions *options) {
    int32_t words[optionWords] = {};
    for (int number = 1; number <= optionWords; ++number)
        if (is_library_word(number))
            words[number - 1] = libraryWordMark + number;
    std::memcpy(options, words, sizeof words);
    options->syncMode = 1;
    options->caseSensitive = 1;
}

std::string options_suffix(const ClientOptions *options) {
    if (options == nullptr)
        return " {NULL}";
    int32_t words[optionWords];
    std::memcpy(words, options, sizeof words);
    std::string suffix = " {port=" + std::to_string(options->port) +
                         " syncMode=" + std::to_string(options->syncMode) +
                         " groupNumber=" + std::to_string(options->groupNumber) +
                         " caseSensitive=" + std::to_string(options->caseSensitive) +
                         " securityLevel=" + std::to_string(options->securityLevel) +
                         " noMapped=" + std::to_string(options->noMapped) + "}";
    for (int number = 1; number <= optionWords; ++number)
        if (is_library_word(number) && words[number - 1] != libraryWordMark + number)
            return suffix + " CORRUPTED";
    return suffix;
}

Call::Call(std::string_view function, std::string arguments, const char *firstText,
           const ClientOptions *options, int32_t *errorWord, bool takesOptions)
    : line_(std::string(function) + "(" + arguments + ")"),
      options_(takesOptions ? options_suffix(options) : ""), errorWord_(errorWord) {
    Store &current = store();
    if (errorWord_ != nullptr)
        *errorWord_ = 0;
    if (!current.scriptError.empty()) {
        fail(scriptErrorCode);
    } else if (const FailEntry *failure = failure_for(current, function, firstText)) {
        fail(failure->error.value_or(failure->result.value_or(failureWithoutCode)));
        failValue_ = failure->value;
    }
}

int32_t Call::fail(int32_t code) {
    failure_ = code;
    if (errorWord_ != nullptr)
        *errorWord_ = code;
    return code;
}

Call::~Call() {
    std::string line = line_;
    if (failure_)
        line += " ! " + std::to_string(*failure_);
    if (result_)
        line += " = " + *result_;
    write_line(line + options_);
}

} // namespace kelbrin_double
