// Parsing a JSON file (comments allowed) as a stream of events: values are
// built only for the parts a listener takes whole, so that memory follows
// the largest such part rather than the file, and each object and array
// built is noted with where it begins, so that messages can say where.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/declarations.h"

namespace kelbrin {

// An object of the file that a listener may stream lists of: its members
// so far (a streamed list among them as an empty list), and where it begins.
struct OpenObject {
    nlohmann::ordered_json members;
    TextPosition where;
    bool top = false;    // the file's own value
    bool opened = false; // a list of it is or was streamed
    std::size_t membersBeforeList = 0; // members met before its first streamed list
};

class StreamListener {
  public:
    virtual ~StreamListener() = default;
    // Whether the list under key of the object (the file's top object, or an
    // object item of a streamed list) comes item by item rather than whole.
    virtual bool streams(const OpenObject &object, const std::string &key) = 0;
    // A whole item of a streamed list (list: its stand-in, located).
    virtual void item(const OpenObject &holder, const nlohmann::ordered_json &list,
                      const nlohmann::ordered_json &value) = 0;
    // An opened object, or the file's top value, has ended.
    virtual void closed(const OpenObject &object) = 0;
};

class StreamParser;

// Where the values handed to a listener begin in the file.
class Places {
  public:
    TextPosition where(const nlohmann::ordered_json &value) const;

  private:
    friend class StreamParser;
    std::vector<const std::unordered_map<const void *, TextPosition> *> frames_;
};

// Where a file opens more objects and lists at once than allowed.
struct NestedTooDeep {
    TextPosition where;
};
// A file that could not be read to its end, or is longer than allowed.
struct UnreadableFile {
    const char *reason;
};

// Parses the open file from its start, handing its parts to the listener.
// Throws nlohmann::json::parse_error, its byte counted from 1, for a text
// that is not JSON (position_of turns that byte into a line and column),
// NestedTooDeep past maxDepth, UnreadableFile past maxBytes.
class StreamParser {
  public:
    StreamParser(std::FILE *file, StreamListener &listener, std::size_t maxBytes, int maxDepth);
    ~StreamParser();
    void parse();
    const Places &places() const { return places_; }
    // Where a byte lately read is (offset counted from 0).
    TextPosition position_of(std::size_t offset) const;

  private:
    class Handler;
    class Source;
    std::unique_ptr<Source> source_;
    StreamListener &listener_;
    int maxDepth_;
    Places places_;
};

} // namespace kelbrin
