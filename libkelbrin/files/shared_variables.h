// Names that kelbrinclient's SCRIPT and PHP outputs write as one variable:
// root.Net_Wan.IP and root.Net.Wan_IP are both root_Net_Wan_IP, so the one
// read later overwrites the other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/group_file.h"
#include "files/name_table.h"

namespace kelbrin {

class SharedVariables {
  public:
    // Notes, as a warning at the later one, a plain parameter whose variable
    // a different parameter read before (in this file or an earlier one) has.
    void add(const std::string &fileName, const Declaration &declaration, std::vector<Problem> &warnings);

  private:
    // Names compared as their variables: a dot is an underscore.
    struct AsVariable {
        char operator()(char c) const { return c == '.' ? '_' : c; }
    };
    struct First {
        uint32_t file; // in files_
        TextPosition where;
    };
    // The first parameter of each variable, by its name: every plain parameter has one.
    NameTable<First, AsVariable> variables_;
    std::vector<std::string> files_;
};

} // namespace kelbrin
