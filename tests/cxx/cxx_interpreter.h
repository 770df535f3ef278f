// SPDX-License-Identifier: MIT
// The typed layer's interpreter: each operation of kelu::avl_set,
// kelu::avl_multiset, kelu::counter_list and kelu::spin_lock_list (and its
// guard) is one call, run on std::set, std::multiset and std::deque models
// of element indices, and on a checked and an unchecked copy of every
// container; the results must agree, and after each step every container,
// walked every way (forward, backward, const, reversed, ends, size,
// iterator_to), must hold its model's elements, a set's C lookups must agree
// where its C comparison exists, and in checked mode exactly the linked
// elements must read as linked.
//
// Twelve elements a to l; element i has key i / 2. A program names the
// container and the operation ("set.insert a, multi.hint c b, list.splice
// d"); a key is a number ("set.erase_key 2"), the hint z is end(). The
// containers: set and multi; list and spare (counter lists sharing a hook);
// spin and spin2 (locked lists sharing another, run through a guard, and by
// "spin.locked_" rows through the list's own locking operations). In fuzz
// bytes an instruction is three bytes, the row and two hints.
//
// Comparisons, all ascending by key: checked, a stateless three-way set and
// a multiset with a stateful less-than; unchecked, a set with std::less<>
// and a multiset with a stateful signed difference. The elements are not
// standard-layout.
#ifndef KELU_TESTS_CXX_INTERPRETER_H
#define KELU_TESTS_CXX_INTERPRETER_H

#include <algorithm>
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

enum Which { kSet, kMulti, kList, kSpare, kSpin, kSpin2, kLocked };  // kLocked: spin, unguarded

struct ScaledLess {
    int64_t scale;
    bool operator()(int64_t a, int64_t b) const { return a * scale < b * scale; }
};
struct ScaledDifference {
    int64_t scale;
    int64_t operator()(int64_t a, int64_t b) const { return a * scale - b * scale; }
};

// Every container in one mode, over its own elements.
template <bool Checked>
struct World {
    struct Element {
        int64_t key = 0;
        kelu::avl_hook<Checked> inSet;
        AvlNode inMulti{};
        kelu::list_hook<Checked> inList;
        ListNode inSpin{};
        virtual ~Element() = default;
    };
    using ByKey = kelu::member_key<&Element::key>;
    using Less = std::conditional_t<Checked, std::compare_three_way, std::less<>>;
    using Scaled = std::conditional_t<Checked, ScaledLess, ScaledDifference>;

    World() {
        for (int64_t e = 0; e < 12; ++e) {
            pool[e].key = e / 2;
        }
    }
    // The index of an element or of an iterator's element; -1 for none.
    int64_t of(const Element *e) const { return e != nullptr ? e - pool : -1; }
    int64_t at(const auto &range, auto it) const { return it == range.end() ? -1 : of(&*it); }
    // Records each element a disposer is handed, or -1 for one whose hook
    // still reads as linked in checked mode.
    auto recorder(const auto &tree, std::vector<int64_t> &into) const {
        return [this, &into](const Element *e) {
            const bool inSet = std::is_same_v<std::remove_cvref_t<decltype(tree)>, decltype(set)>;
            into.push_back(Checked && kelu::detail::linked(inSet ? e->inSet : e->inMulti) ? -1
                                                                                          : of(e));
        };
    }

    Element pool[12];  // first: destroyed after the containers
    kelu::avl_set<Element, &Element::inSet, Less, ByKey, Checked> set{Less{}};
    kelu::avl_multiset<Element, &Element::inMulti, Scaled, ByKey, Checked> multi{Scaled{1}};
    kelu::counter_list<Element, &Element::inList, Checked> list, spare;
    kelu::spin_lock_list<Element, &Element::inSpin, Checked> spin, spin2;
};

