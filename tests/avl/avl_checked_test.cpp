// SPDX-License-Identifier: MIT
// A checked build stops every broken caller contract of the tree that it can
// see: the stand-in prints the one record (code 1567, naming the operation),
// then the process aborts. Skipped in unchecked builds.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "kelu_util_avl.h"

namespace {

struct Item {
    int key;
    AvlNode node;
};

int32_t byKey(void *key, void *element) {
    const int a = static_cast<Item *>(key)->key, b = static_cast<Item *>(element)->key;
    return (a > b) - (a < b);
}

// `tree` holds the items keyed 1 to 5, `other` the one keyed 6; items 0 and 7
// were never linked. `blank` was never set up.
struct Trees {
    Item items[8] = {{0, {}}, {1, {}}, {2, {}}, {3, {}}, {4, {}}, {5, {}}, {6, {}}, {7, {}}};
    AvlTree tree{}, other{}, blank{};
    AvlIndex position = 0;
    Trees() {
        createAvl(&tree, byKey, 0, offsetof(Item, node));
        createAvl(&other, byKey, 0, offsetof(Item, node));
        for (int i = 1; i <= 5; ++i) {
            addAvlNode(&tree, &items[i]);
        }
        addAvlNode(&other, &items[6]);
    }
};

struct Violation {
    const char *name, *function, *message;
    void (*make)(Trees &t);
    friend void PrintTo(const Violation &v, std::ostream *out) { *out << v.name; }
};

// clang-format off
const Violation kViolations[] = {
    {"RemoveNeverLinked", "removeAvlNode", "Element is not linked", [](Trees &t) { removeAvlNode(&t.tree, &t.items[7]); }},
    {"RemoveOfAnotherTree", "removeAvlNode", "Element is not linked", [](Trees &t) { removeAvlNode(&t.tree, &t.items[6]); }},
    {"RemoveCopyOfLinked", "removeAvlNode", "Element is not linked", [](Trees &t) { Item copy = t.items[1]; removeAvlNode(&t.tree, &copy); }},
    {"RemoveParentCycle", "removeAvlNode", "Element is not linked", [](Trees &t) {
        AvlNode &n = t.items[7].node;
        n = {{&n, nullptr}, &n, AVL_LEFT, 0};
        removeAvlNode(&t.tree, &t.items[7]); }},
    {"InsertStalePosition", "insertAvlNode", "Position names no empty slot", [](Trees &t) {
        findAvlNode(&t.tree, &t.items[7], &t.position);
        insertAvlNode(&t.tree, &t.items[7], t.position);
        insertAvlNode(&t.tree, &t.items[0], t.position); }},
    {"InsertPositionOfAnotherTree", "insertAvlNode", "Position names no empty slot", [](Trees &t) {
        findAvlNode(&t.other, &t.items[7], &t.position);
        insertAvlNode(&t.tree, &t.items[7], t.position); }},
    {"InsertRootSlotOfNonEmpty", "insertAvlNode", "Position names no empty slot", [](Trees &t) { insertAvlNode(&t.tree, &t.items[7], 1); }},
    {"InsertOddNode", "insertAvlNode", "Element.s AvlNode is at an odd address", [](Trees &t) { t.tree.nodeOffset = 1; insertAvlNode(&t.tree, &t.items[7], 0); }},
    {"AddOddNode", "addAvlNode", "Element.s AvlNode is at an odd address", [](Trees &t) { t.tree.nodeOffset = 1; addAvlNode(&t.tree, &t.items[7]); }},
    {"SpecifiedOddNode", "insertAvlNodeSpecified", "Element.s AvlNode is at an odd address", [](Trees &t) { t.tree.nodeOffset = 1; insertAvlNodeSpecified(&t.tree, &t.items[7], &t.items[1], AVL_LEFT); }},
    {"SpecifiedAnchorNotLinked", "insertAvlNodeSpecified", "Anchor is not linked", [](Trees &t) { insertAvlNodeSpecified(&t.tree, &t.items[7], &t.items[6], AVL_RIGHT); }},
    {"NearestPositionOfAnotherTree", "findAvlNearestNode", "Position names no empty slot", [](Trees &t) {
        findAvlNode(&t.other, &t.items[7], &t.position);
        findAvlNearestNode(&t.tree, t.position, AVL_LEFT); }},
    {"NearestDirectionTwo", "findAvlNearestNode", "Direction is neither", [](Trees &t) { findAvlNearestNode(&t.tree, 0, 2); }},
    {"WalkNeverLinked", "walkAvlNode", "Element is not linked", [](Trees &t) { walkAvlNode(&t.tree, &t.items[7], AVL_RIGHT); }},
    {"WalkDirectionTwo", "walkAvlNode", "Direction is neither", [](Trees &t) { walkAvlNode(&t.tree, &t.items[1], 2); }},
    {"FindInTreeNeverSetUp", "findAvlNode", "Tree has no comparison", [](Trees &t) { findAvlNode(&t.blank, &t.items[7], nullptr); }},
    {"AddToTreeNeverSetUp", "addAvlNode", "Tree has no comparison", [](Trees &t) { addAvlNode(&t.blank, &t.items[7]); }},
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
