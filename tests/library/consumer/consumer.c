/* SPDX-License-Identifier: MIT */
/* Every public C header, in a consumer's build (CMakeLists.txt beside it). */
#include "kelu_util_avl.h"
#include "kelu_util_avl_inline.h"
#include "kelu_util_crc.h"
#include "kelu_util_export.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"
#include "kelu_util_version.h"
#include "qxlog.h"
#include "vemo_spinlock.h"

#if KELU_UTIL_VERSION < 10000
#error "the version must be usable in #if"
#endif

/* The inline reads, defined and called as a C caller would. */
typedef struct Job {
    uint32_t id;
    AvlNode byId;
} Job;
static int32_t compareIdWithJob(uint32_t id, const Job *job) {
    return id < job->id ? -1 : id > job->id;
}
KELU_AVL_DEFINE_READS(jobs, Job, byId, uint32_t, compareIdWithJob);

size_t useInlineReads(const AvlTree *tree, Job *job) {
    AvlIndex position = 0;
    const Job *found[] = {jobsFind(tree, 2, &position),
                          jobsFind(tree, 3, NULL),
                          jobsNearest(position, AVL_LEFT),
                          jobsFirst(tree),
                          jobsLast(tree),
                          jobsNext(job),
                          jobsPrev(job),
                          jobsOf(tree->root)};
    size_t n = 0, i;
    for (i = 0; i < sizeof found / sizeof found[0]; ++i) {
        n += found[i] != NULL;
    }
    return n;
}
