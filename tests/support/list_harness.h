// SPDX-License-Identifier: MIT
// The list interpreter: runs every list operation on a CounterList and a
// SpinLockList sharing one pool of nodes, mirrors each into a std::deque,
// and checks after each one both rings both ways against the deques, the
// counts, counterListEmpty, the poison in every node taken out, the node a
// cut returned, the lock's unlocked state, and the platform calls: none, but
// one lock and one unlock naming a locked operation (the ring unchanged when
// the lock is taken and complete when it is released), and one record for
// destroying a non-empty list. Shared by the exhaustive test, the fuzz
// target and the replay of its corpus.
#ifndef KELU_TESTS_LIST_HARNESS_H
#define KELU_TESTS_LIST_HARNESS_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "kelu_util_list.h"

namespace kelu::test {

class ListHarness {
  public:
    static constexpr size_t kNodes = 8;
    static constexpr size_t kOperations = 17;

    ListHarness();  // both lists set up over garbage

    // Runs operation `op`: a link takes the first free node from `hint` on,
    // an unlink the node at ring position `hint`. False once a check failed.
    bool apply(size_t op, size_t hint);
    // Runs a program of two-byte instructions (operation, hint).
    bool run(const uint8_t *data, size_t size);

    const std::string &failure() const { return failure_; }

  private:
    ListNode *call(size_t op, ListNode *node);
    std::vector<size_t> ring(int list);  // node indices; {kNodes} for a broken ring
    bool fail(const std::string &what);

    CounterList counter_;
    SpinLockList spin_;
    ListNode nodes_[kNodes];
    std::deque<size_t> models_[2];  // the CounterList's, the SpinLockList's
    int where_[kNodes];             // the list a node is in, or -1
    bool poisoned_[kNodes] = {};    // taken out, so its links hold the poison
    std::string failure_;
};

// Runs `data` as a program on fresh lists: "" or the first failure.
inline std::string runLists(const uint8_t *data, size_t size) {
    ListHarness harness;
    return harness.run(data, size) ? "" : "lists: " + harness.failure();
}

}  // namespace kelu::test

#endif  // KELU_TESTS_LIST_HARNESS_H
