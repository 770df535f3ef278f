// SPDX-License-Identifier: MIT
// A checked build stops every broken caller contract of the tree that it can
// see: the stand-in prints the one record (code 1567, naming the operation),
// then the process aborts. Skipped in unchecked builds.
#include <gtest/gtest.h>

#include <string>

#include "kelu_util_avl.h"

namespace {

// Elements are bare AvlNodes, ordered by address. `tree` holds items 1 to 5,
// `other` item 6; items 0 and 7 are in no tree.
int32_t byAddress(void *key, void *element) {
    return (key > element) - (key < element);
}

struct Trees {
    AvlNode items[8]{};
    AvlTree tree{}, other{};
    AvlIndex position = 0;
    Trees() {
        createAvl(&tree, byAddress, 0, 0);
        createAvl(&other, byAddress, 0, 0);
        for (int i = 1; i <= 6; ++i) {
            addAvlNode(i < 6 ? &tree : &other, &items[i]);
        }
    }
};

struct Violation {
    const char *name, *function, *message;
    void (*make)(Trees &t);
    friend void PrintTo(const Violation &v, std::ostream *out) { *out << v.name; }
};

// clang-format off
#define KELU_ROW(name, function, message, ...) {#name, #function, message, [](Trees &t) { __VA_ARGS__; }}
const char *const kNotLinked = "Element is not linked", *const kSlot = "Position names no empty slot",
    *const kOdd = "Element's AvlNode is at an odd address", *const kDirection = "Direction is neither";
const Violation kViolations[] = {
    KELU_ROW(RemoveOfAnotherTree, removeAvlNode, kNotLinked, removeAvlNode(&t.tree, &t.items[6])),
    KELU_ROW(RemoveCopyOfLinked, removeAvlNode, kNotLinked, AvlNode copy = t.items[1]; removeAvlNode(&t.tree, &copy)),
    KELU_ROW(RemoveParentCycle, removeAvlNode, kNotLinked, AvlNode &n = t.items[7]; n = {{&n, nullptr}, &n, 0, 0};
             removeAvlNode(&t.tree, &t.items[7])),
    KELU_ROW(InsertStalePosition, insertAvlNode, kSlot, findAvlNode(&t.tree, &t.items[7], &t.position);
             insertAvlNode(&t.tree, &t.items[7], t.position); insertAvlNode(&t.tree, &t.items[0], t.position)),
    KELU_ROW(InsertPositionOfAnotherTree, insertAvlNode, kSlot, findAvlNode(&t.other, &t.items[7], &t.position);
             insertAvlNode(&t.tree, &t.items[7], t.position)),
    KELU_ROW(InsertRootSlotOfNonEmpty, insertAvlNode, kSlot, insertAvlNode(&t.tree, &t.items[7], 1)),
    KELU_ROW(InsertOddNode, insertAvlNode, kOdd, t.tree.nodeOffset = 1; insertAvlNode(&t.tree, &t.items[7], 0)),
    KELU_ROW(AddOddNode, addAvlNode, kOdd, t.tree.nodeOffset = 1; addAvlNode(&t.tree, &t.items[7])),
    KELU_ROW(SpecifiedOddNode, insertAvlNodeSpecified, kOdd, t.tree.nodeOffset = 1;
             insertAvlNodeSpecified(&t.tree, &t.items[7], &t.items[1], AVL_LEFT)),
    KELU_ROW(SpecifiedAnchorNotLinked, insertAvlNodeSpecified, "Anchor is not linked",
             insertAvlNodeSpecified(&t.tree, &t.items[7], &t.items[6], AVL_RIGHT)),
    KELU_ROW(NearestPositionOfAnotherTree, findAvlNearestNode, kSlot, findAvlNode(&t.other, &t.items[7], &t.position);
             findAvlNearestNode(&t.tree, t.position, AVL_LEFT)),
    KELU_ROW(NearestDirectionTwo, findAvlNearestNode, kDirection, findAvlNearestNode(&t.tree, 0, 2)),
    KELU_ROW(WalkNeverLinked, walkAvlNode, kNotLinked, walkAvlNode(&t.tree, &t.items[0], AVL_RIGHT)),
    KELU_ROW(WalkDirectionTwo, walkAvlNode, kDirection, walkAvlNode(&t.tree, &t.items[1], 2)),
};
// clang-format on

class AvlCheckedBuild : public ::testing::TestWithParam<Violation> {};

TEST_P(AvlCheckedBuild, StopsBrokenContractWithItsRecord) {
    if (!KELU_ASSERTIONS) {
        GTEST_SKIP() << "the library was built without KELU_ASSERTIONS";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Violation &v = GetParam();
    Trees trees;
    EXPECT_DEATH(v.make(trees), std::string("\\[kelu L3\\] avl\\.cpp:[0-9]+ ") + v.function +
                                    " \\(module 381, code 1567\\): " + v.message);
}

INSTANTIATE_TEST_SUITE_P(Table, AvlCheckedBuild, ::testing::ValuesIn(kViolations),
                         [](const auto &test) { return std::string(test.param.name); });

}  // namespace
