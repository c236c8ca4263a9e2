// The store's operations, on the core's own settings. Each throws StoreError;
// each change happens whole or not at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "parameter_listing.h"
#include "settings.h"
#include "store/kelbrin.h"

namespace kelbrin {

// Longest plain value the store keeps, in bytes.
inline constexpr std::size_t maxValueBytes = 256 * 1024;

void load_group_file(const char *path, const Settings &settings);

std::string get_value(const char *name, const Settings &settings);
void set_value(const char *name, const char *value, const Settings &settings);
DataNode *get_tree(const char *name, const Settings &settings);
void set_tree(const char *name, const DataNode *tree, const Settings &settings);
// Empty when the parameter has no such attribute.
std::optional<std::string> get_option(const char *name, const char *option, const Settings &settings);

// Names packed one after another, each ended by a NUL: a listing of 100,000
// parameters costs the names' bytes rather than a string object per name.
class NameList {
  public:
    void add(std::string_view name) {
        starts_.push_back(text_.size());
        text_.append(name);
        text_.push_back('\0');
    }
    std::size_t size() const { return starts_.size(); }
    std::string_view operator[](std::size_t index) const { return text_.data() + starts_[index]; }

  private:
    std::string text_;
    std::vector<std::size_t> starts_;
};

// Every readable parameter under the group with its value, depth first, in
// declaration order.
ParameterListing parameters_in_group(const char *group, const Settings &settings);
// Full names of the group's direct child groups: declared ones in order, then dynamic ones by number.
NameList child_groups(const char *group, const Settings &settings);

// Returns the new group's last name component.
std::string create_dynamic_group(const char *parent, const char *templateName, const Settings &settings);
void delete_group(const char *group, const Settings &settings);

// Forces every committed change to stable storage.
void sync_store(const Settings &settings);

} // namespace kelbrin
