// Exhaustive small scope: every insertion order of up to eight keys, every
// removal sequence from every AVL tree of up to twelve elements, and every
// placement beside every element of every AVL tree of up to eight elements.
// After each change the tree must satisfy all invariants, have exactly the
// reference model's shape, and have written exactly the model's log records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <deque>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "kelu_util_avl.h"
#include "support/avl_model.h"
#include "support/avl_shape.h"
#include "support/recording_platform.h"

namespace {

using kelu::test::Keyed;
using kelu::test::ModelAvl;

#ifdef KELU_SANITIZED_BUILD
constexpr int kMaxInsertionOrder = 7;  // 8! orders take minutes under sanitizers
#else
constexpr int kMaxInsertionOrder = 8;
#endif
constexpr int kMaxRemovalTree = 12;
constexpr int kMaxPlacementTree = 8;

size_t countRecords(uint32_t code) {
    const auto records = kelu::test::logRecords();
    return static_cast<size_t>(std::count_if(records.begin(), records.end(),
                                             [code](const auto &r) { return r.code == code; }));
}

// Every AVL tree shape of exactly `height` with at most `maxNodes` nodes, as
// templates: '#' for each key (filled in order later), balances marked.
std::vector<std::string> shapesOfHeight(int height, int maxNodes) {
    if (height == 0) {
        return {"."};
    }
    if (height == 1) {
        return {"#"};
    }
    std::vector<std::string> out;
    const auto taller = shapesOfHeight(height - 1, maxNodes);
    const auto shorter = shapesOfHeight(height - 2, maxNodes);
    auto nodes = [](const std::string &s) { return std::count(s.begin(), s.end(), '#'); };
    auto combine = [&](const std::vector<std::string> &l, const std::vector<std::string> &r,
                       const char *mark) {
        for (const std::string &a : l) {
            for (const std::string &b : r) {
                if (nodes(a) + nodes(b) + 1 <= maxNodes) {
                    out.push_back(std::string("#") + mark + "(" + a + "," + b + ")");
                }
            }
        }
    };
    combine(taller, taller, "");
    combine(taller, shorter, "-");
    combine(shorter, taller, "+");
    return out;
}

// Every AVL tree of 1..maxNodes elements with keys step, 2*step, ... in order.
std::vector<std::string> allAvlTrees(int maxNodes, int64_t step) {
    std::vector<std::string> trees;
    for (int height = 1; (1 << (height - 1)) <= maxNodes; ++height) {
        for (const std::string &pattern : shapesOfHeight(height, maxNodes)) {
            std::string numbered;
            int64_t key = 0;
            for (char c : pattern) {
                numbered += c == '#' ? std::to_string(++key) : std::string(1, c);
            }
            AvlTree tree{};
            std::deque<Keyed> pool;
            createAvl(&tree, kelu::test::compareKeys, 0, offsetof(Keyed, node));
            kelu::test::buildFromShape(numbered, tree, pool);
            key = 0;
            for (void *e = getAvlFirstNode(&tree); e != nullptr;
                 e = walkAvlNode(&tree, e, AVL_RIGHT)) {
                static_cast<Keyed *>(e)->key = key += step;
            }
            trees.push_back(kelu::test::shapeOf(tree));
        }
    }
    return trees;
}

class AvlExhaustive : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(createAvl(&tree, kelu::test::compareKeys, 0, offsetof(Keyed, node)), 0u);
    }
    void build(const std::string &shape) {
        pool.clear();
        kelu::test::buildFromShape(shape, tree, pool);
        ASSERT_EQ(kelu::test::checkTree(tree), "") << shape;
        ASSERT_EQ(kelu::test::shapeOf(tree), shape);
    }
    AvlTree tree{};
    std::deque<Keyed> pool;
};

