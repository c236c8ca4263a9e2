// Format 4: an index of each template's groups.
#include "store/format_steps.h"

namespace kelbrin {

// Only dynamic groups have a template: the index holds nothing else.
void index_template_groups(Database &db) {
    db.execute("CREATE INDEX item_templates ON items(template_id) WHERE template_id IS NOT NULL");
}

} // namespace kelbrin
