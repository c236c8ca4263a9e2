// The C interface: checks the arguments, turns ClientOptions into the core's
// settings, runs the operation and reports through the error word. Nothing
// thrown inside ever leaves the library.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include <sys/single_threaded.h>

#include "store/database.h"
#include "store/dynamic_groups.h"
#include "base/errors.h"
#include "capi/export.h"
#include "store/listed_reads.h"
#include "store/listings.h"
#include "files/loading.h"
#include "store/parameters.h"
#include "store/sync.h"

using namespace kelbrin;

namespace {

// Full access: the level cli_resetOptions gives a caller.
constexpr int32_t fullAccess = INT32_MAX;

// The connection and its statements are shared by every thread of the process.
std::mutex &store_mutex() {
    static std::mutex mutex;
    return mutex;
}

// Holds the store's lock for one call. A process that has never started a
// second thread takes none: no other thread can come while this one is in
// the library, and a walk makes thousands of calls.
class StoreLock {
  public:
    StoreLock() : held_(!__libc_single_threaded) {
        if (held_)
            store_mutex().lock();
    }
    ~StoreLock() {
        if (held_)
            store_mutex().unlock();
    }
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;

  private:
    bool held_;
};

Settings settings_of(const ClientOptions *o) {
    if (o->syncMode < static_cast<int32_t>(kelbrin::SyncMode::NoSync) ||
        o->syncMode > static_cast<int32_t>(kelbrin::SyncMode::SyncNoSignal))
        throw StoreError{INVALID_ARGUMENT};
    Settings settings;
    settings.syncMode = static_cast<kelbrin::SyncMode>(o->syncMode);
    settings.groupNumber = o->groupNumber;
    settings.caseSensitive = o->caseSensitive != 0;
    settings.securityLevel = o->securityLevel;
    settings.noMapped = o->noMapped != 0;
    return settings;
}

void require(bool present) {
    if (!present)
        throw StoreError{INVALID_ARGUMENT};
}

template <typename Result> Refusable<Result> as_refusable(Refusable<Result> outcome) { return outcome; }
template <typename Result> Refusable<Result> as_refusable(Result value) { return {value}; }

// Runs one call under the store's lock and reports its outcome in the error
// word. A call that returns int32_t returns the code itself; the others
// return onFailure. The operation refuses by throwing StoreError, or by
// returning a Refusable.
template <typename Result, typename Operation> Result guarded(int32_t *err, Result onFailure, Operation operation) {
    Error code;
    try {
        StoreLock lock;
        Refusable<Result> outcome = as_refusable<Result>(operation());
        code = outcome.refusal;
        if (code == OK) {
            if (err)
                *err = 0;
            return outcome.value;
        }
    } catch (const StoreError &error) {
        code = error.code;
    } catch (const std::bad_alloc &) {
        code = OUT_OF_MEMORY;
    } catch (...) {
        code = STORE_FAILED;
    }
    if (err)
        *err = code;
    if constexpr (std::is_same_v<Result, int32_t>)
        return code;
    else
        return onFailure;
}

// A new C string the caller frees.
char *malloc_copy(std::string_view text) {
    auto *copy = static_cast<char *>(std::malloc(text.size() + 1));
    if (!copy)
        throw std::bad_alloc();
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// A listing: the visible record first, so its address is the caller's
// GroupContext. The entries are fetched when the listing starts, so the walk
// sees one consistent state of the store.
struct Listing {
    GroupContext visible{};
    bool ofGroups = false;
    ListingEntries entries;
    std::string current; // the writable text handed out for the current entry
    std::string value;
    Settings settings;
    uint64_t generation = 0;
};
static_assert(std::is_standard_layout_v<GroupContext>);

GroupContext *start_listing(Listing *listing) {
    listing->visible.paramName = listing->current.data();
    listing->visible.groupName = listing->current.data();
    listing->visible.groupValue = listing->value.data();
    listing->visible.libraryPointer2 = listing;
    return &listing->visible;
}

Listing *listing_of(GroupContext *c) {
    require(c && c->libraryPointer2 && static_cast<Listing *>(c->libraryPointer2) == reinterpret_cast<Listing *>(c));
    return static_cast<Listing *>(c->libraryPointer2);
}

// Moves to the next entry; false at the end. A group's value is its last
// name component; a parameter is remembered for the read that follows it.
bool next_entry(Listing *listing) {
    std::string_view group;
    ListedEntry entry{};
    if (!listing->entries.next(group, entry))
        return false;
    std::string &name = listing->current;
    name.resize(group.size() + (group.empty() ? 0 : 1) + entry.shortName.size());
    if (!group.empty()) {
        std::memcpy(name.data(), group.data(), group.size());
        name[group.size()] = '.';
    }
    std::memcpy(name.data() + name.size() - entry.shortName.size(), entry.shortName.data(), entry.shortName.size());
    if (listing->ofGroups)
        listing->value.assign(entry.shortName);
    else
        remember_listed(listing, listing->current, entry, listing->settings, listing->generation);
    return true;
}

// A listing of groups hands out nothing to a walk of parameters, and the
// other way round.
int32_t advance(GroupContext *c, bool groups) {
    Listing *listing = listing_of(c);
    if (listing->ofGroups != groups || !next_entry(listing)) {
        listing->current.clear();
        listing->value.clear();
        c->end = 1;
    }
    c->paramName = listing->current.data();
    c->groupName = listing->current.data();
    c->groupValue = listing->value.data();
    return 0;
}

} // namespace

KELBRIN_API void cli_resetOptions(ClientOptions *o) {
    if (!o)
        return;
    std::memset(o, 0, sizeof *o);
    o->syncMode = SYNC_DEFAULT;
    o->groupNumber = -1;
    o->securityLevel = fullAccess;
}

KELBRIN_API int32_t cli_sync(ClientOptions *o, int32_t *err) {
    return guarded(err, int32_t{}, [&] {
        require(o);
        sync_store(settings_of(o));
        return int32_t{0};
    });
}

KELBRIN_API int32_t cli_readGroupFile(const char *path, ClientOptions *o, int32_t *err) {
    return guarded(err, int32_t{}, [&] {
        require(path && o);
        load_group_file(path, settings_of(o));
        return int32_t{0};
    });
}

KELBRIN_API int32_t cli_setCustomParam(const char *name, const char *value, ClientOptions *o, int32_t *err) {
    return guarded(err, int32_t{}, [&] {
        require(name && value && o);
        set_value(name, value, settings_of(o));
        return int32_t{0};
    });
}

KELBRIN_API int32_t cli_deleteGroup(const char *group, ClientOptions *o, int32_t *err) {
    return guarded(err, int32_t{}, [&] {
        require(group && o);
        delete_group(group, settings_of(o));
        return int32_t{0};
    });
}

KELBRIN_API char *cli_getCustomParam(const char *name, ClientOptions *o, int32_t *err) {
    return guarded(err, static_cast<char *>(nullptr), [&]() -> Refusable<char *> {
        require(name && o);
        std::string storage;
        Refusable<std::string_view> read = get_value(name, settings_of(o), storage);
        if (read.refusal != OK)
            return {nullptr, read.refusal};
        return {malloc_copy(read.value)};
    });
}

KELBRIN_API int32_t cli_getCustomParamToBuf(const char *name, ClientOptions *o, int32_t *err, char *buffer,
                                            int32_t size) {
    return guarded(err, int32_t{}, [&]() -> Refusable<int32_t> {
        require(name && o && buffer && size >= 0);
        std::string storage;
        Refusable<std::string_view> read = get_value(name, settings_of(o), storage);
        if (read.refusal == OK)
            std::strncpy(buffer, std::string(read.value).c_str(), static_cast<std::size_t>(size));
        return {0, read.refusal};
    });
}

KELBRIN_API char *cli_getParamOption(const char *name, const char *option, ClientOptions *o, int32_t *err) {
    return guarded(err, static_cast<char *>(nullptr), [&]() -> char * {
        require(name && option && o);
        std::optional<std::string> text = get_option(name, option, settings_of(o));
        return text ? malloc_copy(*text) : nullptr;
    });
}

KELBRIN_API DataNode *cli_getComplexParam(const char *name, ClientOptions *o, int32_t *err) {
    return guarded(err, static_cast<DataNode *>(nullptr), [&] {
        require(name && o);
        return get_tree(name, settings_of(o));
    });
}

KELBRIN_API int32_t cli_setComplexParam(const char *name, DataNode *tree, ClientOptions *o, int32_t *err) {
    return guarded(err, int32_t{}, [&] {
        require(name && tree && o);
        set_tree(name, tree, settings_of(o));
        return int32_t{0};
    });
}

KELBRIN_API GroupContext *cli_getParamsInGroup(const char *group, ClientOptions *o, int32_t *err) {
    return guarded(err, static_cast<GroupContext *>(nullptr), [&] {
        require(group && o);
        Settings settings = settings_of(o);
        auto listing = std::make_unique<Listing>();
        listing->entries = parameters_in_group(group, settings);
        listing->settings = settings;
        listing->generation = store_generation();
        return start_listing(listing.release());
    });
}

KELBRIN_API GroupContext *cli_getChildGroupsInGroup(const char *group, ClientOptions *o, int32_t *err) {
    return guarded(err, static_cast<GroupContext *>(nullptr), [&] {
        require(group && o);
        auto listing = std::make_unique<Listing>();
        listing->ofGroups = true;
        listing->entries = child_groups(group, settings_of(o));
        return start_listing(listing.release());
    });
}

KELBRIN_API int32_t cli_getParamInGroup(GroupContext *c, ClientOptions *, int32_t *err) {
    return guarded(err, int32_t{}, [&] { return advance(c, false); });
}

KELBRIN_API int32_t cli_getChildGroupInGroup(GroupContext *c, ClientOptions *, int32_t *err) {
    return guarded(err, int32_t{}, [&] { return advance(c, true); });
}

KELBRIN_API void cli_cleanupGroupContext(GroupContext *c) {
    if (!c)
        return;
    auto *listing = reinterpret_cast<Listing *>(c);
    StoreLock lock;
    forget_listed(listing);
    delete listing;
}

KELBRIN_API char *cli_createDynamicGroup(const char *parent, const char *templateName, ClientOptions *o,
                                         int32_t *err) {
    return guarded(err, static_cast<char *>(nullptr), [&] {
        require(parent && templateName && o);
        return malloc_copy(create_dynamic_group(parent, templateName, settings_of(o)));
    });
}
