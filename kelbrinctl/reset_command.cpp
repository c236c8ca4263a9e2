// reset [--dry-run] [--keep-groups] [NAME...]: a factory reset of the whole
// store or of the named groups and parameters, in one transaction, printed
// as a plan: one line for each parameter whose value changes and for each
// dynamic group removed. --dry-run prints the plan and changes nothing.
#include <sys/stat.h>

#include <cstdio>

#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/plan.h"
#include "kelbrinctl/store_access.h"
#include "store/change_log.h"
#include "store/reset.h"

namespace kelbrinctl {

namespace {

// The plan as migrate prints it: a plain value's old and new text, a
// complex value's none, a read-protected value withheld.
std::vector<kelbrin::PlanLine> plan_lines(const std::vector<kelbrin::ResetStep> &steps) {
    std::vector<kelbrin::PlanLine> lines;
    for (const kelbrin::ResetStep &step : steps) {
        bool reset = step.kind == kelbrin::ResetStep::Kind::Reset;
        kelbrin::PlanLine line{reset ? "reset" : "remove", step.name, {}, {}, {}, false};
        line.withheld = kelbrin::withholds_values(step.readLevel);
        if (reset && !step.complex && !line.withheld) {
            line.before = step.value;
            line.after = step.defaultValue;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<kelbrin::Item> items_named(kelbrin::Database &store, const std::vector<std::string> &names,
                                       const std::string &path) {
    std::vector<kelbrin::Item> items;
    for (const std::string &name : names) {
        items.push_back(named_item(store, "reset", name, path, Named::ParameterOrGroup));
        if (!items.back().mapTo.empty())
            throw Failure("reset: " + name + " maps to " + items.back().mapTo + "; reset that parameter");
    }
    return items;
}

int reset(const Invocation &invocation) {
    std::vector<std::string> names = invocation.operands;
    if (names.empty())
        names.push_back("root");
    std::string path = store_path_for(invocation.store);
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        throw Failure("reset: no store " + path);
    std::unique_ptr<kelbrin::Database> store = open_store_to_write(invocation.store);
    std::vector<kelbrin::ResetStep> plan;
    try {
        kelbrin::WriteTransaction transaction(*store);
        plan = kelbrin::plan_reset(*store, items_named(*store, names, path), invocation.has("--keep-groups"));
        if (!invocation.has("--dry-run")) {
            kelbrin::apply_reset(*store, plan, kelbrin::Settings{});
            transaction.commit();
        }
    } catch (const kelbrin::StoreError &error) {
        throw Failure("reset: store " + path + ": " + reason_of(error) + "; the store was not changed");
    }
    print_plan(plan_lines(plan), invocation.has("--json"));
    return exitDone;
}

constexpr Option options[] = {{"--dry-run"}, {"--keep-groups"}, {"--json"}};

} // namespace

extern const Command resetCommand{
    .name = "reset",
    .options = options,
    .operands = "[NAME...]",
    .most = unlimited,
    .summary = "values back to their defaults, dynamic groups removed",
    .run = reset,
};

} // namespace kelbrinctl
