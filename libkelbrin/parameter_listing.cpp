#include "parameter_listing.h"

#include <cstring>

namespace kelbrin {

namespace {

constexpr std::size_t blockBytes = 64 * 1024;

// Each record: group index, kind, name length, value length, name, value.
struct RecordHead {
    uint32_t group;
    ListedKind kind;
    uint32_t nameBytes;
    uint32_t valueBytes;
};

} // namespace

void ParameterListing::enter_group(std::string_view fullName) { groups_.emplace_back(fullName); }

char *ParameterListing::reserve(std::size_t bytes) {
    if (bytes > freeInLast_) {
        std::size_t size = bytes > blockBytes ? bytes : blockBytes;
        blocks_.push_back(std::make_unique<char[]>(size));
        blockUsed_.push_back(0);
        freeInLast_ = size;
    }
    char *at = blocks_.back().get() + blockUsed_.back();
    blockUsed_.back() += bytes;
    freeInLast_ -= bytes;
    return at;
}

void ParameterListing::add(std::string_view shortName, ListedKind kind, std::string_view value) {
    RecordHead head{static_cast<uint32_t>(groups_.size() - 1), kind, static_cast<uint32_t>(shortName.size()),
                    static_cast<uint32_t>(value.size())};
    char *at = reserve(sizeof head + shortName.size() + value.size());
    std::memcpy(at, &head, sizeof head);
    std::memcpy(at + sizeof head, shortName.data(), shortName.size());
    std::memcpy(at + sizeof head + shortName.size(), value.data(), value.size());
}

bool ParameterListing::next(std::string_view &group, ListedParameter &parameter) {
    while (readBlock_ < blocks_.size() && readOffset_ >= blockUsed_[readBlock_]) {
        ++readBlock_;
        readOffset_ = 0;
    }
    if (readBlock_ >= blocks_.size())
        return false;
    const char *at = blocks_[readBlock_].get() + readOffset_;
    RecordHead head;
    std::memcpy(&head, at, sizeof head);
    group = groups_[head.group];
    parameter.kind = head.kind;
    parameter.shortName = std::string_view(at + sizeof head, head.nameBytes);
    parameter.value = std::string_view(at + sizeof head + head.nameBytes, head.valueBytes);
    readOffset_ += sizeof head + head.nameBytes + head.valueBytes;
    return true;
}

} // namespace kelbrin
