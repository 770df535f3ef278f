// SPDX-License-Identifier: MIT
// Exhaustive small scope, through the AVL interpreter: every insertion order
// of up to eight keys, every removal order (in rotation from each key) from
// every AVL tree of up to twelve elements, and every placement beside every
// element of every AVL tree of up to eight elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "support/avl_harness.h"

namespace {

using kelu::test::AvlHarness;

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
            AvlHarness harness;
            for (int64_t key : order) {
                ASSERT_TRUE(harness.add(key)) << harness.failure();
            }
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

TEST(AvlExhaustive, EveryRemovalOrderFromEveryTree) {
    for (int n = 1; n <= 12; ++n) {
        for (int height = 1; height <= 5; ++height) {
            for (const std::string &shape : trees(0, n, height, 1)) {
                for (int first = 0; first < n; ++first) {
                    AvlHarness harness(shape);
                    for (int i = 0; i < n; ++i) {
                        ASSERT_TRUE(harness.remove((first + i) % n + 1)) << harness.failure();
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
                        AvlHarness harness(shape);
                        ASSERT_TRUE(harness.place(here, direction,
                                                  here + (direction == AVL_RIGHT ? 5 : -5)))
                            << harness.failure();
                    }
                }
            }
        }
    }
}

}  // namespace
