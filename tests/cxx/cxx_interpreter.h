// SPDX-License-Identifier: MIT
// The typed layer's interpreter: runs every operation of kelu::avl_set,
// kelu::avl_multiset, kelu::counter_list and kelu::spin_lock_list (and its
// guard) beside std::set, std::multiset and std::deque models, checking what
// each call returns, and after each step every container both ways against
// its model (forward, backward, const, reversed, size, ends, iterator_to),
// every lookup of the sets through C where a C comparison exists, and, in
// checked mode, that exactly the elements in a container read as linked.
//
// Twelve elements a to l share the containers; element i has key i / 2, so
// pairs of elements have equal keys. A program names the container and the
// operation ("set.insert a, multi.hint c b, list.splice d"); a key is a
// number ("set.erase_key 2"), the hint z stands for end(). The containers:
// set and multi (each through its own hook), list and spare (counter lists
// sharing one hook), spin and spin2 (locked lists sharing another; their
// "spin." rows run through a guard, "spin.locked_" rows through the locked
// operations). In fuzz bytes an instruction is three bytes, the row and two
// hints choosing among the elements that the row can take.
//
// The interpreter runs in both modes with different comparisons, each
// ascending by key: checked, a stateless three-way set and a multiset with a
// stateful less-than predicate; unchecked, a set with std::less<> and a
// multiset with a stateful three-way comparison.
#ifndef KELU_TESTS_CXX_INTERPRETER_H
#define KELU_TESTS_CXX_INTERPRETER_H

#include <compare>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kelu_util.hpp"
#include "support/interpreter.h"

namespace kelu::test {

// Orders by key * scale: stateful, ascending for scale 1.
struct ScaledLess {
    int64_t scale;
    bool operator()(int64_t a, int64_t b) const { return a * scale < b * scale; }
};
struct ScaledThreeWay {
    int64_t scale;
    std::strong_ordering operator()(int64_t a, int64_t b) const { return a * scale <=> b * scale; }
};

enum Which { kSet, kMulti, kList, kSpare, kSpin, kSpin2 };

template <bool Checked>
class CxxInterpreter : public Interpreting {
  public:
    static constexpr size_t kInstructionBytes = 3;
    static constexpr int64_t kElements = 12, kEnd = 25;

    struct Element {
        int64_t key;
        kelu::avl_hook<Checked> inSet;
        AvlNode inMulti{};
        kelu::list_hook<Checked> inList;
        ListNode inSpin{};
    };
    using ByKey = kelu::member_key<&Element::key>;
    using Set = kelu::avl_set<Element, &Element::inSet,
                              std::conditional_t<Checked, std::compare_three_way, std::less<>>,
                              ByKey, Checked>;
    using Multi =
        kelu::avl_multiset<Element, &Element::inMulti,
                           std::conditional_t<Checked, ScaledLess, ScaledThreeWay>, ByKey, Checked>;
    using List = kelu::counter_list<Element, &Element::inList, Checked>;
    using Spin = kelu::spin_lock_list<Element, &Element::inSpin, Checked>;
    // Element indices ordered by key, as the sets order the elements.
    using Model = std::function<bool(int64_t, int64_t)>;

    // The containers after running `before`, a program whose steps check
    // what they return but leave the containers to the first verify().
    explicit CxxInterpreter(std::string_view before = {});

    // "set [a c], list [b]": each non-empty container in its order.
    std::string state() const;
    bool verify(std::string_view step);  // every check, after a step
    using Interpreting::fail;
    // Whether element e can be linked in container c (it is in no container
    // sharing c's hook), and the elements of c in order.
    bool linkable(Which c, int64_t e) const;
    std::vector<int64_t> in(Which c) const;

    Element pool[kElements];  // first: destroyed after the containers
    Set set{typename Set::key_compare{}};
    Multi multi{typename Multi::key_compare{1}};
    List list, spare;
    Spin spin, spin2;
    std::set<int64_t, Model> setModel{byKey};
    std::multiset<int64_t, Model> multiModel{byKey};
    std::deque<int64_t> lists[4];  // list, spare, spin, spin2
    static bool byKey(int64_t a, int64_t b) { return a / 2 < b / 2; }

  private:
    template <typename Range>
    bool holds(Range &range, Which c);
    bool settingUp_ = true;
};

template <bool Checked>
std::span<const Operation<CxxInterpreter<Checked>>> cxxOperations();

}  // namespace kelu::test

#endif  // KELU_TESTS_CXX_INTERPRETER_H
