// migrate [--dry-run] [--json] FILE...: the store comes to follow a new
// release's group files in one transaction. A value left at its default
// takes the new default, a value the user set stays while the new
// declaration accepts it, what no file declares goes; the plan is printed
// once committed, or only printed with --dry-run.
#include "files/store_state.h"
#include "kelbrinctl/checked_files.h"
#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/plan.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

namespace {

// The files, checked as check checks them; a problem ends the command.
kelbrin::GroupFile release_of(const std::vector<std::string> &files) {
    std::vector<kelbrin::GroupFile> read;
    if (std::size_t count = check_files(files, kelbrin::Contents::Declarations, &read))
        throw Failure("migrate: the files have " + std::to_string(count) +
                      (count == 1 ? " problem" : " problems") + "; the store was not changed");
    return kelbrin::combined_release(std::move(read));
}

int migrate(const Invocation &invocation) {
    kelbrin::GroupFile release = release_of(invocation.operands);
    std::string path = store_path_for(invocation.store);
    bool dryRun = invocation.has("--dry-run");
    std::unique_ptr<kelbrin::Database> store =
        dryRun ? open_store_to_read(path) : open_store_to_write(invocation.store);
    try {
        std::optional<kelbrin::WriteTransaction> transaction;
        if (dryRun)
            store->begin_reading();
        else
            transaction.emplace(*store);
        kelbrin::StoreState state = kelbrin::read_store_state(*store);
        kelbrin::Migration migration = kelbrin::migrate_to(std::move(release), state.former);
        if (transaction) {
            apply_migration(*store, migration);
            transaction->commit();
        }
        print_plan(migration.plan, invocation.has("--json"));
    } catch (const kelbrin::StoreError &error) {
        throw Failure("migrate: store " + path + ": " + reason_of(error) + "; the store was not changed");
    }
    return exitDone;
}

constexpr Option options[] = {{"--dry-run"}, {"--json"}};

} // namespace

extern const Command migrateCommand{
    .name = "migrate",
    .options = options,
    .operands = "FILE...",
    .fewest = 1,
    .most = unlimited,
    .summary = "bring the store to a new release's group files, keeping the user's values",
    .run = migrate,
};

} // namespace kelbrinctl
