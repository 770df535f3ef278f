// SPDX-License-Identifier: MIT
// A program that defines, for its own purposes, exported names on which the
// library's other operations could be built (util_init is a common name).
// Each of its definitions stops the program if reached: the library's calls
// must reach the library's own code whatever a program defines. The platform
// functions, which the process resolves, are the recording platform's.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "kelu_util_avl.h"
#include "kelu_util_crc.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"
#include "avl/avl_tree.h"
#include "support/recording_platform.h"

[[noreturn]] static void reached(const char *name) {
    std::fprintf(stderr, "the library called this program's %s\n", name);
    std::abort();
}
#define KELU_PROGRAMS_OWN(result, name, ...) \
    extern "C" result name(__VA_ARGS__) {    \
        reached(#name);                      \
    }
KELU_PROGRAMS_OWN(uint32_t, util_init, void)
KELU_PROGRAMS_OWN(void, util_finit, void)
KELU_PROGRAMS_OWN(void *, findAvlNode, AvlTree *, void *, AvlIndex *)
KELU_PROGRAMS_OWN(uint32_t, insertAvlNode, AvlTree *, void *, AvlIndex)
KELU_PROGRAMS_OWN(void *, walkAvlNode, AvlTree *, void *, uint32_t)
KELU_PROGRAMS_OWN(uint32_t, CRC_Crc32Start, const void *, uint32_t)
KELU_PROGRAMS_OWN(uint32_t, CRC_Crc32Continue, uint32_t, const void *, uint32_t)
KELU_PROGRAMS_OWN(uint32_t, CRC_Crc32End, uint32_t)
KELU_PROGRAMS_OWN(void, counterListInit, CounterList *)
KELU_PROGRAMS_OWN(void, counterListAdd, ListNode *, CounterList *)
KELU_PROGRAMS_OWN(void, counterListAddTail, ListNode *, CounterList *)
KELU_PROGRAMS_OWN(void, counterListDel, ListNode *, CounterList *)
KELU_PROGRAMS_OWN(void, spinLockListAddNoLock, ListNode *, SpinLockList *)
KELU_PROGRAMS_OWN(void, spinLockListAddTailNoLock, ListNode *, SpinLockList *)
KELU_PROGRAMS_OWN(void, spinLockListDelNoLock, ListNode *, SpinLockList *)
KELU_PROGRAMS_OWN(ListNode *, spinLockListCutFirstNodeNoLock, SpinLockList *)
KELU_PROGRAMS_OWN(ListNode *, spinLockListCutLastNodeNoLock, SpinLockList *)

namespace {

using kelu::test::lockCalls;

TEST(OwnCallsBindInside, ModuleListsAndChecksum) {
    kelu::test::clearRecords();
    EXPECT_EQ(UTIL_ModuleInit(), 0u);
    UTIL_ModuleFInit();
    ASSERT_EQ(lockCalls().size(), 4u);
    EXPECT_EQ(lockCalls()[1].function + " " + lockCalls()[3].function, "util_init util_finit");
    EXPECT_EQ(CRC_Crc32("123456789", 9), 0xFC891918u);
    ListNode a, b, c;
    SpinLockList list;
    spinLockListInit(&list);
    spinLockListAdd(&a, &list);
    spinLockListAddTail(&b, &list);
    spinLockListAdd(&c, &list);
    spinLockListDel(&a, &list);
    EXPECT_EQ(spinLockListCutLastNode(&list), &b);
    EXPECT_EQ(spinLockListCutFirstNode(&list), &c);
    EXPECT_EQ(spinLockListCutFirstNode(&list), nullptr);
    spinLockListDestroy(&list);
    EXPECT_TRUE(list.count == 0 && list.next == list.prev);
    EXPECT_EQ(lockCalls().size(), 4u + 2 * 7);  // a lock and an unlock per locked operation
}

TEST(OwnCallsBindInside, Tree) {
    kelu::test::Pool pool;
    AvlTree tree;
    ASSERT_EQ(createAvl(&tree, kelu::test::compareKeys, 0, kelu::test::kNodeOffset), 0u);
    for (int64_t key : {1, 2, 3, 4, 5, 6, 7, 3}) {
        addAvlNode(&tree, &pool[key]);
    }
    EXPECT_EQ(insertAvlNodeSpecified(&tree, &pool[8], &pool[7], AVL_RIGHT), 0u);
    removeAvlNode(&tree, &pool[4]);
    EXPECT_EQ(kelu::test::checkTree(tree) + kelu::test::shapeOf(tree), "5(2(1,3),7(6,8))");
    EXPECT_TRUE(getAvlFirstNode(&tree) == &pool[1] && getAvlLastNode(&tree) == &pool[8]);
    // The library's own search, which this program's hides from the program.
    auto *find = reinterpret_cast<decltype(&findAvlNode)>(dlsym(RTLD_NEXT, "findAvlNode"));
    AvlIndex position = 0;
    int64_t missing = 4;
    ASSERT_EQ(find(&tree, &missing, &position), nullptr);
    EXPECT_EQ(findAvlNearestNode(&tree, position, AVL_LEFT), &pool[3]);
    EXPECT_EQ(findAvlNearestNode(&tree, position, AVL_RIGHT), &pool[5]);
    // The operation table holds what the process resolves.
    initAvlSvcIntf();
    EXPECT_TRUE(g_avlSvcOp.findAvlNode == &findAvlNode && g_avlSvcOp.addAvlNode == &addAvlNode);
}

}  // namespace
