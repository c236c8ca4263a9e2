// The scripted store that the test double serves, read from the JSON file
// named by KELBRIN_DOUBLE_SCRIPT.
#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelbrin_double {

struct Parameter {
    std::string name;
    std::optional<std::string> value; // plain; absent: complex, see tree
    nlohmann::json tree;
    std::optional<std::string> accessControl;
};

struct ChildGroup {
    std::string name;
    std::string value;
};

struct Template {
    std::string parent;
    std::string name;
    std::string prefix;
    int max = 0;
    std::vector<int> taken;
};

struct FailEntry {
    std::string call;
    std::optional<std::string> arg;
    int nth = 0;     // 0: every matching call
    int matched = 0; // matching calls so far
    std::optional<int> error;
    std::optional<int> result;
    std::optional<std::string> value;
};

struct Store {
    std::vector<Parameter> params;
    std::map<std::string, std::vector<ChildGroup>, std::less<>> children;
    std::vector<Template> templates;
    std::vector<FailEntry> fails;
    std::string scriptError; // not empty: every call fails with -99

    Parameter *find(std::string_view name);
    // A group exists when something lies under it or it is a listed child.
    bool has_group(std::string_view group) const;
};

// The current script's store. It is read on first use and again whenever
// KELBRIN_DOUBLE_SCRIPT names another file, so one test process can run
// several scripts; each read starts the numbering of nodes afresh.
Store &store();

// The fail entry that makes this call fail, counting the call; null if none.
const FailEntry *failure_for(Store &store, std::string_view function, const char *firstText);

bool is_under(std::string_view name, std::string_view group);

} // namespace kelbrin_double
