// Randomised differential run: a long mix of additions, positioned and
// placed insertions, removals, searches, nearest lookups and walks, mirrored
// into std::set and the reference model. The invariants are checked after
// every change. The seed is printed; KELU_AVL_SEED=<n> replays a run.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "kelu_util_avl.h"
#include "support/avl_model.h"
#include "support/avl_shape.h"
#include "support/recording_platform.h"

namespace {

// Stored by createAvl and never touched again, whatever runs afterwards.
constexpr uint32_t kUserValue = 0xA5C3F00Du;

using kelu::test::Keyed;

#ifdef KELU_SANITIZED_BUILD
constexpr int kOperations = 30000;
#else
constexpr int kOperations = 200000;
#endif
constexpr int64_t kKeys = 2048;  // key universe: the tree hovers around half of it
constexpr int kSweepEvery = 4000;

uint64_t seedFromEnvironment() {
    const char *text = std::getenv("KELU_AVL_SEED");
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 0) : 20261205u;
}

class AvlRandom : public ::testing::Test {
  protected:
    void SetUp() override {
        kelu::test::setRecording(false);  // hundreds of thousands of debug records
        ASSERT_EQ(createAvl(&tree, kelu::test::compareKeys, kUserValue, offsetof(Keyed, node)), 0u);
        elements.resize(kKeys);
        for (int64_t k = 0; k < kKeys; ++k) {
            elements[static_cast<size_t>(k)].key = k;
        }
    }
    void TearDown() override { kelu::test::setRecording(true); }

    Keyed *element(int64_t key) { return &elements[static_cast<size_t>(key)]; }
    void *keyed(int64_t key) { return element(key); }

    // The element of the tree nearest after (AVL_RIGHT) or before a miss.
    void *expectedNearest(int64_t key, uint32_t direction) {
        auto it = model.lower_bound(key);
        if (direction == AVL_RIGHT) {
            return it == model.end() ? nullptr : keyed(*it);
        }
        return it == model.begin() ? nullptr : keyed(*std::prev(it));
    }

    void checkSearch(int64_t key) {
        AvlIndex position = 1;
        void *found = findAvlNode(&tree, &key, &position);
        if (model.count(key) != 0) {
            ASSERT_EQ(found, keyed(key));
            ASSERT_EQ(position, 1u);
            return;
        }
        ASSERT_EQ(found, nullptr);
        ASSERT_EQ(position == 0, model.empty());
        for (uint32_t direction : {AVL_LEFT, AVL_RIGHT}) {
            ASSERT_EQ(findAvlNearestNode(&tree, position, direction),
                      expectedNearest(key, direction))
                << "key " << key << " direction " << direction;
        }
    }

    void checkWalk(int64_t key) {
        auto it = model.find(key);
        void *next = std::next(it) == model.end() ? nullptr : keyed(*std::next(it));
        void *prev = it == model.begin() ? nullptr : keyed(*std::prev(it));
        ASSERT_EQ(walkAvlNode(&tree, keyed(key), AVL_RIGHT), next);
        ASSERT_EQ(walkAvlNode(&tree, keyed(key), AVL_LEFT), prev);
    }

    // Every miss position, every element's neighbours, both ends and the count.
    void sweep() {
        for (int64_t key = -1; key <= kKeys; ++key) {
            ASSERT_NO_FATAL_FAILURE(checkSearch(key));
        }
        std::vector<int64_t> up, down;
        for (void *e = getAvlFirstNode(&tree); e != nullptr; e = walkAvlNode(&tree, e, AVL_RIGHT)) {
            up.push_back(kelu::test::keyOf(e));
        }
        for (void *e = getAvlLastNode(&tree); e != nullptr; e = walkAvlNode(&tree, e, AVL_LEFT)) {
            down.push_back(kelu::test::keyOf(e));
        }
        ASSERT_EQ(up, std::vector<int64_t>(model.begin(), model.end()));
        ASSERT_EQ(down, std::vector<int64_t>(model.rbegin(), model.rend()));
        ASSERT_EQ(kelu::test::shapeOf(tree), reference.shape());
    }

