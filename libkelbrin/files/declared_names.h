// The folded names met while checking files, kept once for two checks: the
// reader's, of a name declared twice in one file, and the sequence's, of a
// name whose kind changes from one file to the next. What the sequence
// keeps of a name lies beside the table, so that a reader on its own pays
// nothing for it.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <utility>

#include "base/declarations.h"
#include "files/name_table.h"

namespace kelbrin {

class DeclaredNames {
  public:
    enum class Kind : uint8_t { Unmet, Group, Plain, Complex };

    // A name as the sequence first met it: a declaration, or an ancestor of one.
    struct Met {
        TextPosition where;
        // The sequence's index of the file: a command's operands, far fewer than 2^30.
        uint32_t file : 30;
        uint32_t kindBits : 2;
        Kind kind() const { return static_cast<Kind>(kindBits); }
    };

    // A new file begins: it has declared no name yet.
    void begin_file() { ++file_; }

    struct Declared {
        bool isGroup;
        int line;
    };
    // The current file's first declaration of the name, or nullopt when
    // this is the first one (and now noted).
    std::optional<Declared> declare(std::string_view folded, bool isGroup, int line) {
        auto [number, added] = names_.add(folded, {});
        InFile &first = names_[number];
        if (!added && first.file == file_)
            return Declared{first.isGroup != 0, first.line};
        first = {file_, isGroup, line};
        return std::nullopt;
    }

    // The name as the sequence first met it, and whether that is now.
    std::pair<const Met *, bool> meet(std::string_view folded, Kind kind, uint32_t file,
                                      TextPosition where) {
        uint32_t number = names_.add(folded, {}).first;
        while (met_.size() <= number)
            met_.push_back({{}, 0, static_cast<uint32_t>(Kind::Unmet)});
        Met &met = met_[number];
        if (met.kind() != Kind::Unmet)
            return {&met, false};
        met = {where, file, static_cast<uint32_t>(kind)};
        return {&met, true};
    }

    // A name the sequence has met, or null.
    const Met *met(std::string_view folded) const {
        std::optional<uint32_t> number = names_.number_of(folded);
        return number && *number < met_.size() && met_[*number].kind() != Kind::Unmet
                   ? &met_[*number]
                   : nullptr;
    }

  private:
    // Where the file being read first declared the name.
    struct InFile {
        uint32_t file : 31; // its number from begin_file; 0: none
        uint32_t isGroup : 1;
        int line;
    };

    NameTable<InFile> names_;
    std::deque<Met> met_; // by the name's number in names_
    uint32_t file_ = 0;
};

} // namespace kelbrin
