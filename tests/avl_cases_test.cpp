// Small AVL trees as exact expected shapes and exact log records: insertion,
// removal, placement beside a given element, the rotation step in each of its
// outcomes and mirror images, searches, and every rejected argument.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "avl_internal.h"
#include "kelu_util_avl.h"
#include "qxlog.h"
#include "support/avl_shape.h"
#include "support/recording_platform.h"

namespace {

using kelu::test::Keyed;
using kelu::test::LogRecord;

struct Record {
    uint32_t level;
    const char *function;
    uint32_t code;
    const char *message;
};

const Record kBalanced{LOG_LVL_DBG, "insertAvlNode", 828, "Set AVL balance done."};
const Record kRootGone{LOG_LVL_DBG, "removeAvlNode", 831, "Remove node not need set balance."};

// Each record is the expected one, at a line of avl.cpp that makes a log call.
void expectRecords(const std::vector<Record> &expected) {
    const std::vector<LogRecord> actual = kelu::test::logRecords();
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        const Record &e = expected[i];
        EXPECT_TRUE(kelu::test::matchesIgnoringLine(
            actual[i],
            kelu::test::expectedRecord(e.level, "avl.cpp", e.function, e.code, e.message)))
            << actual[i];
        EXPECT_NE(kelu::test::librarySourceLine("avl.cpp", actual[i].line).find("KELU_LOG("),
                  std::string::npos)
            << "line " << actual[i].line;
    }
}

// A tree of Keyed elements; elements are made on first use of their key.
class AvlCases : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(createAvl(&tree, kelu::test::compareKeys, 0, offsetof(Keyed, node)), 0u);
        kelu::test::clearRecords();
    }
    Keyed *element(int64_t key) {
        Keyed *found = kelu::test::findKeyed(pool, key);
        if (found == nullptr) {
            found = &pool.emplace_back();
            found->key = key;
        }
        return found;
    }
    void add(const std::vector<int64_t> &keys) {
        for (int64_t key : keys) {
            addAvlNode(&tree, element(key));
        }
    }
    void expectShape(const std::string &shape) {
        EXPECT_EQ(kelu::test::shapeOf(tree), shape);
        EXPECT_EQ(kelu::test::checkTree(tree), "");
    }
    AvlTree tree{};
    std::deque<Keyed> pool;
};

enum class Op { Add, Remove, After, Before, AddEqual };
struct Step {
    Op op;
    int64_t key;
    int64_t here = 0;  // After / Before: the neighbour
};

struct Case {
    const char *name;
    std::vector<int64_t> setup;  // added first; their records are not checked
    std::vector<Step> steps;
    const char *shape;
    std::vector<Record> records;
};

