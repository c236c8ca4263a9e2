#include "pattern.h"

#include <regex.h>

namespace kelbrin {

namespace {

class CompiledPattern {
  public:
    explicit CompiledPattern(const std::string &pattern) {
        std::string anchored = "^(" + pattern + ")$";
        valid_ = regcomp(&regex_, anchored.c_str(), REG_EXTENDED | REG_NOSUB) == 0;
    }
    ~CompiledPattern() {
        if (valid_)
            regfree(&regex_);
    }
    CompiledPattern(const CompiledPattern &) = delete;
    CompiledPattern &operator=(const CompiledPattern &) = delete;

    bool valid() const { return valid_; }
    bool matches(const std::string &value) const {
        return valid_ && regexec(&regex_, value.c_str(), 0, nullptr, 0) == 0;
    }

  private:
    regex_t regex_{};
    bool valid_ = false;
};

} // namespace

bool is_valid_pattern(const std::string &pattern) { return CompiledPattern(pattern).valid(); }

bool matches_pattern(const std::string &pattern, const std::string &value) {
    return CompiledPattern(pattern).matches(value);
}

} // namespace kelbrin
