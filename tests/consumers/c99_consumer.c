/* A C99 caller of libkelu_util that declares nothing itself: it includes only
 * the public headers, checks the record layouts the C compiler sees, and calls
 * one operation of each family. Exits non-zero on the first mismatch. */
#include <stddef.h>
#include <stdio.h>

#include "kelu_util_avl.h"
#include "kelu_util_crc.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"
#include "vemo_spinlock.h"

#define LAYOUT_CHECK(name, condition) typedef char layout_check_##name[(condition) ? 1 : -1]

LAYOUT_CHECK(spinlock_size, sizeof(SpinLock) == 24);
LAYOUT_CHECK(spinlock_lockword, offsetof(SpinLock, lockWord) == 0);
LAYOUT_CHECK(spinlock_magic, offsetof(SpinLock, magic) == 8);
LAYOUT_CHECK(spinlock_ownercpu, offsetof(SpinLock, ownerCpu) == 12);
LAYOUT_CHECK(spinlock_owner, offsetof(SpinLock, owner) == 16);
LAYOUT_CHECK(avlnode_size, sizeof(AvlNode) == 32);
LAYOUT_CHECK(avlnode_child, offsetof(AvlNode, child) == 0);
LAYOUT_CHECK(avlnode_parent, offsetof(AvlNode, parent) == 16);
LAYOUT_CHECK(avlnode_childindex, offsetof(AvlNode, childIndex) == 24);
LAYOUT_CHECK(avlnode_balance, offsetof(AvlNode, balance) == 28);
LAYOUT_CHECK(avltree_size, sizeof(AvlTree) == 32);
LAYOUT_CHECK(avltree_root, offsetof(AvlTree, root) == 0);
LAYOUT_CHECK(avltree_compare, offsetof(AvlTree, compare) == 8);
LAYOUT_CHECK(avltree_nodeoffset, offsetof(AvlTree, nodeOffset) == 16);
LAYOUT_CHECK(avltree_uservalue, offsetof(AvlTree, userValue) == 20);
LAYOUT_CHECK(avltree_nodenum, offsetof(AvlTree, nodeNum) == 24);
LAYOUT_CHECK(avlindex_size, sizeof(AvlIndex) == 8);
LAYOUT_CHECK(crcmarker_size, sizeof(CrcVersionMarker) == 4);
LAYOUT_CHECK(crcmarker_version, offsetof(CrcVersionMarker, version) == 2);
LAYOUT_CHECK(crcmarker_core, offsetof(CrcVersionMarker, core) == 3);
LAYOUT_CHECK(listnode_size, sizeof(ListNode) == 16);
LAYOUT_CHECK(listnode_next, offsetof(ListNode, next) == 0);
LAYOUT_CHECK(listnode_prev, offsetof(ListNode, prev) == 8);
LAYOUT_CHECK(counterlist_size, sizeof(CounterList) == 24);
LAYOUT_CHECK(counterlist_next, offsetof(CounterList, next) == 0);
LAYOUT_CHECK(counterlist_prev, offsetof(CounterList, prev) == 8);
LAYOUT_CHECK(counterlist_count, offsetof(CounterList, count) == 16);
LAYOUT_CHECK(spinlocklist_size, sizeof(SpinLockList) == 48);
LAYOUT_CHECK(spinlocklist_next, offsetof(SpinLockList, next) == 0);
LAYOUT_CHECK(spinlocklist_prev, offsetof(SpinLockList, prev) == 8);
LAYOUT_CHECK(spinlocklist_count, offsetof(SpinLockList, count) == 16);
LAYOUT_CHECK(spinlocklist_lock, offsetof(SpinLockList, lock) == 24);
LAYOUT_CHECK(list_empty_is_one_byte, sizeof(bool) == 1);
LAYOUT_CHECK(avlsvcop_size, sizeof(AvlSvcOp) == 11 * sizeof(void *));
LAYOUT_CHECK(avlsvcop_first, offsetof(AvlSvcOp, createAvl) == 0);
LAYOUT_CHECK(avlsvcop_last, offsetof(AvlSvcOp, getAvlNodeNum) == 10 * sizeof(void *));

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
