// SPDX-License-Identifier: MIT
// Module lifecycle: an idempotent up/down flag, each test-and-set of it made
// atomic by the module lock.
#include "kelu_util_module.h"

#include "kelu_platform_calls.h"
#include "util_module.h"

extern "C" {
uint32_t g_utilInitFlag;
SpinLock g_utilLock;
}

namespace {

// The bodies of util_init and util_finit, which the host's entry and exit
// points share rather than call: a program may define its own util_init (a
// common name), and the library's calls must reach the library's code. The
// lock calls name util_init / util_finit whichever entry point ran them.
uint32_t markUp() {
    KELU_LOCK(&g_utilLock, "util_init");
    if (g_utilInitFlag != 1) {
        g_utilInitFlag = 1;
    }
    KELU_UNLOCK(&g_utilLock, "util_init");
    return 0;
}

void markDown() {
    KELU_LOCK(&g_utilLock, "util_finit");
    if (g_utilInitFlag != 0) {
        g_utilInitFlag = 0;
    }
    KELU_UNLOCK(&g_utilLock, "util_finit");
}

}  // namespace

extern "C" {

uint32_t util_init(void) {
    return markUp();
}

void util_finit(void) {
    markDown();
}

uint32_t UTIL_ModuleInit(void) {
    return markUp();
}

void UTIL_ModuleFInit(void) {
    markDown();
}

}  // extern "C"
