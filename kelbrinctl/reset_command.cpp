// reset [--dry-run] [--keep-groups] [NAME...]: a factory reset of the whole
// store or of the named groups and parameters, in one transaction, printed
// as a plan: one line for each parameter whose value changes and for each
// dynamic group removed. --dry-run prints the plan and changes nothing.
#include <sys/stat.h>

#include <cstdio>

#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/store_access.h"
#include "base/names.h"
#include "base/tree_text.h"
#include "store/reset.h"

namespace kelbrinctl {

namespace {

using json = nlohmann::ordered_json;

// A value as one JSON text: a plain value as a string, a complex one as its tree.
std::string plan_value(const kelbrin::ResetStep &step, const std::string &stored) {
    if (step.readLevel > 0)
        return "withheld";
    json value = stored;
    if (step.complex)
        try {
            value = kelbrin::natural_form_of(stored);
        } catch (const kelbrin::StoreError &) {
            value = "(unreadable)";
        }
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::vector<kelbrin::Item> items_named(kelbrin::Database &store, const std::vector<std::string> &names,
                                       const std::string &path) {
    std::vector<kelbrin::Item> items;
    for (const std::string &name : names) {
        if (!kelbrin::is_valid_full_name(name))
            throw Failure("reset: " + name +
                          " is not a parameter or group name (root, then components joined by dots)");
        std::optional<kelbrin::Item> item = kelbrin::find_item(store, name, kelbrin::Settings{});
        if (!item)
            throw Failure("reset: no parameter or group " + name + " in store " + path);
        if (!item->mapTo.empty())
            throw Failure("reset: " + name + " maps to " + item->mapTo + "; reset that parameter");
        items.push_back(*item);
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
    for (const kelbrin::ResetStep &step : plan) {
        std::string line = step.kind == kelbrin::ResetStep::Kind::Remove
                               ? "remove " + step.name
                               : "reset " + step.name + " " + plan_value(step, step.value) + " " +
                                     plan_value(step, step.defaultValue);
        std::puts(printable(line).c_str());
    }
    return exitDone;
}

constexpr Option options[] = {{"--dry-run"}, {"--keep-groups"}};

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
