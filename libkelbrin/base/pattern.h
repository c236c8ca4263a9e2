// Value patterns: POSIX extended regular expressions that a written value
// must match as a whole. POSIX matching (unlike std::regex) does not recurse
// per character, so a long value cannot exhaust the stack.
#pragma once

#include <string>

namespace kelbrin {

bool is_valid_pattern(const std::string &pattern);
// Why the pattern does not compile; empty when it does.
std::string pattern_error(const std::string &pattern);
// False for a pattern that does not compile as well as for a mismatch.
bool matches_pattern(const std::string &pattern, const std::string &value);

} // namespace kelbrin
