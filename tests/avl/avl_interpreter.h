// SPDX-License-Identifier: MIT
// The AVL interpreter: runs operations on a tree of the library beside the
// sorted set of its keys, and checks after each one every invariant
// (checkTree), the exact log records, the count, both ends, a walk each way
// over all elements, and for a search its result, the position it wrote and
// the nearest element on each side of a miss; the inline reads
// (kelu_util_avl_inline.h) must give the same ends, walks and searches.
//
// Its operations, as a program writes them (keys are 0 to 255):
//   add k        addAvlNode of element k (of a present key too: refused)
//   insert k     findAvlNode for k, then insertAvlNode at the position found
//   remove k     removeAvlNode of the present element k
//   find k       findAvlNode for k, and findAvlNearestNode both ways on a miss
//   after h k    insertAvlNodeSpecified: k becomes the successor of present h
//   before h k   insertAvlNodeSpecified: k becomes the predecessor of present h
//   destroy      destroyAvl
// In fuzz bytes an instruction is two bytes, the row and a key; for remove,
// after and before the key picks the present key at or after it (wrapping
// round), and after and before put k in the middle of the free gap there.
#ifndef KELU_TESTS_AVL_INTERPRETER_H
#define KELU_TESTS_AVL_INTERPRETER_H

#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "avl/avl_tree.h"
#include "support/interpreter.h"

namespace kelu::test {

class AvlInterpreter : public Interpreting {
  public:
    static constexpr size_t kInstructionBytes = 2;

    // A tree holding `shape` (shape notation, keys below kPoolKeys).
    explicit AvlInterpreter(std::string_view shape = {});
    // Each runs one operation and its checks; false once any check failed.
    bool add(int64_t key);
    bool insert(int64_t key);
    bool place(int64_t here, uint32_t direction, int64_t key);
    bool remove(int64_t key);
    bool find(int64_t key);
    bool destroy();
    std::string state() const { return shapeOf(tree_); }
    const std::set<int64_t> &keys() const { return keys_; }

  private:
    bool check(const std::string &operation, const char *expected);  // the records expected
    template <typename Insert>
    bool inserted(const std::string &operation, int64_t key, Insert insert);
    bool described() const;  // compare, nodeOffset and userValue as createAvl() set them
    Element &element(int64_t key) { return pool_[static_cast<size_t>(key)]; }
    static constexpr uint32_t kUserValue = 0xCAFE;

    Pool pool_;
    AvlTree tree_{};
    std::set<int64_t> keys_;
};

extern const std::span<const Operation<AvlInterpreter>> kAvlOperations;

}  // namespace kelu::test

#endif  // KELU_TESTS_AVL_INTERPRETER_H
