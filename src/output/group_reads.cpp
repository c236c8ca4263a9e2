#include "output/group_reads.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/status.h"
#include "common/diagnostics.h"
#include "common/globals.h"
#include "common/streams.h"
#include "output/command_words.h"
#include "output/complex_render.h"
#include "output/output_types.h"

static const char malformedName[] = "Internal error: '.'-delimited format expected.";

static void write_section_header(FILE *stream, const char *section) {
    fputs_unlocked("\n\n[", stream);
    fputs_unlocked(section, stream);
    fputs_unlocked("]\n", stream);
}

// The section last written by a NAMEVALUESECTIONS walk.
struct section_state {
    bool started = false;
    std::string name;
};

// Writes a section header when the parameter's section (the text between its
// first and its last dot) differs from the previous one, which it replaces;
// points shortName at the name's last component.
static int section_step(FILE *stream, const char *name, section_state *previous,
                        const char **shortName) {
    const char *firstDot = std::strchr(name, '.');
    const char *lastDot = std::strrchr(name, '.');
    if (firstDot == nullptr || lastDot == firstDot) {
        print_message(LOG_ERR, "%s", malformedName);
        return STATUS_FATAL;
    }
    std::string_view section(firstDot + 1, (size_t)(lastDot - firstDot - 1));
    if (!previous->started || previous->name != section) {
        previous->started = true;
        previous->name.assign(section);
        write_section_header(stream, previous->name.c_str());
    }
    *shortName = lastDot + 1;
    return STATUS_OK;
}

// Writes a complex parameter (only NAMEVALUESECTIONS shows them).
static int print_complex_param(FILE *stream, OutputType type, const char *commentPrefix,
                               const char *name, section_state *previousSection) {
    int32_t errorWord = 0;
    DataNode *tree = cli_getComplexParam(name, &clientOptions, &errorWord);
    int status = STATUS_OK;
    if (errorWord != 0) {
        print_message(LOG_ERR, "%sError %i getting parameter '%s'", commentPrefix, errorWord, name);
        status = STATUS_FAILED;
    } else if (type == OUTPUT_NAMEVALUESECTIONS) {
        const char *shortName;
        status = section_step(stream, name, previousSection, &shortName);
        if (status == STATUS_OK) {
            // Kept between values, so that its memory grows only for the largest.
            static std::string text;
            text.clear();
            render_complex_value(text, tree, shortName, 1);
            text += '\n';
            fwrite_unlocked(text.data(), 1, text.size(), stream);
        }
    }
    std::free(tree);
    return status;
}

typedef int32_t (*advance_call)(GroupContext *context, ClientOptions *options,
                                int32_t *errorWord);

// Moves the context to its first entry; reports a failure or an empty list
// with the given messages and returns STATUS_FAILED for them.
static int advance_to_first(GroupContext *context, advance_call advance, const char *commentPrefix,
                            const char *group, const char *failure, const char *empty) {
    int32_t errorWord = 0;
    advance(context, &clientOptions, &errorWord);
    if (errorWord != 0) {
        print_message(LOG_ERR, failure, commentPrefix, errorWord, group);
        return STATUS_FAILED;
    }
    if (context->end == 1) {
        print_message(LOG_WARNING, empty, commentPrefix, group);
        return STATUS_FAILED;
    }
    return STATUS_OK;
}

// Writes one parameter of the walk; returns its status.
static int print_group_param(FILE *stream, OutputType type, const char *commentPrefix,
                             const char *name, section_state *previousSection) {
    int32_t errorWord = 0;
    char *value = cli_getCustomParam(name, &clientOptions, &errorWord);
    int status = STATUS_OK;
    if (errorWord != 0) {
        status = print_complex_param(stream, type, commentPrefix, name, previousSection);
    } else {
        if (type == OUTPUT_NAMEVALUESECTIONS) {
            const char *shortName;
            status = section_step(stream, name, previousSection, &shortName);
            if (status == STATUS_OK)
                write_aligned_line(stream, shortName, value != nullptr ? value : "");
        } else {
            // The writers may rewrite the name; the context's text stays intact.
            std::string writable(name);
            print_value(stream, type, writable.data(), value, &clientOptions);
        }
    }
    std::free(value);
    return status;
}

// Walks the parameters of the group; returns the status of the walk.
static int walk_group(FILE *stream, OutputType type, const char *commentPrefix, const char *group,
                      GroupContext *context) {
    int status = advance_to_first(context, cli_getParamInGroup, commentPrefix, group,
                                  "%sError %i getting param in group '%s'!",
                                  "%sNo parameters for group '%s'!");
    if (status != STATUS_OK)
        return status;

    int32_t errorWord = 0;
    section_state previousSection;
    // A library that leaves no name has nothing more to list.
    while (context->end == 0 && context->paramName != nullptr) {
        int paramStatus =
            print_group_param(stream, type, commentPrefix, context->paramName, &previousSection);
        if (paramStatus == STATUS_FATAL) {
            status = STATUS_FATAL;
            break;
        }
        if (paramStatus == STATUS_FAILED)
            status = STATUS_FAILED;
        // An error while advancing ends the list as if it were complete.
        cli_getParamInGroup(context, &clientOptions, &errorWord);
        if (errorWord != 0)
            break;
    }
    return status;
}

