#include "kelbrinctl/plan.h"

#include <cstdio>

#include "base/json_text.h"
#include "base/settings.h"
#include "files/document_import.h"
#include "files/former_names.h"
#include "store/change_log.h"

namespace kelbrinctl {

namespace {

// A name (letters, digits, underscores and dots) as it is; a value as a JSON string.
void put(std::string &out, bool json, const char *key, std::string_view text, bool isName) {
    if (json)
        out.append(",\"").append(key).append("\":");
    else
        out += ' ';
    if (isName && !json)
        out += text;
    else
        kelbrin::append_json_string(out, text);
}

} // namespace

void print_plan(const std::vector<kelbrin::PlanLine> &plan, bool json) {
    std::string out;
    for (const kelbrin::PlanLine &line : plan) {
        if (json)
            out.append("{\"action\":\"").append(line.action).append("\"");
        else
            out += line.action;
        if (!line.from.empty())
            put(out, json, "from", line.from, true);
        put(out, json, "name", line.name, true);
        for (const auto &[key, value] : {std::pair("old", &line.before), std::pair("new", &line.after)})
            if (*value)
                put(out, json, key, **value, false);
        if (line.withheld)
            out += json ? ",\"withheld\":true" : " withheld";
        out += json ? "}\n" : "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

void log_plan(kelbrin::Database &db, const std::vector<kelbrin::PlanLine> &plan) {
    for (const kelbrin::PlanLine &line : plan)
        kelbrin::record_change(db, kelbrin::Settings{}, line.name,
                               line.after ? &*line.after : nullptr, line.withheld ? 1 : 0);
}

void apply_migration(kelbrin::Database &db, const kelbrin::Migration &migration) {
    kelbrin::import_document(db, migration.target, kelbrin::Settings{});
    kelbrin::record_former_names(db, migration.target);
    log_plan(db, migration.plan);
}

} // namespace kelbrinctl
