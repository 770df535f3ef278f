/* A short tour of libkelu_util from C: bring the module up, set up an ordered
 * set of caller-owned records, and take the module down again. */
#include <inttypes.h>
#include <stddef.h>
#include <stdio.h>

#include "kelu_util_avl.h"
#include "kelu_util_module.h"

/* A caller's record: the tree links it through the embedded AvlNode. */
typedef struct Job {
    uint32_t id;
    const char *name;
    AvlNode byId;
} Job;

static int32_t compareJobIds(void *key, void *element) {
    uint32_t a = ((const Job *)key)->id;
    uint32_t b = ((const Job *)element)->id;
    return (a > b) - (a < b);
}

int main(void) {
    AvlTree jobs;

    printf("UTIL_ModuleInit -> %" PRIu32 "\n", UTIL_ModuleInit());

    createAvl(&jobs, compareJobIds, 0, (uint32_t)offsetof(Job, byId));
    printf("jobs in the tree: %" PRIu64 "\n", getAvlNodeNum(&jobs));
    printf("first job: %s\n", getAvlFirstNode(&jobs) == NULL ? "(none)" : "?");
    destroyAvl(&jobs);

    UTIL_ModuleFInit();
    puts("module down");
    return 0;
}
