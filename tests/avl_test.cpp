// SPDX-License-Identifier: MIT
// The AVL tree as tables of exact expectations: the tree each sequence of
// operations leaves, with its log records; every rejected argument; and a
// comparison that breaks its contract.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "avl_internal.h"
#include "qxlog.h"
#include "support/avl_tree.h"
#include "support/recording_platform.h"

namespace {

using kelu::test::Element;
using kelu::test::kNodeOffset;
using kelu::test::Pool;

kelu::test::LogRecord recordFor(const char *function, uint32_t code) {
    const char *message = code == 828    ? "Set AVL balance done."
                          : code == 831  ? "Remove node not need set balance."
                          : code == 829  ? "InsertAvlNode fail."
                          : code == 1563 ? "Invalid Param."
                                         : "NULL POINTER.";
    return kelu::test::record(code == 828 || code == 831 ? LOG_LVL_DBG : LOG_LVL_ERR, "avl.cpp",
                              function, code, message);
}

struct ShapeCase {
    const char *name;
    const char *setup;  // "+k" adds k; run first, its records unchecked
    const char
        *program;  // "+k" adds k, "-k" removes k, "k>h" / "k<h" place k right after / before h
    const char *shape;
    std::vector<uint32_t> records;  // the codes `program` logs
    friend void PrintTo(const ShapeCase &c, std::ostream *out) { *out << c.name; }
};

class AvlShapes : public ::testing::TestWithParam<ShapeCase> {
  protected:
    void run(const std::string &program) {
        std::istringstream steps(program);
        for (std::string step; steps >> step;) {
            const size_t side = step.find_first_of("<>");
            Element *element = &pool[std::stoul(step.substr(side == std::string::npos ? 1 : 0))];
            if (step[0] == '+' || step[0] == '-') {
                (step[0] == '+' ? addAvlNode : removeAvlNode)(&tree, element);
            } else {
                EXPECT_EQ(
                    insertAvlNodeSpecified(&tree, element, &pool[std::stoul(step.substr(side + 1))],
                                           step[side] == '>' ? AVL_RIGHT : AVL_LEFT),
                    0u);
            }
        }
    }
    Pool pool;
    AvlTree tree;
};

TEST_P(AvlShapes, LeaveExactTreeAndRecords) {
    ASSERT_EQ(createAvl(&tree, kelu::test::compareKeys, 0, kNodeOffset), 0u);
    run(GetParam().setup);
    kelu::test::clearRecords();
    run(GetParam().program);
    EXPECT_EQ(kelu::test::shapeOf(tree), GetParam().shape);
    EXPECT_EQ(kelu::test::checkTree(tree), "");
    std::vector<kelu::test::LogRecord> expected;
    for (uint32_t code : GetParam().records) {
        expected.push_back(recordFor(code == 828 ? "insertAvlNode" : "removeAvlNode", code));
    }
    EXPECT_TRUE(kelu::test::matches(kelu::test::logRecords(), expected));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, AvlShapes,
    ::testing::Values(
        ShapeCase{"AscendingThreeRotateOnce", "", "+1 +2 +3", "2(1,3)", {}},
        ShapeCase{"DescendingThreeMirror", "", "+3 +2 +1", "2(1,3)", {}},
        ShapeCase{"DoubleRotationRightLeft", "", "+1 +3 +2", "2(1,3)", {}},
        ShapeCase{"DoubleRotationLeftRight", "", "+3 +1 +2", "2(1,3)", {}},
        ShapeCase{"BalancedStopsLogged", "", "+5 +3 +8 +2 +4 +1", "3(2-(1,.),5(4,8))", {828, 828}},
        ShapeCase{"AscendingSevenPerfect", "", "+1 +2 +3 +4 +5 +6 +7", "4(2(1,3),6(5,7))", {}},
        ShapeCase{"RemoveOnlyElement", "+1", "-1", "", {831}},
        ShapeCase{"RemoveRootWithOneChild", "+5 +7", "-5", "7", {831}},
        ShapeCase{"RemoveBalancedRootTakesPredecessor", "+2 +1 +3", "-2", "1+(.,3)", {}},
        ShapeCase{
            "RemoveLeftHeavyRootTakesPredecessor", "+4 +5 +2 +3 +1", "-4", "3-(2-(1,.),5)", {}},
        ShapeCase{
            "RemoveRightHeavyRootTakesSuccessor", "+2 +1 +4 +3 +5", "-2", "3+(1,4+(.,5))", {}},
        ShapeCase{"RemoveRootTakesItsOwnChild", "+2 +1 +3 +4", "-2", "3(1,4)", {}},
        ShapeCase{
            "RemoveRootTakesDeepNeighbour", "+1 +2 +3 +4 +5 +6 +7", "-4", "3(2-(1,.),6(5,7))", {}},
        ShapeCase{"RemoveLeafSingleRotation", "+2 +1 +3 +4", "-1", "3(2,4)", {}},
        ShapeCase{"RemoveLeafDoubleRotation", "+2 +1 +4 +3", "-1", "3(2,4)", {}},
        ShapeCase{"RotationKeepingHeightEndsPass", "+2 +1 +4 +3 +5", "-1", "4-(2+(.,3),5)", {}},
        ShapeCase{"TwoRotationsInOneRemoval",
                  "+28 +5 +10 +14 +29 +18 +4 +19 +27 +24 +6 +23",
                  "-4",
                  "19(14-(6(5,10),18),27(24-(23,.),28+(.,29)))",
                  {}},
        ShapeCase{"AfterDescendsToRightSubtree", "+20 +10 +30", "25>20", "20+(10,30-(25,.))", {}},
        ShapeCase{"BeforeDescendsToLeftSubtree", "+20 +10 +30", "15<20", "20-(10+(.,15),30)", {}},
        ShapeCase{"AfterLeafFillsItsOwnSlot", "+20 +10 +30", "12>10", "20-(10+(.,12),30)", {}},
        ShapeCase{"AppendSixAfterLast", "+0", "1>0 2>1 3>2 4>3 5>4 6>5", "3(1(0,2),5(4,6))", {}}),
    [](const auto &test) { return std::string(test.param.name); });

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

// A call's result as a number: a pointer's address, or 0 for none.
template <typename Call>
uint64_t resultOf(Call call) {
    if constexpr (std::is_void_v<decltype(call())>) {
        return call(), 0;
    } else if constexpr (std::is_pointer_v<decltype(call())>) {
        return reinterpret_cast<uintptr_t>(call());
    } else {
        return call();
    }
}

struct RejectedCase {
    const char *function, *name;
    uint32_t code;
    uint64_t (*call)(AvlTree *tree, Element *linked, Element *fresh, AvlIndex *position);
    uint64_t result;
    friend void PrintTo(const RejectedCase &c, std::ostream *out) { *out << c.name; }
};

int g_comparisons = 0;

int32_t countingCompare(void *key, void *element) {
    ++g_comparisons;
    return kelu::test::compareKeys(key, element);
}

using kelu::avl::rotationAvlNode;

// clang-format off
#define KELU_REJECTED(function, name, code, arguments, result)                           \
    {#function, #function #name, code, [](AvlTree *t, Element *e, Element *f, AvlIndex *p) { \
         return (void)t, (void)e, (void)f, (void)p, resultOf([&] { return function arguments; }); \
     }, result}

