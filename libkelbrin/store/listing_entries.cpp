#include "store/listing_entries.h"

#include <cstring>

namespace kelbrin {

namespace {

constexpr std::size_t blockBytes = 64 * 1024;
// A record starts with its kind: a ListedKind, or this for a group's name.
constexpr uint8_t groupRecord = 0xff;
// Lengths take seven bits a byte, the high bit set on all but the last.
std::size_t length_bytes(std::size_t length) {
    std::size_t bytes = 1;
    for (; length >= 0x80; length >>= 7)
        ++bytes;
    return bytes;
}

char *put_text(char *at, std::string_view text) {
    std::size_t length = text.size();
    for (; length >= 0x80; length >>= 7)
        *at++ = static_cast<char>((length & 0x7f) | 0x80);
    *at++ = static_cast<char>(length);
    if (!text.empty()) // an empty view may have no data pointer at all
        std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

const char *get_text(const char *at, std::string_view &text) {
    std::size_t length = 0;
    for (int shift = 0;; shift += 7) {
        auto byte = static_cast<unsigned char>(*at++);
        length |= static_cast<std::size_t>(byte & 0x7f) << shift;
        if (byte < 0x80)
            break;
    }
    text = std::string_view(at, length);
    return at + length;
}

} // namespace

char *ListingEntries::reserve(std::size_t bytes) {
    if (bytes > freeInLast_) [[unlikely]]
        add_block(bytes);
    char *at = blocks_.back().get() + blockUsed_.back();
    blockUsed_.back() += bytes;
    freeInLast_ -= bytes;
    return at;
}

void ListingEntries::add_block(std::size_t bytes) {
    std::size_t size = bytes > blockBytes ? bytes : blockBytes;
    // Not zeroed first: every record is written before it is read.
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    blockUsed_.push_back(0);
    freeInLast_ = size;
}

// A record never spans two blocks, so that it is read in place.
const char *ListingEntries::append(uint8_t kind, std::string_view first, std::string_view second) {
    std::size_t bytes = 1 + length_bytes(first.size()) + first.size() + length_bytes(second.size()) + second.size();
    char *at = reserve(bytes);
    *at++ = static_cast<char>(kind);
    const char *firstText = at + length_bytes(first.size());
    put_text(put_text(at, first), second);
    return firstText;
}

void ListingEntries::add(std::string_view fullName, ListedKind kind, std::string_view value) {
    std::size_t lastDot = fullName.rfind('.');
    std::string_view group = lastDot == std::string_view::npos ? std::string_view() : fullName.substr(0, lastDot);
    if (blocks_.empty() || group != lastGroup_)
        lastGroup_ = std::string_view(append(groupRecord, group, {}), group.size());
    append(static_cast<uint8_t>(kind), fullName.substr(lastDot + 1), value);
}

bool ListingEntries::next(std::string_view &group, ListedEntry &entry) {
    for (;;) {
        while (readBlock_ < blocks_.size() && readOffset_ >= blockUsed_[readBlock_]) {
            ++readBlock_;
            readOffset_ = 0;
        }
        if (readBlock_ >= blocks_.size())
            return false;
        const char *start = blocks_[readBlock_].get() + readOffset_;
        auto kind = static_cast<uint8_t>(*start);
        std::string_view first;
        std::string_view second;
        const char *end = get_text(get_text(start + 1, first), second);
        readOffset_ += static_cast<std::size_t>(end - start);
        if (kind == groupRecord) {
            readGroup_ = first;
            continue;
        }
        group = readGroup_;
        entry = ListedEntry{first, static_cast<ListedKind>(kind), second};
        return true;
    }
}

} // namespace kelbrin
