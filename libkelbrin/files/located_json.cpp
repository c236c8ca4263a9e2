#include "files/located_json.h"

#include <iterator>

namespace kelbrin {

using json = nlohmann::ordered_json;

namespace {

// A member's or item's step in a path, unambiguous whatever a key holds.
std::string key_step(const std::string &key) {
    return std::to_string(key.size()) + ":" + key;
}
std::string index_step(std::size_t index) {
    // append, not "text" + string: g++ 12 warns falsely on that at -O3 (-Wrestrict).
    return std::string("#").append(std::to_string(index)).append(";");
}

// Once a value is whole its parts stay where they are: each container's
// place moves from its path to its address.
void index_by_address(const json &value, std::string &path,
                      const std::unordered_map<std::string, TextPosition> &byPath,
                      std::unordered_map<const void *, TextPosition> &byAddress) {
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

TextPosition Places::where(const json &value) const {
    for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame)
        if (auto found = (*frame)->find(&value); found != (*frame)->end())
            return found->second;
    return {};
}

// The file read a buffer at a time, counting lines as the parser takes bytes.
class StreamParser::Source {
  public:
    explicit Source(std::FILE *file) : file_(file) {}

    bool at_end() {
        if (at_ == end_) {
            at_ = buffer_;
            end_ = buffer_ + std::fread(buffer_, 1, sizeof buffer_, file_);
        }
        return at_ == end_;
    }
    char current() const { return *at_; }
    void advance() {
        if (*at_++ == '\n') {
            // The next line's number first, then its slot: one statement
            // would leave which index is taken first to the compiler.
            int line = starts_[newest_ % kept].line + 1;
            starts_[++newest_ % kept] = {offset_ + 1, line};
        }
        ++offset_;
    }
    // Where the byte just taken is.
    TextPosition last() const { return position_of(offset_ - 1); }

    TextPosition position_of(std::size_t offset) const {
        for (std::size_t back = 0; back < kept && back <= newest_; ++back) {
            const LineStart &start = starts_[(newest_ - back) % kept];
            if (offset >= start.offset)
                return {start.line, static_cast<int>(offset - start.offset + 1)};
        }
        return {};
    }

    // What the parser iterates over: every copy reads the one source.
    class Iterator {
      public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char *;
        using reference = char;

        explicit Iterator(Source *source) : source_(source) {}
        char operator*() const { return source_->current(); }
        Iterator &operator++() {
            source_->advance();
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const Iterator &other) const { return ended() == other.ended(); }

      private:
        bool ended() const { return !source_ || source_->at_end(); }
        Source *source_; // null: the end
    };

  private:
    struct LineStart {
        std::size_t offset;
        int line;
    };
    // The parser looks back at most a byte or two: a few line starts suffice.
    static constexpr std::size_t kept = 4;

    std::FILE *file_;
    char buffer_[65536];
    char *at_ = buffer_;
    char *end_ = buffer_;
    std::size_t offset_ = 0;
    LineStart starts_[kept] = {{0, 1}};
    std::size_t newest_ = 0;
};

// Builds the values the listener takes whole, and hands them over.
class StreamParser::Handler {
  public:
    Handler(Source &source, StreamListener &listener, Places &places)
        : source_(source), listener_(listener), places_(places) {}

    bool null() { return scalar(nullptr); }
    bool boolean(bool value) { return scalar(value); }
    bool number_integer(json::number_integer_t value) { return scalar(value); }
    bool number_unsigned(json::number_unsigned_t value) { return scalar(value); }
    bool number_float(json::number_float_t value, const std::string &) { return scalar(value); }
    bool string(std::string &value) { return scalar(std::move(value)); }
    bool binary(json::binary_t &value) { return scalar(json::binary(std::move(value))); }
    bool start_object(std::size_t) { return start(false); }
    bool start_array(std::size_t) { return start(true); }
    bool end_object() { return end(); }
    bool end_array() { return end(); }
    bool key(std::string &key) {
        frames_.back()->open.back().key = std::move(key);
        return true;
    }
    [[noreturn]] bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &error) {
        if (const auto *syntax = dynamic_cast<const json::parse_error *>(&error))
            throw *syntax;
        throw json::other_error::create(500, error.what(), nullptr);
    }

