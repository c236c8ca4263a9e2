// Names met while reading files, each with a small value: the names kept end
// to end in blocks of text and found through a table of indexes, so that a
// file of a hundred thousand names costs a few megabytes rather than a node
// each. Blocks and a deque grow without copying what they hold, so the
// table never holds its names twice while it grows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelbrin {

// Each byte of a name as a table compares and hashes it.
struct SameBytes {
    char operator()(char c) const { return c; }
};

// Names are kept as given and compared byte by byte through Byte, so that
// a table can find a name under another spelling of it.
template <class Value, class Byte = SameBytes> class NameTable {
  public:
    // The value kept for the name, and whether the name is new (then value).
    std::pair<Value *, bool> try_emplace(std::string_view name, const Value &value) {
        auto [number, added] = add(name, value);
        return {&(*this)[number], added};
    }

    // The name's number (names are numbered from 0 as they are added), and
    // whether the name is new (then value), for values kept beside the table.
    std::pair<uint32_t, bool> add(std::string_view name, const Value &value) {
        if ((entries_.size() + 1) * 2 > slots_.size())
            grow();
        std::size_t slot = slot_of(name);
        if (slots_[slot] != 0)
            return {slots_[slot] - 1, false};
        entries_.push_back({keep(name), static_cast<uint32_t>(name.size()), value});
        slots_[slot] = static_cast<uint32_t>(entries_.size());
        return {slots_[slot] - 1, true};
    }

    // The name's number, or nullopt for a name the table does not have.
    std::optional<uint32_t> number_of(std::string_view name) const {
        if (slots_.empty())
            return std::nullopt;
        uint32_t index = slots_[slot_of(name)];
        return index == 0 ? std::nullopt : std::optional<uint32_t>(index - 1);
    }

    Value &operator[](uint32_t number) { return entries_[number].value; }

    // The name as it was kept, for a name the table has.
    std::string_view kept_name(std::string_view name) const {
        return name_of(entries_[slots_[slot_of(name)] - 1]);
    }

  private:
    struct Entry {
        uint32_t offset; // see keep
        uint32_t length;
        Value value;
    };

    static constexpr std::size_t blockBytes = 64 * 1024;

    // Where the name is kept: its block times blockBytes, plus its place in it.
    uint32_t keep(std::string_view name) {
        if (blocks_.empty() || blocks_.back().size() + name.size() > blockBytes) {
            blocks_.emplace_back();
            blocks_.back().reserve(std::max(blockBytes, name.size()));
        }
        std::string &block = blocks_.back();
        auto offset = static_cast<uint32_t>((blocks_.size() - 1) * blockBytes + block.size());
        block.append(name);
        return offset;
    }

    std::string_view name_of(const Entry &entry) const {
        return std::string_view(blocks_[entry.offset / blockBytes]).substr(entry.offset % blockBytes, entry.length);
    }

    static bool same(std::string_view a, std::string_view b) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (Byte()(a[i]) != Byte()(b[i]))
                return false;
        return true;
    }

    // FNV-1a of the bytes as Byte gives them.
    static std::size_t hash(std::string_view name) {
        uint64_t value = 14695981039346656037ULL;
        for (char c : name)
            value = (value ^ static_cast<unsigned char>(Byte()(c))) * 1099511628211ULL;
        return static_cast<std::size_t>(value);
    }

    // The name's slot, or the empty one where it would go.
    std::size_t slot_of(std::string_view name) const {
        std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = hash(name) & mask;; slot = (slot + 1) & mask)
            if (slots_[slot] == 0 || same(name_of(entries_[slots_[slot] - 1]), name))
                return slot;
    }

    void grow() {
        slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, 0);
        for (std::size_t index = 0; index < entries_.size(); ++index)
            slots_[slot_of(name_of(entries_[index]))] = static_cast<uint32_t>(index + 1);
    }

    std::vector<std::string> blocks_; // each reserved once, never grown past that
    std::deque<Entry> entries_;
    std::vector<uint32_t> slots_; // index + 1 into entries_; 0: free; a power of two long
};

} // namespace kelbrin
