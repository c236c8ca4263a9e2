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

#include "data_tree.h"
#include "database.h"
#include "errors.h"
#include "export.h"
#include "store.h"

using namespace kelbrin;

namespace {

// Full access: the level cli_resetOptions gives a caller.
constexpr int32_t fullAccess = INT32_MAX;

// The connection and its statements are shared by every thread of the process.
std::mutex &store_mutex() {
    static std::mutex mutex;
    return mutex;
}

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

// Runs one call under the store's lock and reports its outcome in the error
// word. A call that returns int32_t returns the code itself; the others
// return onFailure.
template <typename Result, typename Operation> Result guarded(int32_t *err, Result onFailure, Operation operation) {
    Error code;
    try {
        std::lock_guard lock(store_mutex());
        Result result = operation();
        if (err)
            *err = 0;
        return result;
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
    NameList groups;              // of a listing of child groups
    ParameterListing parameters;  // of a listing of parameters, with their values
    std::size_t next = 0;
    std::string current; // the writable text handed out for the current entry
    std::string value;
    // The parameter handed out last, as listed (the caller may change the
    // text above), for the reads of it that follow.
    std::string listedName;
    ListedParameter listed{};
    Settings settings;
    uint64_t generation = 0;
};
static_assert(std::is_standard_layout_v<GroupContext>);

// The parameter listing that handed out a name last: the program reads each
// parameter right after its listing hands it out, and that read is answered
// from the listing instead of a query of its own.
Listing *lastAdvanced = nullptr;

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

// Moves to the next entry; false at the end.
bool next_entry(Listing *listing, bool groups) {
    if (groups) {
        if (listing->next >= listing->groups.size())
            return false;
        listing->current = listing->groups[listing->next++];
        listing->value = listing->current.substr(listing->current.rfind('.') + 1);
        return true;
    }
    std::string_view group;
    if (!listing->parameters.next(group, listing->listed))
        return false;
    listing->listedName.assign(group).append(1, '.').append(listing->listed.shortName);
    listing->current = listing->listedName;
    lastAdvanced = listing;
    return true;
}

int32_t advance(GroupContext *c, bool groups) {
    Listing *listing = listing_of(c);
    if (lastAdvanced == listing)
        lastAdvanced = nullptr;
    if (!next_entry(listing, groups)) {
        listing->current.clear();
        listing->value.clear();
        c->end = 1;
    }
    c->paramName = listing->current.data();
    c->groupName = listing->current.data();
    c->groupValue = listing->value.data();
    return 0;
}

// The listed parameter of that exact name, when the listing's view of it is
// still what a read would find: same caller settings, and no write by this
// process (nor another store file) since the listing started. Mapped
// parameters are read the usual way.
const ListedParameter *listed(const char *name, const Settings &settings) {
    if (!lastAdvanced || lastAdvanced->listed.kind == ListedKind::Mapped ||
        lastAdvanced->generation != store_generation() ||
        lastAdvanced->settings.securityLevel != settings.securityLevel ||
        lastAdvanced->settings.caseSensitive != settings.caseSensitive ||
        lastAdvanced->settings.noMapped != settings.noMapped || lastAdvanced->listedName != name)
        return nullptr;
    return &lastAdvanced->listed;
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
    return guarded(err, static_cast<char *>(nullptr), [&] {
        require(name && o);
        Settings settings = settings_of(o);
        if (const ListedParameter *entry = listed(name, settings)) {
            if (entry->kind == ListedKind::Complex)
                throw StoreError{NOT_A_PLAIN_PARAMETER};
            return malloc_copy(entry->value);
        }
        return malloc_copy(get_value(name, settings));
    });
}

KELBRIN_API int32_t cli_getCustomParamToBuf(const char *name, ClientOptions *o, int32_t *err, char *buffer,
                                            int32_t size) {
    return guarded(err, int32_t{}, [&] {
        require(name && o && buffer && size >= 0);
        std::string value = get_value(name, settings_of(o));
        std::strncpy(buffer, value.c_str(), static_cast<std::size_t>(size));
        return int32_t{0};
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
        Settings settings = settings_of(o);
        if (const ListedParameter *entry = listed(name, settings)) {
            if (entry->kind == ListedKind::Plain)
                throw StoreError{NOT_A_COMPLEX_PARAMETER};
            return deliver_tree(std::string(entry->value));
        }
        return get_tree(name, settings);
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
        listing->parameters = parameters_in_group(group, settings);
        listing->settings = settings;
        listing->generation = store_generation();
        return start_listing(listing.release());
    });
}

KELBRIN_API GroupContext *cli_getChildGroupsInGroup(const char *group, ClientOptions *o, int32_t *err) {
    return guarded(err, static_cast<GroupContext *>(nullptr), [&] {
        require(group && o);
        auto listing = std::make_unique<Listing>();
        listing->groups = child_groups(group, settings_of(o));
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
    std::lock_guard lock(store_mutex());
    if (lastAdvanced == reinterpret_cast<Listing *>(c))
        lastAdvanced = nullptr;
    delete reinterpret_cast<Listing *>(c);
}

KELBRIN_API char *cli_createDynamicGroup(const char *parent, const char *templateName, ClientOptions *o,
                                         int32_t *err) {
    return guarded(err, static_cast<char *>(nullptr), [&] {
        require(parent && templateName && o);
        return malloc_copy(create_dynamic_group(parent, templateName, settings_of(o)));
    });
}