const std::vector<Case> kCases = {
    {"AscendingThreeRotateOnce", {}, {{Op::Add, 1}, {Op::Add, 2}, {Op::Add, 3}}, "2(1,3)", {}},
    {"DescendingThreeMirror", {}, {{Op::Add, 3}, {Op::Add, 2}, {Op::Add, 1}}, "2(1,3)", {}},
    {"DoubleRotationRightLeft", {}, {{Op::Add, 1}, {Op::Add, 3}, {Op::Add, 2}}, "2(1,3)", {}},
    {"DoubleRotationLeftRight", {}, {{Op::Add, 3}, {Op::Add, 1}, {Op::Add, 2}}, "2(1,3)", {}},
    {"BalancedStopsLogged",
     {},
     {{Op::Add, 5}, {Op::Add, 3}, {Op::Add, 8}, {Op::Add, 2}, {Op::Add, 4}, {Op::Add, 1}},
     "3(2-(1,.),5(4,8))",
     {kBalanced, kBalanced}},
    {"AscendingSevenPerfect",
     {},
     {{Op::Add, 1},
      {Op::Add, 2},
      {Op::Add, 3},
      {Op::Add, 4},
      {Op::Add, 5},
      {Op::Add, 6},
      {Op::Add, 7}},
     "4(2(1,3),6(5,7))",
     {}},
    {"DuplicateKeyRefusedSilently", {2, 1, 3}, {{Op::AddEqual, 2}}, "2(1,3)", {}},
    {"LinkedElementReAddedSilently", {2, 1, 3}, {{Op::Add, 3}}, "2(1,3)", {}},
    {"RemoveOnlyElement", {1}, {{Op::Remove, 1}}, "", {kRootGone}},
    {"RemoveRootWithOneChild", {5, 7}, {{Op::Remove, 5}}, "7", {kRootGone}},
    {"RemoveBalancedRootTakesLeftNeighbour", {2, 1, 3}, {{Op::Remove, 2}}, "1+(.,3)", {}},
    {"RemoveRootTakesRightChild", {2, 1, 3, 4}, {{Op::Remove, 2}}, "3(1,4)", {}},
    {"RemoveRootTakesDeepNeighbour",
     {1, 2, 3, 4, 5, 6, 7},
     {{Op::Remove, 4}},
     "3(2-(1,.),6(5,7))",
     {}},
    {"RemoveLeafSingleRotation", {2, 1, 3, 4}, {{Op::Remove, 1}}, "3(2,4)", {}},
    {"RemoveLeafDoubleRotation", {2, 1, 4, 3}, {{Op::Remove, 1}}, "3(2,4)", {}},
    {"RotationKeepingHeightEndsPass", {2, 1, 4, 3, 5}, {{Op::Remove, 1}}, "4-(2+(.,3),5)", {}},
    {"TwoRotationsInOneRemoval",
     {28, 5, 10, 14, 29, 18, 4, 19, 27, 24, 6, 23},
     {{Op::Remove, 4}},
     "19(14-(6(5,10),18),27(24-(23,.),28+(.,29)))",
     {}},
    {"RemoveThenAddAgain", {2, 1, 3}, {{Op::Remove, 1}, {Op::Add, 1}}, "2(1,3)", {kBalanced}},
    {"AfterDescendsToRightSubtree", {20, 10, 30}, {{Op::After, 25, 20}}, "20+(10,30-(25,.))", {}},
    {"BeforeDescendsToLeftSubtree", {20, 10, 30}, {{Op::Before, 15, 20}}, "20-(10+(.,15),30)", {}},
    {"AfterLeafFillsItsOwnSlot", {20, 10, 30}, {{Op::After, 12, 10}}, "20-(10+(.,12),30)", {}},
    {"AppendSixAfterLast",
     {0},
     {{Op::After, 1, 0},
      {Op::After, 2, 1},
      {Op::After, 3, 2},
      {Op::After, 4, 3},
      {Op::After, 5, 4},
      {Op::After, 6, 5}},
     "3(1(0,2),5(4,6))",
     {}},
};

TEST_F(AvlCases, ExactShapesAndRecords) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        SetUp();
        pool.clear();
        add(c.setup);
        kelu::test::clearRecords();
        const uint64_t before = getAvlNodeNum(&tree);
        int64_t delta = 0;
        for (const Step &s : c.steps) {
            Keyed *e = s.op == Op::AddEqual ? &pool.emplace_back() : element(s.key);
            const AvlNode old = e->node;
            switch (s.op) {
                case Op::Add:
                    delta += findAvlNode(&tree, e, nullptr) == nullptr;
                    addAvlNode(&tree, e);
                    break;
                case Op::AddEqual:
                    e->key = s.key;
                    std::memset(&e->node, 0xA5, sizeof e->node);
                    addAvlNode(&tree, e);
                    EXPECT_EQ(std::memcmp(&e->node, std::string(sizeof e->node, '\xA5').data(),
                                          sizeof e->node),
                              0);
                    break;
                case Op::Remove:
                    removeAvlNode(&tree, e);
                    --delta;
                    // The removed element's link record is left as it was.
                    EXPECT_EQ(std::memcmp(&old, &e->node, sizeof old), 0);
                    break;
                case Op::After:
                case Op::Before:
                    EXPECT_EQ(insertAvlNodeSpecified(&tree, e, element(s.here),
                                                     s.op == Op::After ? AVL_RIGHT : AVL_LEFT),
                              0u);
                    ++delta;
                    break;
            }
        }
        EXPECT_EQ(getAvlNodeNum(&tree), before + static_cast<uint64_t>(delta));
        expectShape(c.shape);
        expectRecords(c.records);
    }
}