typedef GroupContext *(*listing_call)(const char *group, ClientOptions *options,
                                      int32_t *errorWord);
typedef int (*listing_walk)(FILE *stream, OutputType type, const char *commentPrefix,
                            const char *group, GroupContext *context);

// Writes the header, lists the group with the library's listing call and
// walks the listing; then releases it, writes the trailer and closes the
// stream whatever happened. Returns the status of the walk.
static int run_listing(FILE *stream, OutputType type, const char *commentPrefix, const char *group,
                       listing_call list, const char *listFailure, listing_walk walk) {
    write_output_header(stream, type, commentPrefix);
    int32_t errorWord = 0;
    GroupContext *context = list(group, &clientOptions, &errorWord);
    int status;
    if (errorWord != 0 || context == nullptr) {
        print_message(LOG_ERR, listFailure, commentPrefix, errorWord, group);
        status = STATUS_FAILED;
    } else {
        status = walk(stream, type, commentPrefix, group, context);
    }
    cli_cleanupGroupContext(context);
    write_output_trailer(stream, type);
    close_stream(stream);
    return status;
}

int print_group(const char *group, const char *file, const char *typeName) {
    if (group == nullptr || file == nullptr || typeName == nullptr) {
        print_message(LOG_ERR, "Missing argument!");
        return STATUS_FATAL;
    }
    OutputType type;
    const char *commentPrefix;
    if (parse_output_type(typeName, &type, &commentPrefix) != 0)
        return STATUS_FATAL;
    FILE *stream = open_stream(file, "w");
    if (stream == nullptr)
        return STATUS_FATAL;
    return run_listing(stream, type, commentPrefix, group, cli_getParamsInGroup,
                       "%sError %i getting group '%s'!", walk_group);
}

typedef int (*group_worker)(const char *group, const char *file, const char *typeName);

// Runs a group command's worker on its words and closes a fatal failure with
// the command's message about the group.
static int run_group_command(char **words, int count, int *taken, const char *defaultType,
                             group_worker worker, const char *fatalFailure) {
    target_words target;
    *taken = take_target_words(words, count, defaultType, &target);
    int status = worker(target.name, target.file, target.type);
    if (status == STATUS_FATAL)
        print_message(LOG_ERR, fatalFailure, target.name);
    return status;
}

int command_getgroup(char **words, int count, int *taken) {
    return run_group_command(words, count, taken, "NAMEVALUE", print_group,
                             "Failed to get group %s.");
}

// The section of a getgrouplist listing: "root", or the group's name after
// its first dot; null for any other name without a dot.
static const char *child_list_section(const char *group) {
    if (std::strcmp(group, "root") == 0)
        return group;
    const char *firstDot = std::strchr(group, '.');
    return firstDot != nullptr ? firstDot + 1 : nullptr;
}

// Lists the child groups of the group; returns the status of the listing.
static int list_child_groups(FILE *stream, OutputType type, const char *commentPrefix,
                             const char *group, GroupContext *context) {
    int status = advance_to_first(context, cli_getChildGroupInGroup, commentPrefix, group,
                                  "%sError %i getting group for group '%s'!",
                                  "%sNo groups for group '%s'!");
    if (status != STATUS_OK)
        return status;
    if (type == OUTPUT_NAMEVALUESECTIONS) {
        const char *section = child_list_section(group);
        if (section == nullptr) {
            print_message(LOG_ERR, "%s", malformedName);
            return STATUS_FATAL;
        }
        write_section_header(stream, section);
    }
    int32_t errorWord = 0;
    while (context->end == 0 && context->groupName != nullptr) {
        // print_group_entry cuts the name; the context's text stays intact.
        std::string writable(context->groupName);
        print_group_entry(stream, type, writable.data(), context->groupValue, &clientOptions);
        cli_getChildGroupInGroup(context, &clientOptions, &errorWord);
        if (errorWord != 0)
            break;
    }
    return STATUS_OK;
}

static int list_groups(const char *group, const char *file, const char *typeName) {
    if (group == nullptr || file == nullptr || typeName == nullptr) {
        print_message(LOG_ERR, "Missing argument!");
        return STATUS_FATAL;
    }
    // The file is opened before the type is known: a bad type leaves it empty.
    FILE *stream = open_stream(file, "w");
    if (stream == nullptr)
        return STATUS_FATAL;
    OutputType type;
    const char *commentPrefix;
    if (parse_output_type(typeName, &type, &commentPrefix) != 0) {
        close_stream(stream);
        return STATUS_FATAL;
    }
    return run_listing(stream, type, commentPrefix, group, cli_getChildGroupsInGroup,
                       "%sError %i listing groups for group '%s'!", list_child_groups);
}

int command_getgrouplist(char **words, int count, int *taken) {
    return run_group_command(words, count, taken, "VALUE", list_groups,
                             "Failed to list groups under '%s'");
}
