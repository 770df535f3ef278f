// SPDX-License-Identifier: MIT
// The AVL interpreter: runs operations on a tree of the library beside the
// sorted set of its keys, checking after each one every invariant
// (checkTree), the exact log records, the count, both ends, a walk each way
// over all elements, and for a search its result, the position it wrote and
// the nearest element on each side of a miss. Shared by the exhaustive
// tests, the fuzz target and the replay of its corpus.
#ifndef KELU_TESTS_AVL_HARNESS_H
#define KELU_TESTS_AVL_HARNESS_H

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "avl_tree.h"

namespace kelu::test {

class AvlHarness {
  public:
    // A tree holding `shape` (keys below kPoolKeys), empty by default.
    explicit AvlHarness(std::string_view shape = {});

    // Each runs one operation and its checks; false once any check failed.
    bool add(int64_t key);     // addAvlNode, of a present key too
    bool insert(int64_t key);  // findAvlNode, then insertAvlNode at its position
    bool place(int64_t here, uint32_t direction, int64_t key);  // insertAvlNodeSpecified
    bool remove(int64_t key);                                   // removeAvlNode of a present key
    bool search(int64_t key);  // findAvlNode and findAvlNearestNode
    bool destroy();            // destroyAvl

    // Runs a program of two-byte instructions (operation, key); one that
    // makes no sense in the current state does nothing.
    bool run(const uint8_t *data, size_t size);

    const std::string &failure() const { return failure_; }
    AvlTree &tree() { return tree_; }
    Element &element(int64_t key) { return pool_[static_cast<size_t>(key)]; }

  private:
    bool check(const std::string &operation, uint32_t code);  // code: the record expected, or 0
    template <typename Insert>
    bool inserted(const std::string &operation, int64_t key, Insert insert);
    bool fail(const std::string &what);
    bool described() const;  // compare, nodeOffset and userValue as createAvl() set them
    static constexpr uint32_t kUserValue = 0xCAFE;

    Pool pool_;
    AvlTree tree_{};
    std::set<int64_t> keys_;
    std::string failure_;
};

// Runs `data` as a program on a fresh empty tree: "" or the first failure.
inline std::string runAvl(const uint8_t *data, size_t size) {
    AvlHarness harness;
    return harness.run(data, size) ? "" : "AVL: " + harness.failure();
}

}  // namespace kelu::test

#endif  // KELU_TESTS_AVL_HARNESS_H
