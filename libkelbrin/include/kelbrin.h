/* Interface of the parameter store library libkelbrin.so.
 *
 * The record layouts, names, argument order and ownership rules are fixed:
 * kelbrinclient runs unchanged against any library that offers them.
 * Every record is the natural C layout of its fields on each target.
 */
#ifndef KELBRIN_H
#define KELBRIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One per process, allocated by the caller and filled by cli_resetOptions. */
typedef struct ClientOptions {
    int32_t port;
    int32_t syncMode; /* a SyncMode */
    int32_t groupNumber;
    int32_t caseSensitive;
    int32_t libraryWords5to8[4];
    int32_t securityLevel;
    int32_t libraryWords10to11[2];
    int32_t noMapped;
    int32_t libraryWords13to16[4];
} ClientOptions;

enum SyncMode {
    SYNC_NOSYNC = 9,
    SYNC_DEFAULT = 10,
    SYNC_SIGNAL_ONLY = 11,
    SYNC_NOSIGNAL = 12
};

/* Error codes the program itself depends on; the library documents the rest. */
enum {
    KELBRIN_ERROR_GROUP_NUMBER_TAKEN = -4,
    KELBRIN_ERROR_GROUP_LIMIT = -8
};

/* Allocated by the library. Callers read only these six fields and never its
 * size: the library may place a larger record of its own around them. */
typedef struct GroupContext {
    char *paramName;
    void *libraryPointer2;
    void *libraryPointer3;
    char *groupName;
    char *groupValue;
    int32_t end;
} GroupContext;

enum DataKind { DATA_NONE = 0, DATA_SCALAR = 1, DATA_LIST = 2, DATA_HASH = 3 };

enum ScalarType {
    SCALAR_EMPTY = 0,
    SCALAR_INTEGER = 1,
    SCALAR_STRING = 2,
    SCALAR_CUSTOM = 3
};

typedef struct DataNode DataNode;
typedef struct ListCell ListCell;
typedef struct HashEntry HashEntry;

struct DataNode {
    int32_t kind; /* a DataKind */
    int32_t libWord;
    union {
        struct {
            int32_t subtype; /* a ScalarType */
            union {
                int32_t integer;
                char *string;
            } value;
            void *lib1;
            void *lib2;
        } scalar;
        struct {
            ListCell *firstCell;
        } list;
        struct {
            HashEntry *firstEntry;
        } hash;
    } u;
};

struct ListCell {
    DataNode *value;
    ListCell *next;
};

struct HashEntry {
    HashEntry *next;
    char *key;
    DataNode *value;
};

/* Parameters and groups. Every call but the first and the last stores 0 in
 * *err on success and a negative error code on failure. */
void cli_resetOptions(ClientOptions *o);
int32_t cli_sync(ClientOptions *o, int32_t *err);
int32_t cli_readGroupFile(const char *path, ClientOptions *o, int32_t *err);
int32_t cli_setCustomParam(const char *name, const char *value, ClientOptions *o, int32_t *err);
int32_t cli_deleteGroup(const char *group, ClientOptions *o, int32_t *err);
/* New text, freed by the caller; may be null on error. */
char *cli_getCustomParam(const char *name, ClientOptions *o, int32_t *err);
/* strncpy semantics: at most size bytes, terminated only when shorter. */
int32_t cli_getCustomParamToBuf(const char *name, ClientOptions *o, int32_t *err, char *buffer,
                                int32_t size);
/* New text, freed by the caller; null when there is none. */
char *cli_getParamOption(const char *name, const char *option, ClientOptions *o, int32_t *err);
/* New tree; the caller frees the root node only. */
DataNode *cli_getComplexParam(const char *name, ClientOptions *o, int32_t *err);
/* The tree stays the caller's. */
int32_t cli_setComplexParam(const char *name, DataNode *tree, ClientOptions *o, int32_t *err);
/* Contexts are positioned before the first entry; each call advances. */
GroupContext *cli_getParamsInGroup(const char *group, ClientOptions *o, int32_t *err);
GroupContext *cli_getChildGroupsInGroup(const char *group, ClientOptions *o, int32_t *err);
int32_t cli_getParamInGroup(GroupContext *c, ClientOptions *o, int32_t *err);
int32_t cli_getChildGroupInGroup(GroupContext *c, ClientOptions *o, int32_t *err);
void cli_cleanupGroupContext(GroupContext *c); /* accepts null */
/* New short name, freed by the caller; reads o->groupNumber (-1: lowest free). */
char *cli_createDynamicGroup(const char *parent, const char *templateName, ClientOptions *o,
                             int32_t *err);

/* Data trees. Every node, cell, entry and text is allocated with malloc. */
DataNode *drep_createData(void);
int32_t drep_initializeHash(DataNode *n);
int32_t drep_initializeList(DataNode *n);
int32_t drep_initializeScalar(DataNode *n, int32_t subtype, const char *typeName);
/* May keep the pointer: the caller keeps the text alive until the tree is stored. */
int32_t drep_assignStringToCustom(DataNode *n, const char *text, int32_t flags);
/* Text owned by the node. */
char *drep_getStringFromCustom(DataNode *n, char *flag);
DataNode *drep_getHashValue(DataNode *hash, const char *key);
int32_t drep_setHashValue(DataNode *hash, DataNode *value, const char *key);
/* With two nulls: a fresh node to store under a new key. */
DataNode *drep_getNextToInHash(DataNode *hash, const char *from, const char *to);
int32_t drep_deleteHashValue(DataNode *hash, const char *key);
ListCell *drep_getFirstOfList(DataNode *list);
int32_t drep_deleteListItem(DataNode *list, ListCell *item);
int32_t drep_addToList(DataNode *list, DataNode *node);

#ifdef __cplusplus
}
#endif

#endif
