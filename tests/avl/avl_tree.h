// SPDX-License-Identifier: MIT
// The AVL tests' one element type and comparison, an invariant checker, and
// a one-line notation for exact tree shapes.
//
// Shape notation: a node is its key, then "+" or "-" when its balance is +1
// or -1, then "(left,right)" when it has a child; "." is an empty subtree and
// "" an empty tree. Example: "3(2-(1,.),5(4,8))".
#ifndef KELU_TESTS_AVL_TREE_H
#define KELU_TESTS_AVL_TREE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kelu_util_avl.h"

namespace kelu::test {

// The element of every AVL test: its key, then its link record, so that
// element and link record have different addresses.
struct Element {
    int64_t key;
    AvlNode node;
};
inline constexpr uint32_t kNodeOffset = offsetof(Element, node);

// Elements indexed by their key: pool[k].key == k.
inline constexpr int64_t kPoolKeys = 256;
struct Pool : std::array<Element, kPoolKeys> {
    Pool();
};

// The three-way comparison of two elements, or of an int64_t key (which
// lies where an element's key does) and an element.
int32_t compareKeys(void *key, void *element);

int64_t keyOf(const AvlTree &tree, const AvlNode *node);

// "" when the tree satisfies every invariant: parent and childIndex links,
// keys strictly ascending in order, every balance equal to the height
// difference and within -1..+1, nodeNum equal to the number of nodes.
// Otherwise the first violation found.
std::string checkTree(const AvlTree &tree);

// The tree in shape notation.
std::string shapeOf(const AvlTree &tree);

// Links the elements of `pool` into `tree` exactly as `shape` says, balances
// included, and returns their keys; `tree` has nodeOffset kNodeOffset.
std::vector<int64_t> buildFromShape(std::string_view shape, AvlTree &tree, Pool &pool);

}  // namespace kelu::test

#endif  // KELU_TESTS_AVL_TREE_H
