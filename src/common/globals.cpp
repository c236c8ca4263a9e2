#include "common/globals.h"

ClientOptions clientOptions;
int logToSyslog = 1;
int cgiMode = 0;
int showAccess = 0;
int restoreMode = 0;
int exitStatus = 0;
