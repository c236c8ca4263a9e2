#include "files/located_json.h"

#include <cerrno>
#include <cstring>

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
    Source(std::FILE *file, std::size_t maxBytes) : file_(file), maxBytes_(maxBytes) {}

    // The next byte, or end of file; throws UnreadableFile for a read
    // that fails or a file longer than the limit.
    std::char_traits<char>::int_type next() {
        if (at_ == end_ && !refill())
            return std::char_traits<char>::eof();
        char c = *at_++;
        if (c == '\n') {
            // The next line's number first, then its slot: one statement
            // would leave which index is taken first to the compiler.
            int line = starts_[newest_ % kept].line + 1;
            starts_[++newest_ % kept] = {offset_ + 1, line};
        }
        ++offset_;
        return std::char_traits<char>::to_int_type(c);
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

    // What the parser reads from: a byte at a time, as its lexer asks.
    class Adapter {
      public:
        using char_type = char;
        explicit Adapter(Source &source) : source_(&source) {}
        std::char_traits<char>::int_type get_character() { return source_->next(); }

      private:
        Source *source_;
    };

  private:
    struct LineStart {
        std::size_t offset;
        int line;
    };
    // The parser looks back at most a byte or two: a few line starts suffice.
    static constexpr std::size_t kept = 4;

    bool refill() {
        std::size_t got = std::fread(buffer_, 1, sizeof buffer_, file_);
        if (got == 0 && std::ferror(file_))
            throw UnreadableFile{std::strerror(errno)};
        if ((read_ += got) > maxBytes_)
            throw UnreadableFile{"the file is larger than its limit"};
        at_ = buffer_;
        end_ = buffer_ + got;
        return got > 0;
    }

    std::FILE *file_;
    std::size_t maxBytes_;
    std::size_t read_ = 0;
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
    Handler(Source &source, StreamListener &listener, Places &places, int maxDepth)
        : source_(source), listener_(listener), places_(places), maxDepth_(maxDepth) {}

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

        void clear() {
            object = {};
            open.clear();
            list = nullptr;
            inList = false;
            path.clear();
            byPath.clear();
            byAddress.clear();
        }
    };

    // A frame ended is kept for the next item, its containers' memory with it.
    void push_frame(json value, TextPosition at, bool top) {
        std::unique_ptr<Frame> frame;
        if (spare_.empty()) {
            frame = std::make_unique<Frame>();
        } else {
            frame = std::move(spare_.back());
            spare_.pop_back();
        }
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
        frame.clear();
        spare_.push_back(std::move(frames_.back()));
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
        if (++depth_ > maxDepth_)
            throw NestedTooDeep{at};
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
        --depth_;
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
    int maxDepth_;
    int depth_ = 0; // objects and lists open
    std::vector<std::unique_ptr<Frame>> frames_;
    std::vector<std::unique_ptr<Frame>> spare_;
};

StreamParser::StreamParser(std::FILE *file, StreamListener &listener, std::size_t maxBytes, int maxDepth)
    : source_(std::make_unique<Source>(file, maxBytes)), listener_(listener), maxDepth_(maxDepth) {}

StreamParser::~StreamParser() = default;

void StreamParser::parse() {
    Handler handler(*source_, listener_, places_, maxDepth_);
    // The library's parser over the source itself: its iterator interface
    // would cost three calls a byte.
    nlohmann::detail::parser<json, Source::Adapter>(Source::Adapter(*source_), nullptr, true, true)
        .sax_parse(&handler, true);
}

TextPosition StreamParser::position_of(std::size_t offset) const {
    return source_->position_of(offset);
}

} // namespace kelbrin
