// The double's call log: one line per call, appended to the file named by
// KELBRIN_DOUBLE_LOG with a single write so that lines survive exit().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <kelbrin.h>

namespace kelbrin_double {

struct FailEntry;

void write_line(const std::string &line);

// Nodes and contexts are named #N in the order the double creates them.
void name_new_object(const void *object);
std::string object_name(const void *object); // #N, NULL, or #? for a stranger
void forget_names();

// One call being served. Construction applies the script: a script error or
// a matching fail entry makes the call fail at once. The destructor writes
// the log line, so every return path logs.
class Call {
  public:
    // options: the call's options, or null for calls that take none.
    Call(std::string_view function, std::string arguments, const char *firstText,
         const ClientOptions *options = nullptr, int32_t *errorWord = nullptr,
         bool takesOptions = false);
    ~Call();
    Call(const Call &) = delete;
    Call &operator=(const Call &) = delete;

    bool failing() const { return failure_.has_value(); }
    int32_t code() const { return failure_.value_or(0); }
    // Text a failing call still returns, from the fail entry's "value".
    const std::optional<std::string> &failValue() const { return failValue_; }
    // Fails the call with this code (stored in the error word); returns it.
    int32_t fail(int32_t code);
    // What the call returns, shown after " = ".
    void returns(std::string shown) { result_ = std::move(shown); }

  private:
    std::string line_;
    std::string options_;
    int32_t *errorWord_;
    std::optional<int32_t> failure_;
    std::optional<std::string> failValue_;
    std::optional<std::string> result_;
};

// The options as logged, with " CORRUPTED" when a library word changed.
std::string options_suffix(const ClientOptions *options);
void fill_options(ClientOptions *options);

} // namespace kelbrin_double