TEST_F(AvlExhaustive, EveryInsertionOrder) {
    for (int n = 1; n <= kMaxInsertionOrder; ++n) {
        std::vector<Keyed> elements(static_cast<size_t>(n));
        std::vector<int> order(static_cast<size_t>(n));
        std::iota(order.begin(), order.end(), 1);
        do {
            ASSERT_EQ(destroyAvl(&tree), 0u);
            ModelAvl model;
            for (int key : order) {
                Keyed &e = elements[static_cast<size_t>(key - 1)];
                e.key = key;
                kelu::test::clearRecords();
                addAvlNode(&tree, &e);
                const ModelAvl::Outcome outcome = model.insert(key);
                ASSERT_LE(outcome.rotations, 1);
                ASSERT_EQ(kelu::test::checkTree(tree), "");
                ASSERT_EQ(kelu::test::shapeOf(tree), model.shape());
                ASSERT_EQ(countRecords(828), outcome.stoppedBalanced ? 1u : 0u);
                ASSERT_EQ(kelu::test::logRecords().size(), countRecords(828));
            }
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

// From every tree, remove each element first and then the others in turn
// (k, k+1, ..., n, 1, ..., k-1) until the tree is empty.
TEST_F(AvlExhaustive, EveryRemovalSequence) {
    for (const std::string &shape : allAvlTrees(kMaxRemovalTree, 1)) {
        build(shape);
        const std::vector<int64_t> keys = kelu::test::inOrderKeys(tree);
        for (size_t first = 0; first < keys.size(); ++first) {
            SCOPED_TRACE(shape + " from " + std::to_string(keys[first]));
            build(shape);
            ModelAvl model = ModelAvl::fromShape(shape);
            for (size_t i = 0; i < keys.size(); ++i) {
                const int64_t key = keys[(first + i) % keys.size()];
                Keyed *e = kelu::test::findKeyed(pool, key);
                const AvlNode before = e->node;
                kelu::test::clearRecords();
                removeAvlNode(&tree, e);
                const ModelAvl::Outcome outcome = model.remove(key);
                ASSERT_EQ(kelu::test::checkTree(tree), "") << "removing " << key;
                ASSERT_EQ(kelu::test::shapeOf(tree), model.shape()) << "removing " << key;
                ASSERT_EQ(std::memcmp(&before, &e->node, sizeof before), 0);
                ASSERT_EQ(countRecords(831), outcome.rootWithoutPass ? 1u : 0u);
                ASSERT_EQ(kelu::test::logRecords().size(), countRecords(831));
            }
            ASSERT_EQ(tree.root, nullptr);
        }
    }
}

TEST_F(AvlExhaustive, EveryPlacementBesideEveryElement) {
    for (const std::string &shape : allAvlTrees(kMaxPlacementTree, 10)) {
        build(shape);
        const size_t n = pool.size();
        for (size_t at = 0; at < n; ++at) {
            for (uint32_t direction : {AVL_LEFT, AVL_RIGHT}) {
                build(shape);
                Keyed &here = pool[at];
                Keyed added{here.key + (direction == AVL_RIGHT ? 5 : -5), {}};
                SCOPED_TRACE(shape + " beside " + std::to_string(here.key) + " at " +
                             std::to_string(added.key));
                ModelAvl model = ModelAvl::fromShape(shape);
                kelu::test::clearRecords();
                ASSERT_EQ(insertAvlNodeSpecified(&tree, &added, &here, direction), 0u);
                const ModelAvl::Outcome outcome = model.insert(added.key);
                ASSERT_LE(outcome.rotations, 1);
                ASSERT_EQ(kelu::test::checkTree(tree), "");
                ASSERT_EQ(kelu::test::shapeOf(tree), model.shape());
                ASSERT_EQ(walkAvlNode(&tree, &here, direction), &added);
                ASSERT_EQ(walkAvlNode(&tree, &added, 1u - direction), &here);
                ASSERT_EQ(countRecords(828), outcome.stoppedBalanced ? 1u : 0u);
                ASSERT_EQ(kelu::test::logRecords().size(), countRecords(828));
            }
        }
    }
}

}  // namespace