  private:
    struct Open {
        std::size_t pathBefore; // length of the path before this container's step
        json *value;
        std::size_t items = 0; // met so far, in an array
        std::string key;       // the current member's, in an object
    };
    // A value being built: the file's top value or an item of a streamed list.
    struct Frame {
        OpenObject object;
        std::vector<Open> open; // its containers open, its own first
        json list;              // stand-in for its streamed list, while one is open
        bool inList = false;
        std::string path;
        std::unordered_map<std::string, TextPosition> byPath;
        std::unordered_map<const void *, TextPosition> byAddress;
    };

    void push_frame(json value, TextPosition at, bool top) {
        auto frame = std::make_unique<Frame>();
        frame->object.members = std::move(value);
        frame->object.top = top;
        frame->object.where = at;
        if (frame->object.members.is_structured()) {
            frame->byAddress.emplace(&frame->object.members, at);
            frame->open.push_back({0, &frame->object.members, 0, {}});
        }
        places_.frames_.push_back(&frame->byAddress);
        frames_.push_back(std::move(frame));
    }

    void finish_frame() {
        Frame &frame = *frames_.back();
        if (!frame.byPath.empty()) {
            std::string path;
            index_by_address(frame.object.members, path, frame.byPath, frame.byAddress);
        }
        if (frame.object.top || frame.object.opened) {
            listener_.closed(frame.object);
        } else {
            Frame &holder = *frames_[frames_.size() - 2];
            listener_.item(holder.object, holder.list, frame.object.members);
        }
        places_.frames_.pop_back();
        frames_.pop_back();
    }

    // Where the next value goes in the innermost open container.
    json &slot(Frame &frame) {
        Open &open = frame.open.back();
        if (open.value->is_array()) {
            open.value->push_back(nullptr);
            return open.value->back();
        }
        return (*open.value)[open.key];
    }

    bool scalar(json value) {
        if (frames_.empty()) {
            push_frame(std::move(value), {}, true);
            finish_frame();
        } else if (Frame &frame = *frames_.back(); frame.inList) {
            listener_.item(frame.object, frame.list, value);
        } else {
            if (frame.open.back().value->is_array())
                ++frame.open.back().items;
            slot(frame) = std::move(value);
        }
        return true;
    }

    bool start(bool array) {
        TextPosition at = source_.last();
        json empty = array ? json::array() : json::object();
        if (frames_.empty() || frames_.back()->inList) {
            push_frame(std::move(empty), at, frames_.empty());
            return true;
        }
        Frame &frame = *frames_.back();
        Open &open = frame.open.back();
        if (array && frame.open.size() == 1 && open.value->is_object() &&
            listener_.streams(frame.object, open.key)) {
            if (!frame.object.opened)
                frame.object.membersBeforeList = open.value->size();
            (*open.value)[open.key] = json::array();
            frame.object.opened = frame.inList = true;
            frame.list = json::array();
            frame.byAddress[&frame.list] = at;
            return true;
        }
        std::size_t before = frame.path.size();
        frame.path += open.value->is_array() ? index_step(open.items++) : key_step(open.key);
        frame.byPath[frame.path] = at;
        json &child = slot(frame);
        child = std::move(empty);
        frame.open.push_back({before, &child, 0, {}});
        return true;
    }

    bool end() {
        Frame &frame = *frames_.back();
        if (frame.inList) {
            frame.inList = false;
            frame.byAddress.erase(&frame.list);
        } else if (frame.open.size() > 1) {
            frame.path.resize(frame.open.back().pathBefore);
            frame.open.pop_back();
        } else {
            finish_frame();
        }
        return true;
    }

    Source &source_;
    StreamListener &listener_;
    Places &places_;
    std::vector<std::unique_ptr<Frame>> frames_;
};

StreamParser::StreamParser(std::FILE *file, StreamListener &listener)
    : source_(std::make_unique<Source>(file)), listener_(listener) {}

StreamParser::~StreamParser() = default;

void StreamParser::parse() {
    Handler handler(*source_, listener_, places_);
    json::sax_parse(Source::Iterator(source_.get()), Source::Iterator(nullptr), &handler,
                    json::input_format_t::json, true, true);
}

TextPosition StreamParser::position_of(std::size_t offset) const {
    return source_->position_of(offset);
}

} // namespace kelbrin
