/* A short tour of libkelu_util from C: bring the module up, keep jobs in an
 * ordered set keyed by id, and take the module down again. */
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

/* Keys are Jobs too (only the id is read), so addAvlNode can use the job
 * being added as its own key. */
static int32_t compareJobIds(void *key, void *element) {
    uint32_t a = ((const Job *)key)->id;
    uint32_t b = ((const Job *)element)->id;
    return (a > b) - (a < b);
}

static void printJobs(AvlTree *jobs) {
    Job *job;
    printf("%" PRIu64 " jobs:", getAvlNodeNum(jobs));
    for (job = getAvlFirstNode(jobs); job != NULL; job = walkAvlNode(jobs, job, AVL_RIGHT)) {
        printf(" %" PRIu32 "=%s", job->id, job->name);
    }
    printf("\n");
}

int main(void) {
    /* No need to prepare the AvlNode: linking writes all of it. */
    Job all[] = {{.id = 40, .name = "backup"},
                 {.id = 10, .name = "boot"},
                 {.id = 30, .name = "sync"},
                 {.id = 20, .name = "mount"},
                 {.id = 50, .name = "report"}};
    Job probe = {.id = 0};
    AvlTree jobs;
    AvlIndex position;
    Job *found;
    size_t i;

    printf("UTIL_ModuleInit -> %" PRIu32 "\n", UTIL_ModuleInit());
    createAvl(&jobs, compareJobIds, 0, (uint32_t)offsetof(Job, byId));

    for (i = 0; i < sizeof all / sizeof all[0]; ++i) {
        addAvlNode(&jobs, &all[i]);
    }
    printJobs(&jobs);

    probe.id = 30;
    found = findAvlNode(&jobs, &probe, NULL);
    printf("job 30: %s\n", found != NULL ? found->name : "(none)");

    /* A miss reports where the key would go; the nearest jobs sit on each side. */
    probe.id = 35;
    if (findAvlNode(&jobs, &probe, &position) == NULL) {
        Job *before = findAvlNearestNode(&jobs, position, AVL_LEFT);
        Job *after = findAvlNearestNode(&jobs, position, AVL_RIGHT);
        printf("no job 35; nearest before: %s, after: %s\n", before ? before->name : "(none)",
               after ? after->name : "(none)");
    }

    removeAvlNode(&jobs, &all[0]);
    printJobs(&jobs);

    destroyAvl(&jobs);
    UTIL_ModuleFInit();
    puts("module down");
    return 0;
}
