#include "store/reset.h"

#include <algorithm>

#include "base/item_paths.h"
#include "store/change_log.h"

namespace kelbrin {

namespace {

bool under(const std::string &path, const std::string &group) {
    return path >= group && path < subtree_end(group);
}

bool removed(const std::vector<ResetStep> &plan, const std::string &path) {
    return std::any_of(plan.begin(), plan.end(), [&](const ResetStep &step) {
        return step.kind == ResetStep::Kind::Remove && under(path, step.path);
    });
}

bool planned(const std::vector<ResetStep> &plan, const std::string &path) {
    return std::any_of(plan.begin(), plan.end(), [&](const ResetStep &step) { return step.path == path; });
}

} // namespace

std::vector<ResetStep> plan_reset(Database &db, const std::vector<Item> &items, bool keepGroups) {
    std::vector<ResetStep> plan;
    for (const Item &item : items) {
        std::string end = subtree_end(item.path);
        if (!keepGroups) {
            Query groups(db.statement("SELECT path, name FROM items WHERE path >= ?1 AND path < ?2"
                                      " AND is_group = 1 AND dynamic = 1 ORDER BY path"));
            groups.bind_blob(1, item.path).bind_blob(2, end);
            while (groups.step())
                if (!removed(plan, groups.blob(0)))
                    plan.push_back({ResetStep::Kind::Remove, groups.blob(0), groups.text(1), false, 0, "", ""});
        }
        Query changed(
            db.statement("SELECT path, name, complex, read_level, value, default_value FROM items"
                         " WHERE path >= ?1 AND path < ?2 AND default_value IS NOT NULL"
                         " AND default_value IS NOT value ORDER BY path"));
        changed.bind_blob(1, item.path).bind_blob(2, end);
        while (changed.step()) {
            std::string path = changed.blob(0);
            if (removed(plan, path) || planned(plan, path))
                continue;
            plan.push_back({ResetStep::Kind::Reset, path, changed.text(1), changed.integer(2) != 0,
                            static_cast<int32_t>(changed.integer(3)), changed.text(4), changed.text(5)});
        }
    }
    std::stable_sort(plan.begin(), plan.end(),
                     [](const ResetStep &a, const ResetStep &b) { return a.path < b.path; });
    return plan;
}

// The log keeps a plain value's first bytes with each change: what was reset
// or removed leaves none of its old values there.
void apply_reset(Database &db, const std::vector<ResetStep> &plan, const Settings &settings) {
    for (const ResetStep &step : plan) {
        if (step.kind == ResetStep::Kind::Remove) {
            Query(db.statement("DELETE FROM items WHERE path >= ?1 AND path < ?2"))
                .bind_blob(1, step.path)
                .bind_blob(2, subtree_end(step.path))
                .run();
            Query(db.statement("UPDATE changes SET value = NULL WHERE value IS NOT NULL AND"
                               " (lower(name) = lower(?1) OR substr(lower(name), 1, length(?2)) = lower(?2))"))
                .bind(1, step.name)
                .bind(2, step.name + ".")
                .run();
            record_change(db, settings, step.name);
            continue;
        }
        Query(db.statement("UPDATE items SET value = default_value, default_value = NULL WHERE path = ?1"))
            .bind_blob(1, step.path)
            .run();
        Query(db.statement("UPDATE changes SET value = NULL WHERE value IS NOT NULL AND lower(name) = lower(?1)"))
            .bind(1, step.name)
            .run();
        record_change(db, settings, step.name, step.complex ? nullptr : &step.defaultValue, step.readLevel);
    }
}

} // namespace kelbrin
