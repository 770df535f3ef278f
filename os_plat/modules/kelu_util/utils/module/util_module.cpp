// SPDX-License-Identifier: MIT
// Module lifecycle: an idempotent up/down flag, each test-and-set of it made
// atomic by the module lock.
#include "kelu_util_module.h"

#include "kelu_platform_calls.h"
#include "util_module.h"

extern "C" {

uint32_t g_utilInitFlag;
SpinLock g_utilLock;

uint32_t util_init(void) {
    KELU_LOCK(&g_utilLock, "util_init");
    if (g_utilInitFlag != 1) {
        g_utilInitFlag = 1;
    }
    KELU_UNLOCK(&g_utilLock, "util_init");
    return 0;
}

void util_finit(void) {
    KELU_LOCK(&g_utilLock, "util_finit");
    if (g_utilInitFlag != 0) {
        g_utilInitFlag = 0;
    }
    KELU_UNLOCK(&g_utilLock, "util_finit");
}

uint32_t UTIL_ModuleInit(void) {
    return util_init();
}

void UTIL_ModuleFInit(void) {
    util_finit();
}

}  // extern "C"
