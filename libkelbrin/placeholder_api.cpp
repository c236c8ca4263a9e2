// PLACEHOLDER until the embedded store lands: every call fails with -1.
#include "store/kelbrin.h"
#include <cstring>
extern "C" {
void cli_resetOptions(ClientOptions *o) { if (o) std::memset(o, 0, sizeof *o); }
int32_t cli_sync(ClientOptions *, int32_t *e) { if (e) *e = -1; return -1; }
int32_t cli_readGroupFile(const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return -1; }
int32_t cli_setCustomParam(const char *, const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return -1; }
int32_t cli_deleteGroup(const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return -1; }
char *cli_getCustomParam(const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return nullptr; }
int32_t cli_getCustomParamToBuf(const char *, ClientOptions *, int32_t *e, char *, int32_t) { if (e) *e = -1; return -1; }
char *cli_getParamOption(const char *, const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return nullptr; }
DataNode *cli_getComplexParam(const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return nullptr; }
int32_t cli_setComplexParam(const char *, DataNode *, ClientOptions *, int32_t *e) { if (e) *e = -1; return -1; }
GroupContext *cli_getParamsInGroup(const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return nullptr; }
GroupContext *cli_getChildGroupsInGroup(const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return nullptr; }
int32_t cli_getParamInGroup(GroupContext *, ClientOptions *, int32_t *e) { if (e) *e = -1; return -1; }
int32_t cli_getChildGroupInGroup(GroupContext *, ClientOptions *, int32_t *e) { if (e) *e = -1; return -1; }
void cli_cleanupGroupContext(GroupContext *) {}
char *cli_createDynamicGroup(const char *, const char *, ClientOptions *, int32_t *e) { if (e) *e = -1; return nullptr; }
DataNode *drep_createData(void) { return nullptr; }
int32_t drep_initializeHash(DataNode *) { return -1; }
int32_t drep_initializeList(DataNode *) { return -1; }
int32_t drep_initializeScalar(DataNode *, int32_t, const char *) { return -1; }
int32_t drep_assignStringToCustom(DataNode *, const char *, int32_t) { return -1; }
char *drep_getStringFromCustom(DataNode *, char *) { return nullptr; }
DataNode *drep_getHashValue(DataNode *, const char *) { return nullptr; }
int32_t drep_setHashValue(DataNode *, DataNode *, const char *) { return -1; }
DataNode *drep_getNextToInHash(DataNode *, const char *, const char *) { return nullptr; }
int32_t drep_deleteHashValue(DataNode *, const char *) { return -1; }
ListCell *drep_getFirstOfList(DataNode *) { return nullptr; }
int32_t drep_deleteListItem(DataNode *, ListCell *) { return -1; }
int32_t drep_addToList(DataNode *, DataNode *) { return -1; }
}
