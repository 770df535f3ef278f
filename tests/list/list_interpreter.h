// SPDX-License-Identifier: MIT
// The list interpreter: runs every list operation on a CounterList and a
// SpinLockList that share one pool of eight nodes, a to h, mirrors each into
// a std::deque, and checks after each one both rings both ways against the
// deques, the counts, counterListEmpty, the poison in every node taken out,
// the node a cut returned, the lock's unlocked state, and the platform calls:
// none, but one lock and one unlock naming a locked operation (the ring
// unchanged when the lock is taken and complete when it is released), and
// one record for destroying a non-empty list.
//
// Its operations are the seventeen exported operations that change a list,
// by their names; a link or unlink names its node ("counterListAdd a"), the
// others take nothing ("spinLockListCutLastNode"). The set-ups run over a
// head full of garbage, forgetting the nodes it held. In fuzz bytes an
// instruction is two bytes, the row and a hint: a link takes the first free
// node from the hint on, an unlink the node at that position of the ring.
#ifndef KELU_TESTS_LIST_INTERPRETER_H
#define KELU_TESTS_LIST_INTERPRETER_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kelu_util_list.h"
#include "support/interpreter.h"

namespace kelu::test {

class ListInterpreter : public Interpreting {
  public:
    static constexpr size_t kInstructionBytes = 2;
    static constexpr int64_t kNodes = 8;
    enum class Locking { None, Locked };

    // Both lists set up over garbage. `before` must be empty.
    explicit ListInterpreter(std::string_view before = {});
    // One step each; false once a check failed. `call` is the operation on
    // the head of type Head (CounterList or SpinLockList).
    template <typename Head>
    bool link(std::string_view name, int64_t node, bool atFront, Locking locking,
              void (*call)(ListNode *, Head *));
    template <typename Head>
    bool unlink(std::string_view name, int64_t node, Locking locking,
                void (*call)(ListNode *, Head *));
    template <typename Head>
    bool cut(std::string_view name, bool atFront, Locking locking, ListNode *(*call)(Head *));
    template <typename Head>
    bool init(std::string_view name, void (*call)(Head *));
    bool destroy();
    // "counter [a b], spin [c]": each ring from the front.
    std::string state() const;
    // The list a node is linked in (0 the CounterList, 1 the SpinLockList),
    // or -1; a list's nodes from the front.
    int listOf(int64_t node) const { return where_[node]; }
    const std::deque<int64_t> &model(int list) const { return models_[list]; }

  private:
    template <typename Head>
    static constexpr int listIndex = std::is_same_v<Head, CounterList> ? 0 : 1;
    template <typename Head>
    Head *head() {
        if constexpr (listIndex<Head> == 0) {
            return &counter_;
        } else {
            return &spin_;
        }
    }

    // Runs `call` under the lock hook and checks everything against the models.
    template <typename Call>
    bool checked(std::string_view name, int list, Locking locking, const char *record,
                 const std::vector<int64_t> &taken, Call call);
    std::vector<int64_t> ring(int list) const;  // node indices; {kNodes} for a broken ring

    CounterList counter_;
    SpinLockList spin_;
    ListNode nodes_[kNodes];
    std::deque<int64_t> models_[2];  // the CounterList's, the SpinLockList's
    int where_[kNodes];
    bool poisoned_[kNodes] = {};  // taken out, so its links hold the poison
};

extern const std::span<const Operation<ListInterpreter>> kListOperations;

}  // namespace kelu::test

#endif  // KELU_TESTS_LIST_INTERPRETER_H
