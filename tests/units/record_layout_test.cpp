// The records shared with a device's own store library: on 32-bit ARM each
// field is the 32-bit word its documentation numbers from 1. Checked when
// the tests are built for such a target (tools/test-armhf.sh).
#include <kelbrin.h>

#include <cstddef>

#define WORD(record, field) (offsetof(record, field) / 4 + 1)

static_assert(sizeof(ClientOptions) == 16 * sizeof(int32_t));
static_assert(sizeof(void *) != 4 ||
              (WORD(ClientOptions, port) == 1 && WORD(ClientOptions, syncMode) == 2 &&
               WORD(ClientOptions, groupNumber) == 3 && WORD(ClientOptions, caseSensitive) == 4 &&
               WORD(ClientOptions, securityLevel) == 9 && WORD(ClientOptions, noMapped) == 12 &&
               WORD(GroupContext, paramName) == 1 && WORD(GroupContext, groupName) == 4 &&
               WORD(GroupContext, groupValue) == 5 && WORD(GroupContext, end) == 6 &&
               WORD(DataNode, kind) == 1 && WORD(DataNode, u.scalar.subtype) == 3 &&
               WORD(DataNode, u.scalar.value) == 4 && WORD(DataNode, u.scalar.lib1) == 5 &&
               WORD(DataNode, u.scalar.lib2) == 6 && WORD(DataNode, u.list.firstCell) == 3 &&
               WORD(DataNode, u.hash.firstEntry) == 3 && sizeof(DataNode) == 24 &&
               WORD(ListCell, value) == 1 && WORD(ListCell, next) == 2 &&
               WORD(HashEntry, next) == 1 && WORD(HashEntry, key) == 2 &&
               WORD(HashEntry, value) == 3));
