// Names that kelbrinclient's SCRIPT and PHP outputs write as one variable:
// root.Net_Wan.IP and root.Net.Wan_IP are both root_Net_Wan_IP, so the one
// read later overwrites the other.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "files/group_file.h"

namespace kelbrin {

class SharedVariables {
  public:
    // Notes, as a warning at the later one, a plain parameter whose variable
    // a different parameter read before (in this file or an earlier one) has.
    void add(const std::string &fileName, const Declaration &declaration, std::vector<Problem> &warnings);

  private:
    struct First {
        std::string name;
        std::string place; // "a.json:2:3"
    };
    std::unordered_map<std::string, First> variables_;
};

} // namespace kelbrin