// The rotation step on hand-built subtrees: the right-heavy outcomes and, by
// mirroring every shape, the left-heavy ones.
TEST_F(AvlCases, RotationOutcomesAndMirrors) {
    struct Rotation {
        const char *before;
        int64_t at;
        const char *after;
        uint32_t lowered;
    };
    const Rotation rows[] = {
        {"2+(1,4+(3,6(5,7)))", 2, "4(2(1,3),6(5,7))", 1},                                // C +1
        {"20+(10,60(40(30,50),80(70,90)))", 20, "60-(20+(10,40(30,50)),80(70,90))", 0},  // C 0
        {"20+(10,60-(40+(.,50),70))", 20, "40(20-(10,.),60(50,70))", 1},                 // G +1
        {"20+(.,40-(30,.))", 20, "30(20,40)", 1},                                        // G 0
        {"20+(10,60-(40-(30,.),70))", 20, "40(20(10,30),60+(.,70))", 1},                 // G -1
        {"100(20+(.,40-(30,.)),200)", 20, "100(30(20,40),200)", 1},  // below a parent
    };
    for (const Rotation &row : rows) {
        for (bool mirrored : {false, true}) {
            SCOPED_TRACE(std::string(row.before) + (mirrored ? " mirrored" : ""));
            pool.clear();
            const std::string before = mirrored ? kelu::test::mirrorShape(row.before) : row.before;
            kelu::test::buildFromShape(before, tree, pool);
            AvlNode *node = &kelu::test::findKeyed(pool, row.at)->node;
            EXPECT_EQ(kelu::avl::rotationAvlNode(&tree, node, mirrored ? -2 : 2), row.lowered);
            EXPECT_EQ(kelu::test::shapeOf(tree),
                      mirrored ? kelu::test::mirrorShape(row.after) : row.after);
        }
    }
    kelu::test::clearRecords();
    EXPECT_EQ(kelu::avl::rotationAvlNode(nullptr, tree.root, 2), AVL_ERR_PARAM);
    EXPECT_EQ(kelu::avl::rotationAvlNode(&tree, nullptr, 2), AVL_ERR_PARAM);
    const Record nullRecord{LOG_LVL_ERR, "rotationAvlNode", 1565, "NULL POINTER."};
    expectRecords({nullRecord, nullRecord});
}

// Searches in the tree 40(20(10,30),60(50,70)): hits, misses at both ends and
// between neighbours, and the nearest element on each side of each miss.
TEST_F(AvlCases, SearchPositionsAndNearest) {
    kelu::test::buildFromShape("40(20(10,30),60(50,70))", tree, pool);
    struct Probe {
        int64_t key;
        int64_t hit;            // 0: miss
        int64_t at;             // miss: node of the position
        uint32_t side;          // miss: side in bit 0
        int64_t before, after;  // nearest towards AVL_LEFT / AVL_RIGHT; 0 for none
    };
    const Probe probes[] = {
        {30, 30, 0, 0, 0, 0},          {5, 0, 10, AVL_LEFT, 0, 10},
        {75, 0, 70, AVL_RIGHT, 70, 0}, {35, 0, 30, AVL_RIGHT, 30, 40},
        {45, 0, 50, AVL_LEFT, 40, 50}, {15, 0, 10, AVL_RIGHT, 10, 20},
    };
    for (const Probe &p : probes) {
        SCOPED_TRACE(p.key);
        const int64_t key = p.key;
        AvlIndex position = 0xDEADBEEF;
        void *found = findAvlNode(&tree, const_cast<int64_t *>(&key), &position);
        EXPECT_EQ(found, findAvlNode(&tree, const_cast<int64_t *>(&key), nullptr));
        if (p.hit != 0) {
            EXPECT_EQ(found, kelu::test::findKeyed(pool, p.hit));
            EXPECT_EQ(position, 0xDEADBEEFu);
            continue;
        }
        ASSERT_EQ(found, nullptr);
        EXPECT_EQ(position,
                  reinterpret_cast<uintptr_t>(&kelu::test::findKeyed(pool, p.at)->node) | p.side);
        for (uint32_t direction : {AVL_LEFT, AVL_RIGHT}) {
            const int64_t expected = direction == AVL_LEFT ? p.before : p.after;
            EXPECT_EQ(findAvlNearestNode(&tree, position, direction),
                      expected == 0 ? nullptr : kelu::test::findKeyed(pool, expected));
        }
    }
    for (AvlIndex empty : {AvlIndex{0}, AvlIndex{1}}) {
        EXPECT_EQ(findAvlNearestNode(&tree, empty, AVL_LEFT), nullptr);
        EXPECT_EQ(findAvlNearestNode(&tree, empty, AVL_RIGHT), nullptr);
    }
    EXPECT_TRUE(kelu::test::logRecords().empty());

    AvlTree none{};
    ASSERT_EQ(createAvl(&none, kelu::test::compareKeys, 0, offsetof(Keyed, node)), 0u);
    AvlIndex position = 7;
    const int64_t key = 1;
    EXPECT_EQ(findAvlNode(&none, const_cast<int64_t *>(&key), &position), nullptr);
    EXPECT_EQ(position, 0u);
}

