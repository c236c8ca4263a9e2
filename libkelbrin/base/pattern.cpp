#include "base/pattern.h"

#include <regex.h>

namespace kelbrin {

namespace {

class CompiledPattern {
  public:
    explicit CompiledPattern(const std::string &pattern) {
        std::string anchored = "^(" + pattern + ")$";
        result_ = regcomp(&regex_, anchored.c_str(), REG_EXTENDED | REG_NOSUB);
    }
    ~CompiledPattern() {
        if (valid())
            regfree(&regex_);
    }
    CompiledPattern(const CompiledPattern &) = delete;
    CompiledPattern &operator=(const CompiledPattern &) = delete;

    bool valid() const { return result_ == 0; }
    std::string error() const {
        if (valid())
            return {};
        char text[256];
        regerror(result_, &regex_, text, sizeof text);
        return text;
    }
    bool matches(const std::string &value) const {
        return valid() && regexec(&regex_, value.c_str(), 0, nullptr, 0) == 0;
    }

  private:
    regex_t regex_{};
    int result_ = 0; // regcomp's result
};

} // namespace

bool is_valid_pattern(const std::string &pattern) { return CompiledPattern(pattern).valid(); }

std::string pattern_error(const std::string &pattern) { return CompiledPattern(pattern).error(); }

bool matches_pattern(const std::string &pattern, const std::string &value) {
    return CompiledPattern(pattern).matches(value);
}

} // namespace kelbrin
