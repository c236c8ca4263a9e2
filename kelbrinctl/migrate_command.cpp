// migrate [--dry-run] [--json] FILE...: the store comes to follow a new
// release's group files in one transaction. A value left at its default
// takes the new default, a value the user set stays while the new
// declaration accepts it, what no file declares goes; the plan is printed
// once committed, or only printed with --dry-run.
#include "files/document_import.h"
#include "files/former_names.h"
#include "files/store_migration.h"
#include "kelbrinctl/checked_files.h"
#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/plan.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

namespace {

// The files, checked as check checks them; a problem ends the command.
void check_release(const std::vector<std::string> &files) {
    if (std::size_t count = check_files(files, kelbrin::Contents::Declarations))
        throw Failure("migrate: the files have " + std::to_string(count) +
                      (count == 1 ? " problem" : " problems") + "; the store was not changed");
}

// The release and the store's items wait in temporary tables, so that the
// plan is made and the new content laid out one declaration at a time.
std::vector<kelbrin::PlanLine> migrate_store(kelbrin::Database &store,
                                             const std::vector<std::string> &files, bool dryRun) {
    store.bound_page_memory();
    kelbrin::SpooledRelease release(store, files);
    kelbrin::StoredFormerItems former(store);
    auto source = [&](const std::function<void(kelbrin::Declaration &)> &each) {
        release.each(each);
    };
    if (dryRun)
        return kelbrin::migrate_streaming(release.templates(), source, former,
                                          [](const kelbrin::Declaration &) {});
    std::vector<kelbrin::PlanLine> plan;
    kelbrin::import_document(
        store, release.templates(), kelbrin::Settings{}, [&](const kelbrin::DeclarationSink &lay) {
            plan = kelbrin::migrate_streaming(release.templates(), source, former,
                                              [&](const kelbrin::Declaration &d) {
                                                  lay(d);
                                                  kelbrin::record_former_names(store, d);
                                              });
        });
    for (const kelbrin::TemplateDeclaration &t : release.templates())
        kelbrin::record_former_names(store, t);
    log_plan(store, plan);
    return plan;
}

int migrate(const Invocation &invocation) {
    check_release(invocation.operands);
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
        std::vector<kelbrin::PlanLine> plan = migrate_store(*store, invocation.operands, dryRun);
        if (transaction)
            transaction->commit();
        print_plan(plan, invocation.has("--json"));
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