// The models: element indices in the standard containers, extended to the
// typed containers' interface (element i is pool[i]; a key is an int32_t).
struct Models {
    using Order = bool (*)(int64_t, int64_t);
    static bool byKey(int64_t a, int64_t b) { return a / 2 < b / 2; }
    static constexpr int64_t pool[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

    template <bool Multi>
    struct Tree
        : std::conditional_t<Multi, std::multiset<int64_t, Order>, std::set<int64_t, Order>> {
        using Set =
            std::conditional_t<Multi, std::multiset<int64_t, Order>, std::set<int64_t, Order>>;
        using iterator = typename Set::const_iterator;
        using Set::insert, Set::erase;
        explicit Tree(Order = byKey) : Set(byKey) {}
        // A multiset's hint is taken when it is right for the key.
        iterator insert(iterator hint, const int64_t &e) {
            const bool fits = (hint == this->begin() || !byKey(e, *std::prev(hint))) &&
                              (hint == this->end() || !byKey(*hint, e));
            return Set::insert(Multi && !fits ? Set::upper_bound(e) : hint, e);
        }
        iterator insert_before(const int64_t &h, const int64_t &e) {
            return insert(iterator_to(h), e);
        }
        iterator insert_after(const int64_t &h, const int64_t &e) {
            return insert(std::next(iterator_to(h)), e);
        }
        void erase(const int64_t &e) { Set::erase(iterator_to(e)); }
        size_t erase(int32_t k) { return Set::erase(2 * k); }
        iterator erase_and_dispose(iterator it, auto dispose) {
            dispose(&pool[*it]);
            return Set::erase(it);
        }
        size_t erase_and_dispose(int32_t k, auto dispose) {
            std::for_each(lower_bound(k), upper_bound(k), [&](int64_t e) { dispose(&pool[e]); });
            return erase(k);
        }
        void clear_and_dispose(auto dispose) {
            std::for_each(this->begin(), this->end(), [&](int64_t e) { dispose(&pool[e]); });
            this->clear();
        }
        iterator find(int32_t k) const { return contains(k) ? lower_bound(k) : this->end(); }
        bool contains(int32_t k) const { return count(k) > 0; }
        size_t count(int32_t k) const { return Set::count(2 * k); }
        iterator lower_bound(int32_t k) const { return Set::lower_bound(2 * k); }
        iterator upper_bound(int32_t k) const { return Set::upper_bound(2 * k); }
        auto equal_range(int32_t k) const { return Set::equal_range(2 * k); }
        iterator iterator_to(const int64_t &e) const {
            return std::find(this->begin(), this->end(), e);
        }
    };

    struct List : std::deque<int64_t> {
        using deque::erase, deque::insert;
        const int64_t *pop_front() { return pop(true); }
        const int64_t *pop_back() { return pop(false); }
        void erase(const int64_t &e) { erase(iterator_to(e)); }
        void splice(iterator position, List &other, iterator e) {
            insert(position, *e);
            other.erase(e);
        }
        void splice(iterator position, List &other) {
            insert(position, other.begin(), other.end());
            other.clear();
        }
        iterator iterator_to(const int64_t &e) { return std::find(begin(), end(), e); }
        List &lock() { return *this; }  // as a locked list's guard
        const int64_t *pop(bool front) {
            const int64_t *taken =
                empty() ? nullptr : &pool[front ? deque::front() : deque::back()];
            empty() ? void() : front ? deque::pop_front() : deque::pop_back();
            return taken;
        }
    };

    int64_t of(const int64_t *e) const { return e != nullptr ? *e : -1; }
    int64_t at(const auto &range, auto it) const { return it == range.end() ? -1 : *it; }
    auto recorder(const auto &, std::vector<int64_t> &into) const {
        return [&into](const int64_t *e) { into.push_back(*e); };
    }

    Tree<false> set;
    Tree<true> multi;
    List list, spare, spin, spin2;
};

class CxxInterpreter : public Interpreting {
  public:
    static constexpr size_t kInstructionBytes = 3;
    static constexpr int64_t kElements = 12, kEnd = 25;

    // The containers after `before`, a program whose steps check what they
    // return but leave the containers to the first step after it.
    explicit CxxInterpreter(std::string_view before = {});
    // Runs call(target) on the models and on both worlds, which must return
    // what the models return; false, or every container verified.
    template <typename Call>
    bool step(std::string_view name, Call call) {
        const auto expected = call(models);
        const bool same = call(checked_) == expected && call(unchecked_) == expected;
        return same ? verify(name) : fail(std::string(name) + ": wrong result");
    }
    // "set [a c], list [b]": each non-empty container in its order.
    std::string state() const;
    // Whether element e is in no container sharing c's hook; c's elements.
    bool linkable(Which c, int64_t e) const;
    std::vector<int64_t> in(Which c) const;
    Models models;

  private:
    bool verify(std::string_view step);
    template <bool Checked>
    bool holdsAll(World<Checked> &world) const;
    template <typename Range, typename Element>
    bool holds(Range &range, const Element *pool, Which c) const;

    World<true> checked_;
    World<false> unchecked_;
    bool settingUp_ = true;
};

extern const std::span<const Operation<CxxInterpreter>> kCxxOperations;

}  // namespace kelu::test

#endif  // KELU_TESTS_CXX_INTERPRETER_H
