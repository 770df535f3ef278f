/* SPDX-License-Identifier: MIT */
/* A program that defines, as its own and of other types, names the library
 * uses internally. It links against the shared or the static library alike,
 * and the library's state stays apart from the program's. */
#include <stdio.h>

#include "kelu_util_module.h"

const char *g_utilLock = "the program's";
double g_utilInitFlag = 0.5;

int main(void) {
    const int ok = UTIL_ModuleInit() == 0 && g_utilInitFlag == 0.5 && g_utilLock[0] == 't';
    UTIL_ModuleFInit();
    puts(ok ? "own names: ok" : "own names: the library wrote the program's variables");
    return ok ? 0 : 1;
}