const RejectedCase kRejected[] = {
    KELU_REJECTED(createAvl, NullTree, 1565, (nullptr, countingCompare, 0, 0), AVL_ERR_PARAM),
    KELU_REJECTED(createAvl, NullCompare, 1565, (t, nullptr, 9, 0), AVL_ERR_PARAM),
    KELU_REJECTED(destroyAvl, NullTree, 1565, (nullptr), AVL_ERR_PARAM),
    KELU_REJECTED(getAvlNodeNum, NullTree, 1565, (nullptr), 0x03000003u),
    KELU_REJECTED(findAvlNode, NullTree, 1565, (nullptr, e, p), 0),
    KELU_REJECTED(findAvlNode, NullKey, 1565, (t, nullptr, p), 0),
    KELU_REJECTED(walkAvlNode, NullTree, 1565, (nullptr, e, 1), 0),
    KELU_REJECTED(walkAvlNode, NullElement, 1565, (t, nullptr, 0), 0),
    KELU_REJECTED(findAvlNearestNode, NullTree, 1565, (nullptr, *p, 0), 0),
    KELU_REJECTED(insertAvlNode, NullTree, 1565, (nullptr, f, 0), AVL_ERR_PARAM),
    KELU_REJECTED(insertAvlNode, NullElement, 1565, (t, nullptr, 0), AVL_ERR_PARAM),
    KELU_REJECTED(addAvlNode, NullTree, 1566, (nullptr, f), 0),
    KELU_REJECTED(addAvlNode, NullElement, 1566, (t, nullptr), 0),
    KELU_REJECTED(removeAvlNode, NullTree, 1566, (nullptr, e), 0),
    KELU_REJECTED(removeAvlNode, NullElement, 1566, (t, nullptr), 0),
    KELU_REJECTED(insertAvlNodeSpecified, NullTree, 1565, (nullptr, f, e, 2), AVL_ERR_PARAM),
    KELU_REJECTED(insertAvlNodeSpecified, NullElement, 1565, (t, nullptr, e, 2), AVL_ERR_PARAM),
    KELU_REJECTED(insertAvlNodeSpecified, NullHere, 1565, (t, f, nullptr, 2), AVL_ERR_PARAM),
    KELU_REJECTED(insertAvlNodeSpecified, DirectionTwo, 1563, (t, f, e, 2), AVL_ERR_PARAM),
    KELU_REJECTED(insertAvlNodeSpecified, DirectionAllOnes, 1563, (t, f, e, ~0u), AVL_ERR_PARAM),
    KELU_REJECTED(rotationAvlNode, NullTree, 1565, (nullptr, &e->node, 2), AVL_ERR_PARAM),
    KELU_REJECTED(rotationAvlNode, NullNode, 1565, (t, nullptr, 2), AVL_ERR_PARAM),
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
    EXPECT_EQ(GetParam().call(&tree, &pool[1], &pool[5], &position), GetParam().result);
    EXPECT_TRUE(kelu::test::matches(kelu::test::logRecords(),
                                    {recordFor(GetParam().function, GetParam().code)}));
    EXPECT_EQ(g_comparisons, 0);
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(kelu::test::shapeOf(tree), "2(1,3)");
    EXPECT_EQ(tree.nodeNum, 3u);
    EXPECT_EQ(tree.compare, countingCompare);
}

INSTANTIATE_TEST_SUITE_P(Tables, AvlRejected, ::testing::ValuesIn(kRejected),
                         [](const auto &test) { return std::string(test.param.name); });

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
    EXPECT_TRUE(kelu::test::matches(kelu::test::logRecords(), {recordFor("addAvlNode", 829)}));
}

}  // namespace