int g_compareCalls = 0;
int32_t compareReturnsTwo(void *, void *) {
    ++g_compareCalls;
    return 2;
}

// A comparison outside -1..+1: the search stops at once with position 0 and
// no record, and addAvlNode refuses to link rather than replace the tree.
TEST_F(AvlCases, ComparisonBreakingItsContract) {
    kelu::test::buildFromShape("2(1,3)", tree, pool);
    tree.compare = compareReturnsTwo;
    AvlIndex position = 5;
    Keyed extra{9, {}};
    EXPECT_EQ(findAvlNode(&tree, &extra, &position), nullptr);
    EXPECT_EQ(position, 0u);
    EXPECT_EQ(g_compareCalls, 1);
    EXPECT_TRUE(kelu::test::logRecords().empty());

    addAvlNode(&tree, &extra);
    EXPECT_EQ(kelu::test::shapeOf(tree), "2(1,3)");
    EXPECT_EQ(getAvlNodeNum(&tree), 3u);
    expectRecords({{LOG_LVL_ERR, "addAvlNode", 829, "InsertAvlNode fail."}});
}

// Every rejected argument: one record, the documented result, nothing changed.
// Where several arguments are bad, the earlier check decides the record.
TEST_F(AvlCases, RejectedArguments) {
    kelu::test::buildFromShape("2(1,3)", tree, pool);
    Keyed *one = kelu::test::findKeyed(pool, 1);
    Keyed fresh{5, {}};
    AvlIndex position = 3;
    struct Rejection {
        const char *function;
        uint32_t code;
        const char *message;
        uint64_t (*call)(AvlTree *, Keyed *, Keyed *, AvlIndex *);
        uint64_t result;
    };
    using T = AvlTree *;
    using E = Keyed *;
    using P = AvlIndex *;
    const uint64_t kNull = 0;
    const Rejection rows[] = {
        {"findAvlNode", 1565, "NULL POINTER.",
         [](T, E e, E, P p) { return uint64_t(uintptr_t(findAvlNode(nullptr, e, p))); }, kNull},
        {"findAvlNode", 1565, "NULL POINTER.",
         [](T t, E, E, P p) { return uint64_t(uintptr_t(findAvlNode(t, nullptr, p))); }, kNull},
        {"walkAvlNode", 1565, "NULL POINTER.",
         [](T, E e, E, P) { return uint64_t(uintptr_t(walkAvlNode(nullptr, e, AVL_RIGHT))); },
         kNull},
        {"walkAvlNode", 1565, "NULL POINTER.",
         [](T t, E, E, P) { return uint64_t(uintptr_t(walkAvlNode(t, nullptr, AVL_LEFT))); },
         kNull},
        {"findAvlNearestNode", 1565, "NULL POINTER.",
         [](T, E, E, P p) { return uint64_t(uintptr_t(findAvlNearestNode(nullptr, *p, 0))); },
         kNull},
        {"insertAvlNode", 1565, "NULL POINTER.",
         [](T, E, E f, P) { return uint64_t{insertAvlNode(nullptr, f, 0)}; }, AVL_ERR_PARAM},
        {"insertAvlNode", 1565, "NULL POINTER.",
         [](T t, E, E, P) { return uint64_t{insertAvlNode(t, nullptr, 0)}; }, AVL_ERR_PARAM},
        {"addAvlNode", 1566, "NULL POINTER.",
         [](T, E, E f, P) { return addAvlNode(nullptr, f), kNull; }, kNull},
        {"addAvlNode", 1566, "NULL POINTER.",
         [](T t, E, E, P) { return addAvlNode(t, nullptr), kNull; }, kNull},
        {"removeAvlNode", 1566, "NULL POINTER.",
         [](T, E e, E, P) { return removeAvlNode(nullptr, e), kNull; }, kNull},
        {"removeAvlNode", 1566, "NULL POINTER.",
         [](T t, E, E, P) { return removeAvlNode(t, nullptr), kNull; }, kNull},
        // Several bad arguments: still one record.
        {"findAvlNode", 1565, "NULL POINTER.",
         [](T, E, E, P p) { return uint64_t(uintptr_t(findAvlNode(nullptr, nullptr, p))); }, kNull},
        {"walkAvlNode", 1565, "NULL POINTER.",
         [](T, E, E, P) { return uint64_t(uintptr_t(walkAvlNode(nullptr, nullptr, 7))); }, kNull},
        {"insertAvlNode", 1565, "NULL POINTER.",
         [](T, E, E, P) { return uint64_t{insertAvlNode(nullptr, nullptr, 0)}; }, AVL_ERR_PARAM},
        {"addAvlNode", 1566, "NULL POINTER.",
         [](T, E, E, P) { return addAvlNode(nullptr, nullptr), kNull; }, kNull},
        {"removeAvlNode", 1566, "NULL POINTER.",
         [](T, E, E, P) { return removeAvlNode(nullptr, nullptr), kNull; }, kNull},
        {"insertAvlNodeSpecified", 1565, "NULL POINTER.",
         [](T, E e, E f, P) { return uint64_t{insertAvlNodeSpecified(nullptr, f, e, 2)}; },
         AVL_ERR_PARAM},
        {"insertAvlNodeSpecified", 1565, "NULL POINTER.",
         [](T t, E e, E, P) { return uint64_t{insertAvlNodeSpecified(t, nullptr, e, 2)}; },
         AVL_ERR_PARAM},
        {"insertAvlNodeSpecified", 1565, "NULL POINTER.",
         [](T t, E, E f, P) { return uint64_t{insertAvlNodeSpecified(t, f, nullptr, 2)}; },
         AVL_ERR_PARAM},
        {"insertAvlNodeSpecified", 1563, "Invalid Param.",
         [](T t, E e, E f, P) { return uint64_t{insertAvlNodeSpecified(t, f, e, 2)}; },
         AVL_ERR_PARAM},
        {"insertAvlNodeSpecified", 1563, "Invalid Param.",
         [](T t, E e, E f, P) { return uint64_t{insertAvlNodeSpecified(t, f, e, 0xFFFFFFFF)}; },
         AVL_ERR_PARAM},
    };
    // No rejected call reaches the comparison.
    static int comparisons;
    tree.compare = [](void *key, void *element) {
        ++comparisons;
        return kelu::test::compareKeys(key, element);
    };
    for (const Rejection &row : rows) {
        SCOPED_TRACE(row.function);
        kelu::test::clearRecords();
        position = 3;
        comparisons = 0;
        EXPECT_EQ(row.call(&tree, one, &fresh, &position), row.result);
        EXPECT_EQ(comparisons, 0);
        expectRecords({{LOG_LVL_ERR, row.function, row.code, row.message}});
        EXPECT_EQ(position, 3u);
        EXPECT_EQ(kelu::test::shapeOf(tree), "2(1,3)");
        EXPECT_EQ(getAvlNodeNum(&tree), 3u);
    }
}