    // A random key of the tree (the tree must not be empty).
    int64_t presentKey(std::mt19937_64 &random) {
        auto it = model.lower_bound(static_cast<int64_t>(random() % kKeys));
        return it == model.end() ? *model.begin() : *it;
    }

    AvlTree tree{};
    std::vector<Keyed> elements;
    std::set<int64_t> model;
    kelu::test::ModelAvl reference;
};

TEST_F(AvlRandom, DifferentialAgainstStdSet) {
    const uint64_t seed = seedFromEnvironment();
    std::cout << "KELU_AVL_SEED=" << seed << "\n";
    SCOPED_TRACE("KELU_AVL_SEED=" + std::to_string(seed));
    std::mt19937_64 random(seed);

    for (int op = 0; op < kOperations; ++op) {
        SCOPED_TRACE("operation " + std::to_string(op));
        const int64_t key = static_cast<int64_t>(random() % kKeys);
        const unsigned kind = static_cast<unsigned>(random() % 16);
        bool changed = false;
        if (kind < 4) {  // add, possibly a duplicate
            const size_t before = model.size();
            addAvlNode(&tree, keyed(key));
            changed = model.insert(key).second;
            ASSERT_EQ(model.size() - before, changed ? 1u : 0u);
            reference.insert(key);
        } else if (kind < 6) {  // search, then link at the position it gave
            AvlIndex position = 0;
            if (findAvlNode(&tree, keyed(key), &position) == nullptr) {
                ASSERT_EQ(insertAvlNode(&tree, keyed(key), position), 0u);
                changed = model.insert(key).second;
                ASSERT_TRUE(changed);
                reference.insert(key);
            }
        } else if (kind < 8 && !model.empty()) {  // place right beside an element
            const int64_t here = presentKey(random);
            const uint32_t direction = static_cast<uint32_t>(random() & 1);
            auto it = model.find(here);
            const int64_t limit = direction == AVL_RIGHT
                                      ? (std::next(it) == model.end() ? kKeys : *std::next(it))
                                      : (it == model.begin() ? -1 : *std::prev(it));
            const int64_t gap = direction == AVL_RIGHT ? limit - here - 1 : here - limit - 1;
            if (gap > 0) {
                const int64_t offset =
                    1 + static_cast<int64_t>(random() % static_cast<uint64_t>(gap));
                const int64_t added = direction == AVL_RIGHT ? here + offset : here - offset;
                ASSERT_EQ(insertAvlNodeSpecified(&tree, keyed(added), keyed(here), direction), 0u);
                changed = model.insert(added).second;
                ASSERT_TRUE(changed);
                reference.insert(added);
            }
        } else if (kind < 12 && !model.empty()) {  // remove
            const int64_t gone = presentKey(random);
            removeAvlNode(&tree, keyed(gone));
            model.erase(gone);
            reference.remove(gone);
            changed = true;
        } else if (kind < 14) {
            ASSERT_NO_FATAL_FAILURE(checkSearch(key));
        } else if (!model.empty()) {
            ASSERT_NO_FATAL_FAILURE(checkWalk(presentKey(random)));
            ASSERT_EQ(getAvlFirstNode(&tree), keyed(*model.begin()));
            ASSERT_EQ(getAvlLastNode(&tree), keyed(*model.rbegin()));
        }
        if (changed) {
            ASSERT_EQ(kelu::test::checkTree(tree), "");
            ASSERT_EQ(tree.userValue, kUserValue);
        }
        ASSERT_EQ(getAvlNodeNum(&tree), model.size());
        if (op % kSweepEvery == 0) {
            ASSERT_NO_FATAL_FAILURE(sweep());
        }
    }
    ASSERT_NO_FATAL_FAILURE(sweep());
}

}  // namespace
