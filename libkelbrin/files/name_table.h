// Names met while reading files, each with a small value: the names kept end
// to end in one text and found through a table of indexes, so that a file of
// a hundred thousand names costs a few megabytes rather than a node each.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelbrin {

template <class Value> class NameTable {
  public:
    // The value kept for the name, and whether the name is new (then value).
    std::pair<Value *, bool> try_emplace(std::string_view name, const Value &value) {
        if ((entries_.size() + 1) * 2 > slots_.size())
            grow();
        std::size_t slot = slot_of(name);
        if (slots_[slot] != 0)
            return {&entries_[slots_[slot] - 1].value, false};
        entries_.push_back({static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(name.size()), value});
        text_.append(name);
        slots_[slot] = static_cast<uint32_t>(entries_.size());
        return {&entries_.back().value, true};
    }

    Value *find(std::string_view name) {
        if (slots_.empty())
            return nullptr;
        uint32_t index = slots_[slot_of(name)];
        return index == 0 ? nullptr : &entries_[index - 1].value;
    }

  private:
    struct Entry {
        uint32_t offset; // in text_
        uint32_t length;
        Value value;
    };

    std::string_view name_of(const Entry &entry) const {
        return std::string_view(text_).substr(entry.offset, entry.length);
    }

    // The name's slot, or the empty one where it would go.
    std::size_t slot_of(std::string_view name) const {
        std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = std::hash<std::string_view>()(name) & mask;; slot = (slot + 1) & mask)
            if (slots_[slot] == 0 || name_of(entries_[slots_[slot] - 1]) == name)
                return slot;
    }

    void grow() {
        slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, 0);
        for (std::size_t index = 0; index < entries_.size(); ++index)
            slots_[slot_of(name_of(entries_[index]))] = static_cast<uint32_t>(index + 1);
    }

    std::string text_;
    std::vector<Entry> entries_;
    std::vector<uint32_t> slots_; // index + 1 into entries_; 0: free; a power of two long
};

} // namespace kelbrin