// Walking from either end visits every element once, in order, and stops
// with null past the other end; one element has no neighbour either way.
TEST_F(AvlCases, WalksVisitEveryElementOnce) {
    add({8, 3, 10, 1, 6, 14, 4, 7, 13});
    std::vector<int64_t> up, down;
    for (void *e = getAvlFirstNode(&tree); e != nullptr; e = walkAvlNode(&tree, e, AVL_RIGHT)) {
        up.push_back(kelu::test::keyOf(e));
    }
    for (void *e = getAvlLastNode(&tree); e != nullptr; e = walkAvlNode(&tree, e, AVL_LEFT)) {
        down.insert(down.begin(), kelu::test::keyOf(e));
    }
    EXPECT_EQ(up, kelu::test::inOrderKeys(tree));
    EXPECT_EQ(down, up);
    EXPECT_EQ(up.size(), 9u);

    AvlTree single{};
    ASSERT_EQ(createAvl(&single, kelu::test::compareKeys, 0, offsetof(Keyed, node)), 0u);
    Keyed only{1, {}};
    kelu::test::clearRecords();
    ASSERT_EQ(insertAvlNode(&single, &only, 0), 0u);
    EXPECT_EQ(getAvlNodeNum(&single), 1u);
    EXPECT_TRUE(kelu::test::logRecords().empty());
    EXPECT_EQ(walkAvlNode(&single, &only, AVL_LEFT), nullptr);
    EXPECT_EQ(walkAvlNode(&single, &only, AVL_RIGHT), nullptr);
    EXPECT_EQ(kelu::test::shapeOf(single), "1");
    EXPECT_EQ(only.node.childIndex, 0u);
}

}  // namespace
