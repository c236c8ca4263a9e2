/* Preloaded into the program under test: records its syslog calls (KELBRIN_CAPTURE_LOG), fixes
 * time() (KELBRIN_FAKE_TIME), logs store calls with their options (KELBRIN_CALL_LOG), and with
 * KELBRIN_FAULT=NAME:N:CODE fails the Nth call of NAME with CODE instead of reaching the store. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <syslog.h>
#include <time.h>

#include <kelbrin.h>

/* Appends to the log the variable names, if it names one. */
static void append(const char *variable, const char *format, ...) {
    const char *path = getenv(variable);
    FILE *log = path ? fopen(path, "a") : NULL;
    if (log) {
        va_list arguments;
        va_start(arguments, format);
        vfprintf(log, format, arguments);
        va_end(arguments);
        fclose(log);
    }
}

/* Syslog records end in a NUL byte: their texts may hold any other byte. */
void openlog(const char *ident, int option, int facility) {
    append("KELBRIN_CAPTURE_LOG", "openlog %s %d %d%c", ident ? ident : "NULL", option, facility,
           0);
}

void vsyslog(int priority, const char *format, va_list arguments) {
    int callersErrno = errno;
    char *text = NULL;
    if (vasprintf(&text, format, arguments) >= 0)
        append("KELBRIN_CAPTURE_LOG", "%d %s%c", priority & LOG_PRIMASK, text, 0);
    free(text);
    errno = callersErrno;
}

void syslog(int priority, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vsyslog(priority, format, arguments);
    va_end(arguments);
}

time_t time(time_t *result) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const char *fake = getenv("KELBRIN_FAKE_TIME");
    time_t seconds = fake ? (time_t)strtoll(fake, NULL, 10) : now.tv_sec;
    return result ? (*result = seconds) : seconds;
}

/* Logs the call; true when it is the one to fail, with its code in *code. */
static int fails(const char *function, const ClientOptions *o, const char *text, int32_t *code) {
    char name[64];
    if (o)
        append("KELBRIN_CALL_LOG",
               "%s %s port=%d sync=%d number=%d case=%d security=%d mapped=%d\n", function,
               text ? text : "-", o->port, o->syncMode, o->groupNumber, o->caseSensitive,
               o->securityLevel, o->noMapped);
    else
        append("KELBRIN_CALL_LOG", "%s %s\n", function, text ? text : "-");
    static int calls;
    int nth;
    const char *fault = getenv("KELBRIN_FAULT");
    return fault && sscanf(fault, "%63[^:]:%d:%d", name, &nth, code) == 3 &&
           strcmp(name, function) == 0 && ++calls == nth;
}

/* A store function whose failure the tables need, or whose call no output
 * shows: logged, then failed or forwarded. */
#define STORE_CALL(type, function, parameters, arguments, text, failure)                           \
    type function parameters {                                                                     \
        int32_t code;                                                                              \
        if (fails(#function, o, text, &code)) {                                                    \
            if (err)                                                                               \
                *err = code;                                                                       \
            return failure;                                                                        \
        }                                                                                          \
        return ((type(*) parameters)dlsym(RTLD_NEXT, #function))arguments;                         \
    }
#define OPTIONS ClientOptions *o, int32_t *err

STORE_CALL(int32_t, cli_sync, (OPTIONS), (o, err), NULL, code)
STORE_CALL(int32_t, cli_setCustomParam, (const char *name, const char *value, OPTIONS),
           (name, value, o, err), name, code)
STORE_CALL(char *, cli_getCustomParam, (const char *name, OPTIONS), (name, o, err), name, NULL)
STORE_CALL(char *, cli_getParamOption, (const char *name, const char *option, OPTIONS),
           (name, option, o, err), name, NULL)
STORE_CALL(DataNode *, cli_getComplexParam, (const char *name, OPTIONS), (name, o, err), name, NULL)
STORE_CALL(int32_t, cli_getParamInGroup, (GroupContext * c, OPTIONS), (c, o, err), NULL, code)
STORE_CALL(int32_t, cli_getChildGroupInGroup, (GroupContext * c, OPTIONS), (c, o, err), NULL, code)
STORE_CALL(char *, cli_createDynamicGroup, (const char *parent, const char *templateName, OPTIONS),
           (parent, templateName, o, err), parent, NULL)

int32_t drep_deleteHashValue(DataNode *hash, const char *key) {
    int32_t code;
    if (fails("drep_deleteHashValue", NULL, key, &code))
        return code;
    return ((int32_t(*)(DataNode *, const char *))dlsym(RTLD_NEXT, "drep_deleteHashValue"))(hash,
                                                                                            key);
}
