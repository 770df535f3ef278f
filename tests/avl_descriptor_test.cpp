// The AVL tree descriptor: set-up, reset, count and ends, and the log record
// of every rejected argument.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "avl_internal.h"
#include "kelu_util_avl.h"
#include "qxlog.h"
#include "support/recording_platform.h"

namespace {

using kelu::test::expectedRecord;
using kelu::test::LogRecord;

struct Element {
    int key;
    AvlNode node;
};

int32_t compareElements(void *key, void *element) {
    int a = static_cast<Element *>(key)->key;
    int b = static_cast<Element *>(element)->key;
    return (a > b) - (a < b);
}

int32_t otherCompare(void *, void *) {
    return 0;
}

// Links a, b, c by hand as the three-node tree  b(a, c).
void linkThree(AvlTree *tree, Element &a, Element &b, Element &c) {
    b.node = {{&a.node, &c.node}, nullptr, 0, 0};
    a.node = {{nullptr, nullptr}, &b.node, AVL_LEFT, 0};
    c.node = {{nullptr, nullptr}, &b.node, AVL_RIGHT, 0};
    tree->root = &b.node;
    tree->nodeNum = 3;
}

void expectSingleRecord(const char *function) {
    std::vector<LogRecord> records = kelu::test::logRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(kelu::test::matchesIgnoringLine(
        records[0], expectedRecord(LOG_LVL_ERR, "avl.cpp", function, 1565, "NULL POINTER.")))
        << records[0];
    EXPECT_NE(kelu::test::librarySourceLine("avl.cpp", records[0].line).find("KELU_LOG("),
              std::string::npos)
        << "line " << records[0].line << " of avl.cpp is not a log call";
}

class AvlDescriptor : public ::testing::Test {
  protected:
    void SetUp() override { kelu::test::clearRecords(); }
    AvlTree tree{};
};

TEST_F(AvlDescriptor, CreateSetsEveryField) {
    tree = {reinterpret_cast<AvlNode *>(0x1234), otherCompare, 99, 99, 42};
    ASSERT_EQ(createAvl(&tree, compareElements, 0xCAFE, offsetof(Element, node)), 0u);
    EXPECT_EQ(tree.root, nullptr);
    EXPECT_EQ(tree.compare, compareElements);
    EXPECT_EQ(tree.userValue, 0xCAFEu);
    EXPECT_EQ(tree.nodeOffset, offsetof(Element, node));
    EXPECT_EQ(tree.nodeNum, 0u);
    EXPECT_EQ(getAvlNodeNum(&tree), 0u);
    EXPECT_EQ(getAvlFirstNode(&tree), nullptr);
    EXPECT_EQ(getAvlLastNode(&tree), nullptr);
    EXPECT_TRUE(kelu::test::logRecords().empty());
}

TEST_F(AvlDescriptor, EndsOfOneAndThreeElementTrees) {
    ASSERT_EQ(createAvl(&tree, compareElements, 0, offsetof(Element, node)), 0u);
    Element only{7, {}};
    only.node = {{nullptr, nullptr}, nullptr, 0, 0};
    tree.root = &only.node;
    tree.nodeNum = 1;
    EXPECT_EQ(getAvlFirstNode(&tree), &only);
    EXPECT_EQ(getAvlLastNode(&tree), &only);

    Element a{1, {}}, b{2, {}}, c{3, {}};
    linkThree(&tree, a, b, c);
    EXPECT_EQ(getAvlFirstNode(&tree), &a);
    EXPECT_EQ(getAvlLastNode(&tree), &c);
    EXPECT_EQ(getAvlNodeNum(&tree), 3u);
}

TEST_F(AvlDescriptor, ZeroNodeOffsetSharesTheElementAddress) {
    struct NodeFirst {
        AvlNode node;
        int key;
    } only{{{nullptr, nullptr}, nullptr, 0, 0}, 5};
    ASSERT_EQ(createAvl(&tree, otherCompare, 0, 0), 0u);
    tree.root = &only.node;
    tree.nodeNum = 1;
    EXPECT_EQ(getAvlFirstNode(&tree), static_cast<void *>(&only));
    EXPECT_EQ(getAvlLastNode(&tree), static_cast<void *>(&only));
}

TEST_F(AvlDescriptor, DestroyForgetsElementsWithoutTouchingThem) {
    ASSERT_EQ(createAvl(&tree, compareElements, 77, offsetof(Element, node)), 0u);
    Element a{1, {}}, b{2, {}}, c{3, {}};
    linkThree(&tree, a, b, c);
    const AvlNode before[3] = {a.node, b.node, c.node};

    ASSERT_EQ(destroyAvl(&tree), 0u);
    EXPECT_EQ(tree.root, nullptr);
    EXPECT_EQ(getAvlNodeNum(&tree), 0u);
    EXPECT_EQ(getAvlFirstNode(&tree), nullptr);
    EXPECT_EQ(getAvlLastNode(&tree), nullptr);
    EXPECT_EQ(tree.compare, compareElements);
    EXPECT_EQ(tree.nodeOffset, offsetof(Element, node));
    EXPECT_EQ(tree.userValue, 77u);
    const AvlNode after[3] = {a.node, b.node, c.node};
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    EXPECT_TRUE(kelu::test::logRecords().empty());
}

TEST_F(AvlDescriptor, CreateOnPopulatedDescriptorResetsAndReplaces) {
    ASSERT_EQ(createAvl(&tree, compareElements, 1, offsetof(Element, node)), 0u);
    Element a{1, {}}, b{2, {}}, c{3, {}};
    linkThree(&tree, a, b, c);
    ASSERT_EQ(createAvl(&tree, otherCompare, 2, 0), 0u);
    EXPECT_EQ(tree.root, nullptr);
    EXPECT_EQ(tree.nodeNum, 0u);
    EXPECT_EQ(tree.compare, otherCompare);
    EXPECT_EQ(tree.userValue, 2u);
    EXPECT_EQ(tree.nodeOffset, 0u);
}

TEST_F(AvlDescriptor, CreateWithNullCompareLeavesPopulatedTreeWhole) {
    ASSERT_EQ(createAvl(&tree, compareElements, 5, offsetof(Element, node)), 0u);
    Element a{1, {}}, b{2, {}}, c{3, {}};
    linkThree(&tree, a, b, c);
    const AvlTree before = tree;
    kelu::test::clearRecords();

    EXPECT_EQ(createAvl(&tree, nullptr, 9, 0), AVL_ERR_PARAM);
    expectSingleRecord("createAvl");
    EXPECT_EQ(std::memcmp(&before, &tree, sizeof tree), 0);
}

TEST_F(AvlDescriptor, NullDescriptorIsRefusedWithOneRecord) {
    struct Case {
        const char *function;
        uint64_t (*call)();
        uint64_t result;
    };
    const Case cases[] = {
        {"createAvl", [] { return uint64_t{createAvl(nullptr, compareElements, 0, 0)}; },
         AVL_ERR_PARAM},
        {"createAvl", [] { return uint64_t{createAvl(nullptr, nullptr, 0, 0)}; }, AVL_ERR_PARAM},
        {"destroyAvl", [] { return uint64_t{destroyAvl(nullptr)}; }, AVL_ERR_PARAM},
        {"getAvlNodeNum", [] { return getAvlNodeNum(nullptr); }, 50331651u},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.function);
        kelu::test::clearRecords();
        EXPECT_EQ(c.call(), c.result);
        expectSingleRecord(c.function);
    }
}

TEST_F(AvlDescriptor, UserValueSurvivesDestroy) {
    ASSERT_EQ(createAvl(&tree, compareElements, 0xFFFFFFFF, 0xFFFFFFFF), 0u);
    ASSERT_EQ(destroyAvl(&tree), 0u);
    EXPECT_EQ(tree.userValue, 0xFFFFFFFFu);
    EXPECT_EQ(tree.nodeOffset, 0xFFFFFFFFu);
}

}  // namespace
