#include "store/parameters.h"

#include <cstring>

#include "base/stored_tree_reader.h"
#include "base/tree_text.h"
#include "store/change_log.h"
#include "base/errors.h"
#include "store/items.h"
#include "store/listed_reads.h"
#include "base/names.h"
#include "base/pattern.h"

namespace kelbrin {

namespace {

// default_value keeps the declared default once the value leaves it, and
// is NULL again while the value equals it: most parameters never pay for it.
// Equal to the value, it says the default is not known (format_3.cpp).
void store_value(Database &db, const Settings &settings, const Item &target, const std::string &value) {
    Query(db.statement("UPDATE items SET value = ?2, default_value = CASE WHEN coalesce(default_value, value) = ?2"
                       " THEN NULL ELSE coalesce(default_value, value) END WHERE path = ?1"))
        .bind_blob(1, target.path)
        .bind(2, value)
        .run();
    record_change(db, settings, target.name, target.complex ? nullptr : &value, target.readLevel);
}

std::string decimal(int32_t number) { return std::to_string(number); }

} // namespace

Refusable<std::string_view> get_value(const char *name, const Settings &settings, std::string &storage) {
    if (std::optional<ListedRead> listed = listed_read(name, settings)) {
        if (listed->kind == ListedKind::Complex)
            return {{}, NOT_A_PLAIN_PARAMETER};
        return {listed->value};
    }
    Database &db = database(IfMissing::Empty);
    db.begin_reading();
    Item target = reach_parameter(db, name, settings, Access::Read);
    if (target.complex)
        return {{}, NOT_A_PLAIN_PARAMETER};
    storage = std::move(target.value);
    return {storage};
}

void set_value(const char *name, const char *value, const Settings &settings) {
    if (std::strlen(value) > maxValueBytes)
        throw StoreError{VALUE_TOO_LONG};
    Database &db = database(IfMissing::Empty);
    db.apply_sync_mode(settings.syncMode);
    WriteTransaction transaction(db);
    Item target = reach_parameter(db, name, settings, Access::Write);
    if (target.complex)
        throw StoreError{NOT_A_PLAIN_PARAMETER};
    if (std::optional<Refusal> refusal = plain_value_refusal("value", value, target.pattern))
        throw StoreError{refusal->code};
    store_value(db, settings, target, value);
    transaction.commit();
}

DataNode *get_tree(const char *name, const Settings &settings) {
    if (std::optional<ListedRead> listed = listed_read(name, settings)) {
        if (listed->kind == ListedKind::Plain)
            throw StoreError{NOT_A_COMPLEX_PARAMETER};
        return deliver_tree(listed->value);
    }
    Database &db = database(IfMissing::Empty);
    db.begin_reading();
    Item target = reach_parameter(db, name, settings, Access::Read);
    if (!target.complex)
        throw StoreError{NOT_A_COMPLEX_PARAMETER};
    return deliver_tree(target.value);
}

void set_tree(const char *name, const DataNode *tree, const Settings &settings) {
    std::string stored = serialise_tree(tree);
    Database &db = database(IfMissing::Empty);
    db.apply_sync_mode(settings.syncMode);
    WriteTransaction transaction(db);
    Item target = reach_parameter(db, name, settings, Access::Write);
    if (!target.complex)
        throw StoreError{NOT_A_COMPLEX_PARAMETER};
    store_value(db, settings, target, stored);
    transaction.commit();
}

std::optional<std::string> get_option(const char *name, const char *option, const Settings &settings) {
    Database &db = database(IfMissing::Empty);
    db.begin_reading();
    std::optional<Item> item = find_item(db, name, settings);
    if (!item || item->isGroup || (settings.noMapped && !item->mapTo.empty()))
        throw StoreError{UNKNOWN_PARAMETER};
    if (settings.securityLevel < item->readLevel)
        throw StoreError{READ_REFUSED};
    std::string wanted = fold(option);
    if (wanted == "accesscontrol")
        return item->accessControl;
    if (wanted == "readlevel")
        return decimal(item->readLevel);
    if (wanted == "writelevel")
        return decimal(item->writeLevel);
    if (wanted == "pattern")
        return item->pattern.empty() ? std::nullopt : std::optional(item->pattern);
    if (wanted == "mapto")
        return item->mapTo.empty() ? std::nullopt : std::optional(item->mapTo);
    if (wanted == "type")
        return std::string(item->complex ? "complex" : "plain");
    throw StoreError{UNKNOWN_OPTION};
}

} // namespace kelbrin
