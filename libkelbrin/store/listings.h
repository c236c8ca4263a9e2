// Walking the parameters and child groups of a group.
#pragma once

#include "store/listing_entries.h"
#include "base/settings.h"

namespace kelbrin {

// Every readable parameter under the group with its value, depth first, in
// declaration order.
ListingEntries parameters_in_group(const char *group, const Settings &settings);
// The group's direct child groups: declared ones in order, then dynamic ones by number.
ListingEntries child_groups(const char *group, const Settings &settings);

} // namespace kelbrin
