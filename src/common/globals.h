// Process-wide state, set during start-up and read by every command.
#pragma once

#include <kelbrin.h>

extern ClientOptions clientOptions;
extern int logToSyslog; // 0 after --nolog
extern int cgiMode;     // 1 when REQUEST_METHOD is set and --nocgi is not
extern int showAccess;  // 1 after --showaccess
extern int restoreMode; // 1 after --restore
extern int exitStatus;  // 0, or 2 once a command failed and the run went on
