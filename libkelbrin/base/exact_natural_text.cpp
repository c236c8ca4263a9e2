// A stored tree (tree_text.cpp's form) written in the group file's form as
// the parser meets it, with no document built: an export writes every
// complex value this way.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/json_text.h"
#include "base/tree_text.h"

namespace kelbrin {

namespace {

using json = nlohmann::json;

// What the stored text must hold next, innermost last.
enum class Next {
    Node,       // a node: its opening bracket
    Kind,       // "s", "l" or "h"
    Subtype,    // a scalar's subtype
    TypeName,   // null, or "string" for a text
    Value,      // null, an integer or a text, as the subtype says
    Close,      // the bracket that closes a node or a hash entry
    Items,      // a list's or a hash's opening bracket
    ListItem,   // a node, or the list's end
    HashEntry,  // an entry's opening bracket, or the hash's end
    Key,        // an entry's key
};

// Gives up (returns false) at the first thing that the group file's form
// cannot carry exactly: a fresh node, a scalar of another subtype or type
// name, a key twice in one hash, or a text not in the stored form at all.
class NaturalWriter : public nlohmann::json_sax<json> {
  public:
    std::string out;

    bool null() override {
        if (expect(Next::TypeName))
            return (typeIsText_ = false, next_.back() = Next::Value, true);
        if (!expect(Next::Value) || subtype_ != SCALAR_EMPTY || typeIsText_)
            return false;
        out += "null";
        return closes_scalar();
    }
    bool boolean(bool) override { return false; }
    bool number_integer(number_integer_t number) override { return integer(number); }
    bool number_unsigned(number_unsigned_t number) override { return integer(static_cast<int64_t>(number)); }
    bool number_float(number_float_t, const string_t &) override { return false; }

    bool string(string_t &text) override {
        switch (next_.empty() ? Next::Node : next_.back()) {
        case Next::Kind:
            if (text == "s")
                next_.back() = Next::Subtype;
            else if (text == "l" || text == "h")
                return (next_.back() = Next::Items, hash_ = text == "h", true);
            else
                return false;
            return true;
        case Next::TypeName:
            return (typeIsText_ = text == "string") && (next_.back() = Next::Value, true);
        case Next::Value:
            if (subtype_ != SCALAR_CUSTOM || !typeIsText_)
                return false;
            append_json_string(out, text);
            return closes_scalar();
        case Next::Key:
            if (!keys_.back().insert(text).second)
                return false;
            separate();
            append_json_string(out, text);
            out += ':';
            next_.back() = Next::Close;
            next_.push_back(Next::Node);
            return true;
        default:
            return false;
        }
    }

    bool start_array(std::size_t) override {
        switch (next_.empty() ? Next::Node : next_.back()) {
        case Next::Node:
            if (!next_.empty())
                next_.pop_back();
            [[fallthrough]];
        case Next::ListItem:
            if (!next_.empty() && next_.back() == Next::ListItem)
                separate();
            next_.push_back(Next::Close);
            next_.push_back(Next::Kind);
            return true;
        case Next::Items:
            out += hash_ ? '{' : '[';
            next_.back() = hash_ ? Next::HashEntry : Next::ListItem;
            if (hash_)
                keys_.emplace_back();
            return true;
        case Next::HashEntry:
            next_.push_back(Next::Key);
            return true;
        default:
            return false;
        }
    }

    bool end_array() override {
        if (next_.empty())
            return false;
        Next closing = next_.back();
        next_.pop_back();
        if (closing == Next::ListItem || closing == Next::HashEntry) {
            out += closing == Next::HashEntry ? '}' : ']';
            if (closing == Next::HashEntry)
                keys_.pop_back();
            return expect(Next::Close); // the node's own bracket comes next
        }
        return closing == Next::Close;
    }

    bool start_object(std::size_t) override { return false; }
    bool key(string_t &) override { return false; }
    bool end_object() override { return false; }
    bool binary(binary_t &) override { return false; }
    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &) override {
        return false;
    }

  private:
    bool expect(Next what) const { return !next_.empty() && next_.back() == what; }

    bool integer(int64_t number) {
        if (expect(Next::Subtype)) {
            subtype_ = number;
            next_.back() = Next::TypeName;
            return true;
        }
        if (!expect(Next::Value) || subtype_ != SCALAR_INTEGER || typeIsText_)
            return false;
        out += std::to_string(number);
        return closes_scalar();
    }

    // A scalar's value written: only its closing bracket may follow.
    bool closes_scalar() {
        next_.pop_back();
        return true;
    }

    // A comma before every item of a list or entry of a hash but the first.
    void separate() {
        if (out.back() != '{' && out.back() != '[')
            out += ',';
    }

    std::vector<Next> next_;
    std::vector<std::unordered_set<std::string>> keys_; // of each open hash
    int64_t subtype_ = 0;
    bool typeIsText_ = false;
    bool hash_ = false;
};

} // namespace

std::optional<std::string> exact_natural_text(std::string_view stored) {
    NaturalWriter writer;
    if (!json::sax_parse(stored, &writer))
        return std::nullopt;
    return std::move(writer.out);
}

} // namespace kelbrin
