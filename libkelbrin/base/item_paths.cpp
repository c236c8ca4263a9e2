#include "base/item_paths.h"

namespace kelbrin {

namespace {

// A number takes one byte below smallLimit; above, a byte smallLimit + n
// and its n bytes, most significant first. Longer forms start with a larger
// byte, so the bytes sort as the numbers do, and no form is a prefix of
// another.
constexpr unsigned smallLimit = 0xD0;
// Starts a dynamic group's step: above every number's first byte.
constexpr char dynamicTag = static_cast<char>(0xE0);
// Above every step's first byte.
constexpr char pastEveryStep = static_cast<char>(0xFF);

void put_number(std::string &out, uint64_t number) {
    if (number < smallLimit) {
        out += static_cast<char>(number);
        return;
    }
    unsigned bytes = 0;
    for (uint64_t rest = number; rest != 0; rest >>= 8)
        ++bytes;
    out += static_cast<char>(smallLimit + bytes);
    for (unsigned shift = bytes * 8; shift != 0; shift -= 8)
        out += static_cast<char>((number >> (shift - 8)) & 0xff);
}

// Reads one number at the front of bytes and drops it from there.
std::optional<uint64_t> take_number(std::string_view &bytes) {
    if (bytes.empty())
        return std::nullopt;
    auto first = static_cast<unsigned char>(bytes.front());
    bytes.remove_prefix(1);
    if (first < smallLimit)
        return first;
    unsigned length = first - smallLimit;
    if (length > 8 || length > bytes.size())
        return std::nullopt;
    uint64_t number = 0;
    for (unsigned i = 0; i < length; ++i)
        number = number << 8 | static_cast<unsigned char>(bytes[i]);
    bytes.remove_prefix(length);
    return number;
}

} // namespace

std::string declared_step(uint64_t position) {
    std::string step;
    put_number(step, position);
    return step;
}

std::string dynamic_number_step(uint64_t number) {
    std::string step(1, dynamicTag);
    put_number(step, number);
    return step;
}

std::string dynamic_step(uint64_t number, uint64_t serial) {
    std::string step = dynamic_number_step(number);
    put_number(step, serial);
    return step;
}

std::string subtree_end(std::string_view path) {
    return std::string(path) + pastEveryStep;
}

std::string declared_end(std::string_view path) {
    return std::string(path) + dynamicTag;
}

std::optional<Step> take_step(std::string_view &path) {
    std::string_view rest = path;
    bool dynamic = !rest.empty() && rest.front() == dynamicTag;
    if (dynamic)
        rest.remove_prefix(1);
    std::optional<uint64_t> position = take_number(rest);
    if (!position)
        return std::nullopt;
    std::optional<uint64_t> serial = dynamic ? take_number(rest) : 0;
    if (!serial)
        return std::nullopt;
    path = rest;
    return Step{dynamic, *position, *serial};
}

std::optional<Step> first_step(std::string_view path) {
    return take_step(path);
}

std::optional<Step> last_step(std::string_view path) {
    std::optional<Step> step;
    while (!path.empty())
        if (!(step = take_step(path)))
            return std::nullopt;
    return step;
}

} // namespace kelbrin
