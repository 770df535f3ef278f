/* SPDX-License-Identifier: MIT */
/* A short tour of libkelu_util from C: bring the module up, keep jobs in an
 * ordered set keyed by id and search it inline, queue some of them in a
 * counted list, checksum a text, and take the module down again. */
#include <inttypes.h>
#include <stddef.h>
#include <stdio.h>

#include "kelu_util_avl.h"
#include "kelu_util_avl_inline.h"
#include "kelu_util_crc.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"

/* A caller's record: the tree links it through the embedded AvlNode, a
 * queue through the embedded ListNode. */
typedef struct Job {
    uint32_t id;
    const char *name;
    AvlNode byId;
    ListNode inQueue;
} Job;

/* Keys are Jobs too (only the id is read), so addAvlNode can use the job
 * being added as its own key. */
static int32_t compareJobIds(void *key, void *element) {
    uint32_t a = ((const Job *)key)->id;
    uint32_t b = ((const Job *)element)->id;
    return (a > b) - (a < b);
}

/* Searches by id compiled into this program (kelu_util_avl_inline.h):
 * jobsFind(), jobsNearest(), jobsFirst(), jobsNext() and the rest take and
 * return Jobs, with this comparison inlined. */
static int32_t compareIdWithJob(uint32_t id, const Job *job) {
    return id < job->id ? -1 : id > job->id;
}
KELU_AVL_DEFINE_READS(jobs, Job, byId, uint32_t, compareIdWithJob);

/* The Job whose inQueue link is `link`: the lists hand back link addresses. */
static Job *jobOfQueueLink(ListNode *link) {
    return (Job *)(void *)((char *)link - offsetof(Job, inQueue));
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
    /* No need to prepare the AvlNode or the ListNode: linking writes them. */
    Job all[] = {{.id = 40, .name = "backup"},
                 {.id = 10, .name = "boot"},
                 {.id = 30, .name = "sync"},
                 {.id = 20, .name = "mount"},
                 {.id = 50, .name = "report"}};
    static const char text[] = "123456789";
    AvlTree jobs;
    AvlIndex position;
    CounterList queue;
    ListNode *link;
    Job *found;
    uint32_t running;
    size_t i;

    printf("UTIL_ModuleInit -> %" PRIu32 "\n", UTIL_ModuleInit());

    /* An ordered set. */
    createAvl(&jobs, compareJobIds, 0, (uint32_t)offsetof(Job, byId));
    for (i = 0; i < sizeof all / sizeof all[0]; ++i) {
        addAvlNode(&jobs, &all[i]);
    }
    printJobs(&jobs);

    /* Searched inline; findAvlNode(&jobs, &someJob, NULL) gives the same. */
    found = jobsFind(&jobs, 30, NULL);
    printf("job 30: %s\n", found != NULL ? found->name : "(none)");

    /* A miss reports where the key would go; the nearest jobs sit on each
     * side (findAvlNearestNode() takes the same position). */
    if (jobsFind(&jobs, 35, &position) == NULL) {
        Job *before = jobsNearest(position, AVL_LEFT);
        Job *after = jobsNearest(position, AVL_RIGHT);
        printf("no job 35; nearest before: %s, after: %s\n", before ? before->name : "(none)",
               after ? after->name : "(none)");
    }

    removeAvlNode(&jobs, &all[0]);
    printJobs(&jobs);

    /* A first-in, first-out queue of the same records, beside the tree. */
    counterListInit(&queue);
    counterListAddTail(&all[1].inQueue, &queue);
    counterListAddTail(&all[3].inQueue, &queue);
    printf("jobs queued: %" PRIu32 "\n", queue.count);
    while ((link = counterListCutFirstNode(&queue)) != NULL) {
        printf("next job: %s\n", jobOfQueueLink(link)->name);
    }
    destroyAvl(&jobs);

    /* A checksum whole, and the same one fed in two pieces. */
    running = CRC_Crc32Start(text, 4);
    running = CRC_Crc32Continue(running, text + 4, 5);
    printf("CRC-32 of \"%s\": %08" PRIx32 " whole, %08" PRIx32 " in pieces\n", text,
           CRC_Crc32(text, 9), CRC_Crc32End(running));
    printf("CRC-32C of it: %08x\n", ~crc32_iscsi_00((unsigned char *)text, 9, 0xFFFFFFFFu));

    UTIL_ModuleFInit();
    puts("module down");
    return 0;
}
