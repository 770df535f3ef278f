/* A C99 caller of libkelu_util that declares nothing itself: it includes only
 * the public headers and calls one operation of each family. Exits non-zero
 * on the first mismatch. */
#include <stddef.h>
#include <stdio.h>

#include "kelu_util_avl.h"
#include "kelu_util_crc.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"
#include "vemo_spinlock.h"

static int32_t compareInts(void *key, void *element) {
    int a = *(const int *)key;
    int b = *(const int *)element;
    return (a > b) - (a < b);
}

#define EXPECT(condition)                                                           \
    do {                                                                            \
        if (!(condition)) {                                                         \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
            return 1;                                                               \
        }                                                                           \
    } while (0)

int main(void) {
    AvlTree tree;
    SpinLockList list;
    ListNode node;
    EXPECT(UTIL_ModuleInit() == 0);
    EXPECT(createAvl(&tree, compareInts, 7, 0) == 0);
    EXPECT(getAvlNodeNum(&tree) == 0);
    EXPECT(getAvlFirstNode(&tree) == NULL);
    initAvlSvcIntf();
    EXPECT(GetAvlMgrAddr() == &g_avlSvcOp && g_avlSvcOp.getAvlNodeNum == getAvlNodeNum);
    EXPECT(destroyAvl(&tree) == 0);
    spinLockListInit(&list);
    spinLockListAddTail(&node, &list);
    EXPECT(list.count == 1 && list.next == &node && node.prev == (ListNode *)&list);
    EXPECT(spinLockListCutFirstNode(&list) == &node);
    EXPECT(node.next == LIST_POISON_NEXT && (uintptr_t)node.prev == 0x00200200u);
    spinLockListDestroy(&list);
    UTIL_ModuleFInit();
    EXPECT(CRC_Crc32("123456789", 9) == 0xFC891918u);
    EXPECT(~crc32_iscsi_00((unsigned char *)"123456789", 9, 0xFFFFFFFFu) == 0xE3069283u);
    EXPECT(crc32_iscsi_00_slver.serial == 0x0014 && crc32_iscsi_00_slver.version == 4);
    puts("c consumer: ok");
    return 0;
}
