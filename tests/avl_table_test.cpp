// The AVL operation table of the shipped shared object: empty at load,
// filled by initAvlSvcIntf alone with the addresses the dynamic linker
// resolves for the eleven names, in slot order, and left alone by module
// init and de-init.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "kelu_util_avl.h"
#include "kelu_util_module.h"

namespace {

constexpr const char *kSlotNames[] = {
    "createAvl",          "destroyAvl",     "insertAvlNode", "findAvlNode",
    "findAvlNearestNode", "addAvlNode",     "removeAvlNode", "insertAvlNodeSpecified",
    "getAvlFirstNode",    "getAvlLastNode", "getAvlNodeNum",
};
static_assert(sizeof(AvlSvcOp) == std::size(kSlotNames) * sizeof(void *));

void *slot(const AvlSvcOp *table, size_t index) {
    void *value;
    std::memcpy(&value, reinterpret_cast<const char *>(table) + index * sizeof(void *),
                sizeof value);
    return value;
}

// Every slot is null in a process that has just loaded the library, even
// after module init: checked in a freshly executed copy of this program, so
// that no test that filled the table earlier can hide it.
TEST(AvlOperationTable, EverySlotNullUntilInitAvlSvcIntf) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            UTIL_ModuleInit();
            UTIL_ModuleFInit();
            for (size_t i = 0; i < std::size(kSlotNames); ++i) {
                if (slot(GetAvlMgrAddr(), i) != nullptr) {
                    std::fprintf(stderr, "slot %zu (%s) is set", i, kSlotNames[i]);
                    std::_Exit(1);
                }
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// One test, because the states follow one another in a process: the table
// can be filled but never emptied again.
TEST(AvlOperationTable, FilledOnlyByInitWithResolvedAddresses) {
    AvlSvcOp *table = GetAvlMgrAddr();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table, &g_avlSvcOp);
    EXPECT_EQ(static_cast<void *>(table), dlsym(RTLD_DEFAULT, "g_avlSvcOp"));

    EXPECT_EQ(UTIL_ModuleInit(), 0u);
    initAvlSvcIntf();
    const AvlSvcOp first = *table;
    for (size_t i = 0; i < std::size(kSlotNames); ++i) {
        void *resolved = dlsym(RTLD_DEFAULT, kSlotNames[i]);
        ASSERT_NE(resolved, nullptr) << kSlotNames[i];
        EXPECT_EQ(slot(table, i), resolved) << "slot " << i << " " << kSlotNames[i];
    }
    // The same addresses this program gets by naming the functions.
    EXPECT_EQ(table->createAvl, &createAvl);
    EXPECT_EQ(table->findAvlNode, &findAvlNode);
    EXPECT_EQ(table->getAvlNodeNum, &getAvlNodeNum);

    initAvlSvcIntf();
    UTIL_ModuleFInit();
    EXPECT_EQ(std::memcmp(&first, table, sizeof first), 0);
    EXPECT_EQ(GetAvlMgrAddr(), table);
}

struct Item {
    int64_t key;
    AvlNode node;
};

int32_t compareItems(void *key, void *element) {
    const int64_t a = static_cast<Item *>(key)->key, b = static_cast<Item *>(element)->key;
    return (a > b) - (a < b);
}

// Calling through the slots is calling the operations.
TEST(AvlOperationTable, SlotsDriveATree) {
    initAvlSvcIntf();
    const AvlSvcOp &op = *GetAvlMgrAddr();
    AvlTree tree;
    Item items[4] = {{20, {}}, {10, {}}, {30, {}}, {25, {}}};
    ASSERT_EQ(op.createAvl(&tree, compareItems, 0, offsetof(Item, node)), 0u);
    op.addAvlNode(&tree, &items[0]);
    AvlIndex position = 0;
    ASSERT_EQ(op.findAvlNode(&tree, &items[1], &position), nullptr);
    ASSERT_EQ(op.insertAvlNode(&tree, &items[1], position), 0u);
    ASSERT_EQ(op.insertAvlNodeSpecified(&tree, &items[2], &items[0], AVL_RIGHT), 0u);
    EXPECT_EQ(op.findAvlNode(&tree, &items[3], &position), findAvlNode(&tree, &items[3], nullptr));
    EXPECT_EQ(op.findAvlNearestNode(&tree, position, AVL_LEFT), &items[0]);
    EXPECT_EQ(op.getAvlFirstNode(&tree), &items[1]);
    EXPECT_EQ(op.getAvlLastNode(&tree), &items[2]);
    op.removeAvlNode(&tree, &items[1]);
    EXPECT_EQ(op.getAvlNodeNum(&tree), 2u);
    EXPECT_EQ(op.destroyAvl(&tree), 0u);
    EXPECT_EQ(getAvlNodeNum(&tree), 0u);
}

}  // namespace
