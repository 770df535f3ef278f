// SPDX-License-Identifier: MIT
// The AVL tree: named cases (programs of avl_interpreter.h) leave an exact
// tree and exact log records. Trees are in shape notation (avl_tree.h):
// "3(2-(1,.),5(4,8))" is 3 with children 2 (balance -1, left child 1) and 5
// (children 4 and 8). Then every rejected argument, a comparison that breaks
// its contract, exhaustive sweeps over small trees, and the fuzz corpus.
#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "avl/avl_interpreter.h"
#include "avl_internal.h"
#include "support/family_tests.h"
#include "support/recording_platform.h"

namespace {

using kelu::test::AvlInterpreter;
using kelu::test::Element;
using kelu::test::kNodeOffset;
using kelu::test::NamedCase;
using kelu::test::Pool;

#define BALANCED "log 7 insertAvlNode 828 Set AVL balance done.\n"
#define ROOT_REMOVED "log 7 removeAvlNode 831 Remove node not need set balance.\n"

// clang-format off
const NamedCase kCases[] = {
    // Insertion: at most one rotation, and a record when the pass stops at a
    // node that became balanced.
    {"AddAscendingRotatesOnce", "", "add 1, add 2, add 3", "2(1,3)", ""},
    {"AddDescendingRotatesOnceMirrored", "", "add 3, add 2, add 1", "2(1,3)", ""},
    {"AddRightLeftRotatesTwice", "", "add 1, add 3, add 2", "2(1,3)", ""},
    {"AddLeftRightRotatesTwice", "", "add 3, add 1, add 2", "2(1,3)", ""},
    {"PassStoppingAtABalancedNodeIsLogged", "", "add 5, add 3, add 8, add 2, add 4, add 1",
     "3(2-(1,.),5(4,8))", BALANCED BALANCED},
    {"AddAscendingSevenGivesThePerfectTree", "", "add 1, add 2, add 3, add 4, add 5, add 6, add 7",
     "4(2(1,3),6(5,7))", ""},
    {"InsertIntoTheEmptyTree", "", "insert 5", "5", ""},
    {"AddAPresentKeyChangesNothing", "2(1,3)", "add 2", "2(1,3)", ""},
    {"RemovedElementIsAddedAfresh", "2(1,3)", "remove 1, add 1", "2(1,3)", BALANCED},
    // Placement beside an element, without comparing.
    {"AfterDescendsIntoTheRightSubtree", "20(10,30)", "after 20 25", "20+(10,30-(25,.))", ""},
    {"BeforeDescendsIntoTheLeftSubtree", "20(10,30)", "before 20 15", "20-(10+(.,15),30)", ""},
    {"AfterALeafFillsItsOwnSlot", "20(10,30)", "after 10 12", "20-(10+(.,12),30)", ""},
    {"AppendingAfterTheLastGivesThePerfectTree", "0",
     "after 0 1, after 1 2, after 2 3, after 3 4, after 4 5, after 5 6", "3(1(0,2),5(4,6))", ""},
    // Removal: a node with two children is replaced by its neighbour from the
    // taller side (the left one when balanced); several rotations may follow.
    {"RemoveTheOnlyElement", "1", "remove 1", "", ROOT_REMOVED},
    {"RemoveTheRootWithOneChild", "5+(.,7)", "remove 5", "7", ROOT_REMOVED},
    {"RemoveABalancedRootTakesThePredecessor", "2(1,3)", "remove 2", "1+(.,3)", ""},
    {"RemoveALeftHeavyRootTakesThePredecessor", "4-(2(1,3),5)", "remove 4", "3-(2-(1,.),5)", ""},
    {"RemoveARightHeavyRootTakesTheSuccessor", "2+(1,4(3,5))", "remove 2", "3+(1,4+(.,5))", ""},
    {"RemoveTheRootTakesItsOwnChild", "2+(1,3+(.,4))", "remove 2", "3(1,4)", ""},
    {"RemoveTheRootTakesADeepNeighbour", "4(2(1,3),6(5,7))", "remove 4", "3(2-(1,.),6(5,7))", ""},
    {"RemoveALeafRotatesOnce", "2+(1,3+(.,4))", "remove 1", "3(2,4)", ""},
    {"RemoveALeafRotatesTwice", "2+(1,4-(3,.))", "remove 1", "3(2,4)", ""},
    {"RotationKeepingTheHeightEndsThePass", "2+(1,4(3,5))", "remove 1", "4-(2+(.,3),5)", ""},
    {"TwoRotationsInOneRemoval", "14+(5+(4,10-(6,.)),27-(19+(18,24-(23,.)),28+(.,29)))",
     "remove 4", "19(14-(6(5,10),18),27(24-(23,.),28+(.,29)))", ""},
    // Search and reset.
    {"FindInTheEmptyTree", "", "find 5", "", ""},
    {"FindBeforeBetweenAndAfter", "20(10,30)", "find 5, find 15, find 20, find 35", "20(10,30)", ""},
    {"DestroyForgetsEveryElement", "2(1,3)", "destroy, add 5", "5", ""},
};
// clang-format on

KELU_NAMED_CASES(AvlCases, LeaveTheirTreeAndRecords, AvlInterpreter, kelu::test::kAvlOperations,
                 kCases);

// The library's own passes rotate through the unchecked step; its checked
// entry point does the same work.
TEST(AvlRotation, CheckedStepRotates) {
    Pool pool;
    AvlTree tree{};
    tree.nodeOffset = kNodeOffset;
    kelu::test::buildFromShape("20+(.,40-(30,.))", tree, pool);
    EXPECT_EQ(kelu::avl::rotationAvlNode(&tree, &pool[20].node, 2), 1u);
    EXPECT_EQ(kelu::test::shapeOf(tree), "30(20,40)");
}

int g_comparisons = 0;

int32_t countingCompare(void *key, void *element) {
    ++g_comparisons;
    return kelu::test::compareKeys(key, element);
}

// A rejected call, on the tree "2(1,3)": `linked` is element 1, `fresh`
// element 5, `position` a variable holding 3.
struct Scene {
    AvlTree *tree;
    Element *linked, *fresh;
    AvlIndex *position;
};

struct RejectedCase {
    const char *name;
    const char *record;
    uint64_t result;  // a pointer result is 1 when non-null
    uint64_t (*call)(const Scene &);
    friend void PrintTo(const RejectedCase &c, std::ostream *out) { *out << c.name; }
};

#define NULL_POINTER(function) "log 3 " function " 1565 NULL POINTER.\n"
#define NULL_POINTER_NO_RESULT(function) "log 3 " function " 1566 NULL POINTER.\n"
#define INVALID_PARAM(function) "log 3 " function " 1563 Invalid Param.\n"

using kelu::avl::rotationAvlNode;

// clang-format off
#define REJECTED(function, what, record, result, ...) \
    {#function #what, record(#function), result, [](const Scene &s) -> uint64_t { return (void)s, __VA_ARGS__; }}
const RejectedCase kRejected[] = {
    REJECTED(createAvl, NullTree, NULL_POINTER, AVL_ERR_PARAM, createAvl(nullptr, countingCompare, 0, 0)),
    REJECTED(createAvl, NullCompare, NULL_POINTER, AVL_ERR_PARAM, createAvl(s.tree, nullptr, 9, 0)),
    REJECTED(destroyAvl, NullTree, NULL_POINTER, AVL_ERR_PARAM, destroyAvl(nullptr)),
    REJECTED(getAvlNodeNum, NullTree, NULL_POINTER, 0x03000003u, getAvlNodeNum(nullptr)),
    REJECTED(findAvlNode, NullTree, NULL_POINTER, 0, findAvlNode(nullptr, s.linked, s.position) != nullptr),
    REJECTED(findAvlNode, NullKey, NULL_POINTER, 0, findAvlNode(s.tree, nullptr, s.position) != nullptr),
    REJECTED(walkAvlNode, NullTree, NULL_POINTER, 0, walkAvlNode(nullptr, s.linked, 1) != nullptr),
    REJECTED(walkAvlNode, NullElement, NULL_POINTER, 0, walkAvlNode(s.tree, nullptr, 0) != nullptr),
    REJECTED(findAvlNearestNode, NullTree, NULL_POINTER, 0, findAvlNearestNode(nullptr, *s.position, 0) != nullptr),
    REJECTED(insertAvlNode, NullTree, NULL_POINTER, AVL_ERR_PARAM, insertAvlNode(nullptr, s.fresh, 0)),
    REJECTED(insertAvlNode, NullElement, NULL_POINTER, AVL_ERR_PARAM, insertAvlNode(s.tree, nullptr, 0)),
    REJECTED(addAvlNode, NullTree, NULL_POINTER_NO_RESULT, 0, (addAvlNode(nullptr, s.fresh), 0)),
    REJECTED(addAvlNode, NullElement, NULL_POINTER_NO_RESULT, 0, (addAvlNode(s.tree, nullptr), 0)),
    REJECTED(removeAvlNode, NullTree, NULL_POINTER_NO_RESULT, 0, (removeAvlNode(nullptr, s.linked), 0)),
    REJECTED(removeAvlNode, NullElement, NULL_POINTER_NO_RESULT, 0, (removeAvlNode(s.tree, nullptr), 0)),
    REJECTED(insertAvlNodeSpecified, NullTree, NULL_POINTER, AVL_ERR_PARAM, insertAvlNodeSpecified(nullptr, s.fresh, s.linked, 2)),
    REJECTED(insertAvlNodeSpecified, NullElement, NULL_POINTER, AVL_ERR_PARAM, insertAvlNodeSpecified(s.tree, nullptr, s.linked, 2)),
    REJECTED(insertAvlNodeSpecified, NullHere, NULL_POINTER, AVL_ERR_PARAM, insertAvlNodeSpecified(s.tree, s.fresh, nullptr, 2)),
    REJECTED(insertAvlNodeSpecified, DirectionTwo, INVALID_PARAM, AVL_ERR_PARAM, insertAvlNodeSpecified(s.tree, s.fresh, s.linked, 2)),
    REJECTED(insertAvlNodeSpecified, DirectionAllOnes, INVALID_PARAM, AVL_ERR_PARAM, insertAvlNodeSpecified(s.tree, s.fresh, s.linked, ~0u)),
    REJECTED(rotationAvlNode, NullTree, NULL_POINTER, AVL_ERR_PARAM, rotationAvlNode(nullptr, &s.linked->node, 2)),
    REJECTED(rotationAvlNode, NullNode, NULL_POINTER, AVL_ERR_PARAM, rotationAvlNode(s.tree, nullptr, 2)),
};
// clang-format on

// One record, the documented result, no comparison, nothing changed.
class AvlRejected : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(AvlRejected, LogsOnceAndChangesNothing) {
    Pool pool;
    AvlTree tree;
    ASSERT_EQ(createAvl(&tree, countingCompare, 7, kNodeOffset), 0u);
    kelu::test::buildFromShape("2(1,3)", tree, pool);
    AvlIndex position = 3;
    kelu::test::clearRecords();
    g_comparisons = 0;
    EXPECT_EQ(GetParam().call({&tree, &pool[1], &pool[5], &position}), GetParam().result);
    EXPECT_EQ(kelu::test::transcript("avl.cpp"), GetParam().record);
    EXPECT_EQ(g_comparisons, 0);
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(kelu::test::shapeOf(tree), "2(1,3)");
    EXPECT_EQ(tree.nodeNum, 3u);
    EXPECT_EQ(tree.compare, countingCompare);
}

INSTANTIATE_TEST_SUITE_P(Named, AvlRejected, ::testing::ValuesIn(kRejected), kelu::test::kByName);

int32_t compareReturnsTwo(void *, void *) {
    ++g_comparisons;
    return 2;
}

// A result outside -1..+1 ends the search at once with position 0 and no
// record; addAvlNode then refuses to link rather than replace the tree.
TEST(AvlContract, ComparisonOutsideMinusOneToOne) {
    Pool pool;
    AvlTree tree;
    ASSERT_EQ(createAvl(&tree, compareReturnsTwo, 0, kNodeOffset), 0u);
    kelu::test::buildFromShape("2(1,3)", tree, pool);
    kelu::test::clearRecords();
    g_comparisons = 0;
    AvlIndex position = 5;
    EXPECT_EQ(findAvlNode(&tree, &pool[9], &position), nullptr);
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(g_comparisons, 1);
    addAvlNode(&tree, &pool[9]);
    EXPECT_EQ(kelu::test::shapeOf(tree), "2(1,3)");
    EXPECT_EQ(tree.nodeNum, 3u);
    EXPECT_EQ(kelu::test::transcript("avl.cpp"), "log 3 addAvlNode 829 InsertAvlNode fail.\n");
}

// Exhaustive small scope: every insertion order of up to eight keys, every
// removal order (in rotation from each key) from every AVL tree of up to
// twelve elements, and every placement beside every element of every AVL
// tree of up to eight.

#ifdef KELU_SANITIZED_BUILD
constexpr int kMaxInsertionOrder = 7;  // 8! orders take minutes under sanitizers
#else
constexpr int kMaxInsertionOrder = 8;
#endif

// Every AVL tree of `count` keys step, 2 * step, ... after `first`, of
// exactly `height`, in shape notation.
std::vector<std::string> trees(int first, int count, int height, int step) {
    std::vector<std::string> out;
    if (count == 0 || height <= 0) {
        return count == 0 && height == 0 ? std::vector<std::string>{""} : out;
    }
    for (int left = 0; left < count; ++left) {
        for (int leftHeight : {height - 1, height - 2}) {
            for (int rightHeight : {height - 1, height - 2}) {
                if (std::max(leftHeight, rightHeight) != height - 1) {
                    continue;
                }
                const int key = first + (left + 1) * step;
                const std::string node = std::to_string(key) + (rightHeight > leftHeight   ? "+"
                                                                : rightHeight < leftHeight ? "-"
                                                                                           : "");
                for (const std::string &l : trees(first, left, leftHeight, step)) {
                    for (const std::string &r : trees(key, count - left - 1, rightHeight, step)) {
                        out.push_back(l.empty() && r.empty()
                                          ? node
                                          : node + "(" + (l.empty() ? "." : l) + "," +
                                                (r.empty() ? "." : r) + ")");
                    }
                }
            }
        }
    }
    return out;
}

TEST(AvlExhaustive, EveryInsertionOrder) {
    for (int n = 1; n <= kMaxInsertionOrder; ++n) {
        std::vector<int64_t> order(static_cast<size_t>(n));
        std::iota(order.begin(), order.end(), 1);
        do {
            AvlInterpreter avl;
            for (int64_t key : order) {
                ASSERT_TRUE(avl.add(key)) << avl.failure();
            }
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

TEST(AvlExhaustive, EveryRemovalOrderFromEveryTree) {
    for (int n = 1; n <= 12; ++n) {
        for (int height = 1; height <= 5; ++height) {
            for (const std::string &shape : trees(0, n, height, 1)) {
                for (int first = 0; first < n; ++first) {
                    AvlInterpreter avl(shape);
                    for (int i = 0; i < n; ++i) {
                        ASSERT_TRUE(avl.remove((first + i) % n + 1)) << avl.failure();
                    }
                }
            }
        }
    }
}

TEST(AvlExhaustive, EveryPlacementBesideEveryElement) {
    for (int n = 1; n <= 8; ++n) {
        for (int height = 1; height <= 4; ++height) {
            for (const std::string &shape : trees(0, n, height, 10)) {
                for (int64_t here = 10; here <= 10 * n; here += 10) {
                    for (uint32_t direction : {AVL_LEFT, AVL_RIGHT}) {
                        AvlInterpreter avl(shape);
                        ASSERT_TRUE(
                            avl.place(here, direction, here + (direction == AVL_RIGHT ? 5 : -5)))
                            << avl.failure();
                    }
                }
            }
        }
    }
}

KELU_CORPUS_REPLAY(AvlCorpus);

}  // namespace
