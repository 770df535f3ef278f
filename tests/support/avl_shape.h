// Test support for the AVL tree: an invariant checker, a one-line notation
// for exact tree shapes, and a builder that links a tree from that notation.
//
// Shape notation: a node is its key, then "+" or "-" when its balance is +1
// or -1, then "(left,right)" when it has a child; "." is an empty subtree and
// "" an empty tree. Example: "3(2-(1,.),5(4,8))".
//
// Every element used with these helpers starts with its int64_t key.
#ifndef KELU_TESTS_AVL_SHAPE_H
#define KELU_TESTS_AVL_SHAPE_H

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "kelu_util_avl.h"

namespace kelu::test {

inline int64_t keyOf(const void *element) {
    return *static_cast<const int64_t *>(element);
}

// The element type of most AVL tests: key first, one link record.
struct Keyed {
    int64_t key;
    AvlNode node;
};

// The three-way comparison of two keyed records (or a key and a record).
int32_t compareKeys(void *key, void *element);

// "" when the tree satisfies every invariant: parent and childIndex links,
// strictly ascending keys in order, balance equal to the height difference
// and within -1..+1, nodeNum equal to the number of nodes. Otherwise the
// first violation found.
std::string checkTree(const AvlTree &tree);

// The keys in order.
std::vector<int64_t> inOrderKeys(const AvlTree &tree);

// The tree in shape notation (keys and balances only).
std::string shapeOf(const AvlTree &tree);

// Mirror image of a shape: children swapped, balances negated.
std::string mirrorShape(const std::string &shape);

// Links elements taken from `pool` (appended, one per node) into `tree`
// exactly as `shape` says, with the balances it gives; `tree` must have been
// set up by createAvl() with nodeOffset offsetof(Keyed, node).
void buildFromShape(const std::string &shape, AvlTree &tree, std::deque<Keyed> &pool);

// The element of `pool` with `key`, or null.
Keyed *findKeyed(std::deque<Keyed> &pool, int64_t key);

}  // namespace kelu::test

#endif  // KELU_TESTS_AVL_SHAPE_H
