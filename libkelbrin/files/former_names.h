// The names a declaration had before (its "formerly" list), as the store
// keeps them: a JSON list in items.formerly and templates.formerly.
#pragma once

#include <string>
#include <vector>

#include "base/declarations.h"
#include "files/group_file.h"
#include "store/database.h"

namespace kelbrin {

std::string former_names_text(const std::vector<std::string> &names);
std::vector<std::string> former_names_from_text(std::string_view text);

// Keeps the former names that a declaration lists, on the item or template
// of the same name, inside the caller's transaction; or those of a file's.
void record_former_names(Database &db, const Declaration &declaration);
void record_former_names(Database &db, const TemplateDeclaration &declaration);
void record_former_names(Database &db, const GroupFile &file);

} // namespace kelbrin
