// import [--replace | --merge] FILE: an export loaded into an empty store,
// with --replace in place of the store's whole content, or with --merge its
// values brought to the store's declarations as migrate brings a store's
// (the plan printed). The file is checked as check checks it before the
// store is opened, in one streaming pass; a second pass writes everything in
// one transaction, so the store holds all of it or is left as it was.
#include "kelbrinctl/commands.h"
#include "files/document_import.h"
#include "files/store_state.h"
#include "files/group_file_sequence.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/plan.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

namespace {

int load_export(const Invocation &invocation) {
    const std::string &file = invocation.operands[0];
    if (invocation.has("--replace") && invocation.has("--merge"))
        throw UsageError("import: --replace and --merge exclude each other");
    std::vector<kelbrin::Problem> problems;
    std::vector<kelbrin::TemplateDeclaration> templates = kelbrin::GroupFileSequence().check(file, problems);
    if (!problems.empty()) {
        std::size_t count = problems.size();
        print_problems(file, std::move(problems));
        throw Failure("import: " + file + " has " + std::to_string(count) +
                      (count == 1 ? " problem" : " problems") + "; the store was not changed");
    }
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_write(invocation.store);
    try {
        kelbrin::WriteTransaction transaction(*store);
        if (invocation.has("--merge")) {
            kelbrin::StoreState state = kelbrin::read_store_state(*store);
            kelbrin::GroupFile document =
                kelbrin::read_whole_group_file(file.c_str(), nullptr, kelbrin::Contents::DeclarationsAndState);
            kelbrin::add_document_values(state.former, document);
            kelbrin::Migration merged = kelbrin::migrate_to(std::move(state.declarations), state.former);
            apply_migration(*store, merged);
            transaction.commit();
            print_plan(merged.plan, false);
            return exitDone;
        }
        kelbrin::StoreContent content = kelbrin::store_content(*store);
        if ((content.items != 0 || content.templates != 0) && !invocation.has("--replace"))
            throw Failure("import: store " + path + " is not empty (" +
                          std::to_string(content.items) + " groups and parameters, " +
                          std::to_string(content.templates) +
                          " templates); import --replace FILE replaces all of it");
        kelbrin::import_document(*store, file.c_str(), templates, kelbrin::Settings{});
        transaction.commit();
    } catch (const kelbrin::StoreError &error) {
        throw Failure("import: store " + path + ": " + reason_of(error) +
                      "; the store was not changed");
    }
    return exitDone;
}

constexpr Option options[] = {{"--replace"}, {"--merge"}};

} // namespace

extern const Command importCommand{
    .name = "import",
    .options = options,
    .operands = "FILE",
    .fewest = 1,
    .most = 1,
    .summary = "load an export into an empty store, in place of its content, or merged into it",
    .run = load_export,
};

} // namespace kelbrinctl
