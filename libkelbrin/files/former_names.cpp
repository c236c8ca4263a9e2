#include "files/former_names.h"

#include <nlohmann/json.hpp>

#include "base/errors.h"
#include "base/names.h"

namespace kelbrin {

std::string former_names_text(const std::vector<std::string> &names) {
    return nlohmann::json(names).dump();
}

std::vector<std::string> former_names_from_text(std::string_view text) {
    if (text.empty())
        return {};
    // Written only by former_names_text: a store that holds anything else is damaged.
    nlohmann::json list = nlohmann::json::parse(text, nullptr, false);
    if (!list.is_array())
        throw StoreError{STORE_FAILED};
    std::vector<std::string> names;
    for (const nlohmann::json &name : list)
        if (name.is_string())
            names.push_back(name.get<std::string>());
    return names;
}

namespace {

void keep(Database &db, const char *sql, const std::string &name, const std::vector<std::string> &formerly) {
    if (!formerly.empty())
        Query(db.statement(sql)).bind(1, fold(name)).bind(2, former_names_text(formerly)).run();
}

} // namespace

void record_former_names(Database &db, const Declaration &declaration) {
    keep(db, "UPDATE items SET formerly = ?2 WHERE folded = ?1", declaration.fullName, declaration.formerly);
}

void record_former_names(Database &db, const TemplateDeclaration &declaration) {
    keep(db, "UPDATE templates SET formerly = ?2 WHERE folded = ?1", declaration.name, declaration.formerly);
}

void record_former_names(Database &db, const GroupFile &file) {
    for (const Declaration &declaration : file.declarations)
        record_former_names(db, declaration);
    for (const TemplateDeclaration &t : file.templates)
        record_former_names(db, t);
}

} // namespace kelbrin
