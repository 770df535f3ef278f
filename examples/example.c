/* A short tour of libkelu_util from C: bring the module up, set up an ordered
 * set of caller-owned records, queue records in a counted list, and take the
 * module down again. */
#include <inttypes.h>
#include <stddef.h>
#include <stdio.h>

#include "kelu_util_avl.h"
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

/* The Job whose inQueue link is `link`: the lists hand back link addresses. */
static Job *jobOfQueueLink(ListNode *link) {
    return (Job *)(void *)((char *)link - offsetof(Job, inQueue));
}

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

    /* A checksum whole, and the same one fed in two pieces. */
    static const char text[] = "123456789";
    uint32_t running = CRC_Crc32Start(text, 4);
    running = CRC_Crc32Continue(running, text + 4, 5);
    printf("CRC-32 of \"%s\": %08" PRIx32 " whole, %08" PRIx32 " in pieces\n", text,
           CRC_Crc32(text, 9), CRC_Crc32End(running));
    printf("CRC-32C of it: %08x\n", ~crc32_iscsi_00((unsigned char *)text, 9, 0xFFFFFFFFu));

    Job build = {.id = 1, .name = "build"}, test = {.id = 2, .name = "test"};
    CounterList queue;
    counterListInit(&queue);
    counterListAddTail(&build.inQueue, &queue);
    counterListAddTail(&test.inQueue, &queue);
    printf("jobs queued: %" PRIu32 "\n", queue.count);
    for (ListNode *link; (link = counterListCutFirstNode(&queue)) != NULL;) {
        printf("next job: %s\n", jobOfQueueLink(link)->name);
    }

    UTIL_ModuleFInit();
    puts("module down");
    return 0;
}
