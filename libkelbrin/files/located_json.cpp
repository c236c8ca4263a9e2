#include "files/located_json.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace kelbrin {

namespace {

using json = nlohmann::ordered_json;

// Feeds the text to the parser and keeps how far it has read: the parser
// reports an object or array just after taking its opening bracket.
class CountingIterator {
  public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char *;
    using reference = const char &;

    CountingIterator(const char *at, const char **reached) : at_(at), reached_(reached) {}
    reference operator*() const { return *at_; }
    CountingIterator &operator++() {
        *reached_ = ++at_;
        return *this;
    }
    CountingIterator operator++(int) {
        CountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator &other) const { return at_ == other.at_; }

  private:
    const char *at_;
    const char **reached_;
};

// A member's or item's step in a path, unambiguous whatever a key holds.
std::string key_step(const std::string &key) {
    return std::to_string(key.size()) + ":" + key;
}
std::string index_step(std::size_t index) {
    // append, not "text" + string: g++ 12 warns falsely on that at -O3 (-Wrestrict).
    return std::string("#").append(std::to_string(index)).append(";");
}

// Where each object and array begins, by its path from the top, as the
// parser meets them. Paths, not addresses: the parser moves values while it
// builds the document, and a later value for a repeated key replaces the
// earlier one here as it does there.
class PathRecorder {
  public:
    PathRecorder(const char *text, const char *const *reached) : text_(text), reached_(reached) {}

    bool operator()(int, json::parse_event_t event, json &parsed) {
        switch (event) {
        case json::parse_event_t::object_start:
        case json::parse_event_t::array_start: {
            std::size_t before = path_.size();
            if (!open_.empty())
                path_ += open_.back().isArray ? index_step(open_.back().items++)
                                              : key_step(open_.back().key);
            starts[path_] = static_cast<std::size_t>(*reached_ - text_) - 1;
            open_.push_back({before, event == json::parse_event_t::array_start, 0, {}});
            break;
        }
        case json::parse_event_t::key:
            open_.back().key = parsed.get<std::string>();
            break;
        case json::parse_event_t::value:
            if (!open_.empty() && open_.back().isArray)
                ++open_.back().items;
            break;
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            path_.resize(open_.back().pathBefore);
            open_.pop_back();
            break;
        }
        return true;
    }

    std::unordered_map<std::string, std::size_t> starts;

  private:
    struct Open {
        std::size_t pathBefore; // length of the path before this container's step
        bool isArray;
        std::size_t items; // met so far, in an array
        std::string key;   // the current member's, in an object
    };

    const char *text_;
    const char *const *reached_;
    std::string path_;
    std::vector<Open> open_;
};

// Once the document is built its values stay where they are: each
// container's offset moves from its path to its address.
void index_by_address(const json &value, std::string &path,
                      const std::unordered_map<std::string, std::size_t> &byPath,
                      std::unordered_map<const void *, std::size_t> &byAddress) {
    if (!value.is_structured())
        return;
    if (auto found = byPath.find(path); found != byPath.end())
        byAddress.emplace(&value, found->second);
    std::size_t length = path.size();
    if (value.is_object()) {
        for (const auto &[key, member] : value.items()) {
            path += key_step(key);
            index_by_address(member, path, byPath, byAddress);
            path.resize(length);
        }
    } else {
        for (std::size_t index = 0; index < value.size(); ++index) {
            path += index_step(index);
            index_by_address(value[index], path, byPath, byAddress);
            path.resize(length);
        }
    }
}

} // namespace

LineTable::LineTable(std::string_view text) {
    starts_.push_back(0);
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', at + 1))
        starts_.push_back(at + 1);
}

TextPosition LineTable::at(std::size_t offset) const {
    auto line = std::upper_bound(starts_.begin(), starts_.end(), offset) - 1;
    return {static_cast<int>(line - starts_.begin() + 1), static_cast<int>(offset - *line + 1)};
}

LocatedJson::LocatedJson(std::string_view text) : lines_(text) {
    const char *reached = text.data();
    PathRecorder recorder(text.data(), &reached);
    document_ = json::parse(CountingIterator(text.data(), &reached),
                            CountingIterator(text.data() + text.size(), &reached),
                            std::ref(recorder), true, true);
    std::string path;
    index_by_address(document_, path, recorder.starts, starts_);
}

TextPosition LocatedJson::where(const json &value) const {
    auto found = starts_.find(&value);
    return found == starts_.end() ? TextPosition{} : lines_.at(found->second);
}

} // namespace kelbrin
