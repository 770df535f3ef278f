// SPDX-License-Identifier: MIT
#include "cxx/cxx_interpreter.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <type_traits>
#include <utility>

#include "support/recording_platform.h"

namespace kelu::test {
namespace {

template <bool C>
using Cxx = CxxInterpreter<C>;
constexpr int64_t kElements = Cxx<true>::kElements, kEnd = Cxx<true>::kEnd;
constexpr int64_t kKeys = kElements / 2 + 1;  // one key more than the elements have

// Where a row's elements come from: the `hint`-th element that can be
// linked in W, or that is in W, wrapping round.
template <bool C, Which W>
std::optional<int64_t> linkable(const Cxx<C> &x, uint64_t hint) {
    for (int64_t i = 0; i < kElements; ++i) {
        const int64_t e = (static_cast<int64_t>(hint % kElements) + i) % kElements;
        if (x.linkable(W, e)) {
            return e;
        }
    }
    return std::nullopt;
}
template <bool C, Which W>
std::optional<int64_t> member(const Cxx<C> &x, uint64_t hint) {
    const std::vector<int64_t> in = x.in(W);
    return in.empty() ? std::nullopt : std::optional(in[hint % in.size()]);
}
std::optional<Args> pair(std::optional<int64_t> a, std::optional<int64_t> b) {
    return a && b ? std::optional(Args{*a, *b}) : std::nullopt;
}
template <bool C, Which W>
std::optional<Args> free1(const Cxx<C> &x, uint64_t bytes) {
    return pair(linkable<C, W>(x, bytes), 0);
}
template <bool C, Which W>
std::optional<Args> in1(const Cxx<C> &x, uint64_t bytes) {
    return pair(member<C, W>(x, bytes), 0);
}
template <bool C>
std::optional<Args> key1(const Cxx<C> &, uint64_t bytes) {
    return Args{static_cast<int64_t>(bytes % kKeys), 0};
}
template <bool C>
std::optional<Args> keys2(const Cxx<C> &, uint64_t bytes) {
    const auto a = static_cast<int64_t>(bytes % kKeys),
               b = static_cast<int64_t>(bytes / 256 % kKeys);
    return Args{std::min(a, b), std::max(a, b)};
}
template <bool C, Which W>
std::optional<Args> twoFree(const Cxx<C> &x, uint64_t bytes) {
    const std::optional<int64_t> a = linkable<C, W>(x, bytes);
    const std::optional<int64_t> b =
        a ? linkable<C, W>(x, static_cast<uint64_t>(*a) + 1 + bytes / 256 % 4) : a;
    return a != b ? pair(a, b) : std::nullopt;
}
// A hint (an element of W, or end()) and an element to link.
template <bool C, Which W>
std::optional<Args> hinted(const Cxx<C> &x, uint64_t bytes) {
    const size_t members = x.in(W).size();
    const bool atEnd = bytes / 256 % (members + 1) == members;
    return pair(atEnd ? kEnd : member<C, W>(x, bytes / 256), linkable<C, W>(x, bytes));
}
// An element of W and one that may be linked right before it (side 0) or
// right after it (side 1) without breaking the order.
template <bool C, Which W, int side>
std::optional<Args> beside(const Cxx<C> &x, uint64_t bytes) {
    const std::vector<int64_t> in = x.in(W);
    const std::optional<int64_t> here = member<C, W>(x, bytes / 256);
    if (!here) {
        return std::nullopt;
    }
    const auto at = std::find(in.begin(), in.end(), *here);
    const auto low = side == 0 ? (at == in.begin() ? in.end() : std::prev(at)) : at;
    const auto high = side == 0 ? at : std::next(at);
    for (int64_t i = 0; i < kElements; ++i) {  // strictly between the keys, for a set
        const int64_t e = (static_cast<int64_t>(bytes % kElements) + i) % kElements;
        const int64_t strict = W == kSet ? 1 : 0;
        if (x.linkable(W, e) && (low == in.end() || *low / 2 + strict <= e / 2) &&
            (high == in.end() || e / 2 + strict <= *high / 2)) {
            return Args{*here, e};
        }
    }
    return std::nullopt;
}

template <bool C, Which W>
auto &tree(Cxx<C> &x) {
    if constexpr (W == kSet) {
        return x.set;
    } else {
        return x.multi;
    }
}
template <bool C, Which W>
auto &model(Cxx<C> &x) {
    if constexpr (W == kSet) {
        return x.setModel;
    } else {
        return x.multiModel;
    }
}
// Runs `call` on list L: the counter list itself, or a guard of the locked one.
template <bool C, Which L, typename Call>
decltype(auto) onList(Cxx<C> &x, Call call) {
    if constexpr (L == kList || L == kSpare) {
        return call(L == kList ? x.list : x.spare);
    } else {
        auto guard = (L == kSpin ? x.spin : x.spin2).lock();
        return call(guard);
    }
}

template <bool C, typename Range, typename It>
int64_t at(const Cxx<C> &x, const Range &range, It it) {
    return it == range.end() ? -1 : &*it - x.pool;
}
template <typename Model, typename It>
int64_t at(const Model &model, It it) {
    return it == model.end() ? -1 : *it;
}
template <bool C>
bool step(Cxx<C> &x, std::string_view name, bool returned) {
    return returned ? x.verify(name) : x.fail(std::string(name) + ": wrong result");
}
// Records what a disposer is handed: the element, or -1 when its hook still
// reads as linked in checked mode.
template <bool C, Which W>
auto disposer(std::vector<int64_t> &into, Cxx<C> &x) {
    return [&into, &x](typename Cxx<C>::Element *e) {
        const auto &hook = W == kSet ? static_cast<const AvlNode &>(e->inSet) : e->inMulti;
        into.push_back(C && kelu::detail::linked(hook) ? -1 : e - x.pool);
    };
}

template <bool C, Which W>
bool insert(Cxx<C> &x, std::string_view name, const Args &a) {
    if constexpr (W == kSet) {
        const auto [it, inserted] = x.set.insert(x.pool[a[0]]);
        const auto [expected, went] = x.setModel.insert(a[0]);
        return step(x, name, at(x, x.set, it) == *expected && inserted == went);
    } else {
        return step(x, name,
                    at(x, x.multi, x.multi.insert(x.pool[a[0]])) == *x.multiModel.insert(a[0]));
    }
}
// A hint right for the key is taken (a multiset's equal keys included),
// otherwise the element goes where insert() puts it.
template <bool C, Which W>
bool hint(Cxx<C> &x, std::string_view name, const Args &a) {
    auto &t = tree<C, W>(x);
    auto &m = model<C, W>(x);
    const auto it = t.insert(a[0] == kEnd ? t.end() : t.iterator_to(x.pool[a[0]]), x.pool[a[1]]);
    const auto h = std::find(m.begin(), m.end(), a[0]);
    auto expected = m.end();
    if constexpr (W == kSet) {
        expected = m.insert(h, a[1]);
    } else {
        const bool fits = (h == m.begin() || !m.key_comp()(a[1], *std::prev(h))) &&
                          (h == m.end() || !m.key_comp()(*h, a[1]));
        expected = fits ? m.insert(h, a[1]) : m.insert(a[1]);
    }
    return step(x, name, at(x, t, it) == *expected);
}
template <bool C, Which W, int side>
bool place(Cxx<C> &x, std::string_view name, const Args &a) {
    auto &t = tree<C, W>(x);
    auto &m = model<C, W>(x);
    const auto h = std::find(m.begin(), m.end(), a[0]);
    m.insert(side == 0 ? h : std::next(h), a[1]);
    const auto it = side == 0 ? t.insert_before(x.pool[a[0]], x.pool[a[1]])
                              : t.insert_after(x.pool[a[0]], x.pool[a[1]]);
    return step(x, name, at(x, t, it) == a[1]);
}
template <bool C, Which W>
bool range(Cxx<C> &x, std::string_view name, const Args &a) {
    std::reference_wrapper<typename Cxx<C>::Element> both[] = {x.pool[a[0]], x.pool[a[1]]};
    tree<C, W>(x).insert(std::begin(both), std::end(both));
    model<C, W>(x).insert(a[0]);
    model<C, W>(x).insert(a[1]);
    return x.verify(name);
}
template <bool C, Which W>
bool erase(Cxx<C> &x, std::string_view name, const Args &a) {
    tree<C, W>(x).erase(x.pool[a[0]]);
    model<C, W>(x).erase(std::find(model<C, W>(x).begin(), model<C, W>(x).end(), a[0]));
    return x.verify(name);
}
template <bool C, Which W, bool disposing>
bool eraseAt(Cxx<C> &x, std::string_view name, const Args &a) {
    auto &t = tree<C, W>(x);
    auto &m = model<C, W>(x);
    std::vector<int64_t> disposed;
    const auto it =
        disposing ? t.erase_and_dispose(t.iterator_to(x.pool[a[0]]), disposer<C, W>(disposed, x))
                  : t.erase(t.iterator_to(x.pool[a[0]]));
    const int64_t next = at(m, m.erase(std::find(m.begin(), m.end(), a[0])));
    return step(x, name,
                at(x, t, it) == next &&
                    disposed == (disposing ? std::vector{a[0]} : std::vector<int64_t>{}));
}
template <bool C, Which W, bool disposing>
bool eraseKey(Cxx<C> &x, std::string_view name, const Args &a) {
    auto &m = model<C, W>(x);
    const auto [first, last] = m.equal_range(2 * a[0]);
    const std::vector<int64_t> equal(first, last);
    std::vector<int64_t> disposed;
    const size_t erased = disposing
                              ? tree<C, W>(x).erase_and_dispose(a[0], disposer<C, W>(disposed, x))
                              : tree<C, W>(x).erase(a[0]);
    m.erase(first, last);
    return step(x, name, erased == equal.size() && (!disposing || disposed == equal));
}
template <bool C, Which W>
bool eraseRange(Cxx<C> &x, std::string_view name, const Args &a) {
    auto &t = tree<C, W>(x);
    auto &m = model<C, W>(x);
    const auto it = t.erase(t.lower_bound(a[0]), t.lower_bound(a[1]));
    return step(x, name,
                at(x, t, it) == at(m, m.erase(m.lower_bound(2 * a[0]), m.lower_bound(2 * a[1]))));
}
template <bool C, Which W, bool disposing>
bool clear(Cxx<C> &x, std::string_view name, const Args &) {
    std::vector<int64_t> disposed, held = x.in(W);
    disposing ? tree<C, W>(x).clear_and_dispose(disposer<C, W>(disposed, x))
              : tree<C, W>(x).clear();
    model<C, W>(x).clear();
    std::sort(disposed.begin(), disposed.end());
    std::sort(held.begin(), held.end());
    return step(x, name, !disposing || disposed == held);
}
// Every lookup for the key, through the set and through a const view of it.
template <bool C, Which W>
bool look(Cxx<C> &x, std::string_view name, const Args &a) {
    auto &t = tree<C, W>(x);
    const auto &c = t;
    const auto &m = model<C, W>(x);
    const auto low = at(m, m.lower_bound(2 * a[0])), high = at(m, m.upper_bound(2 * a[0]));
    const int64_t first = low != high ? low : -1;
    const auto [f, l] = t.equal_range(a[0]);
    const auto [cf, cl] = c.equal_range(a[0]);
    return step(x, name,
                at(x, t, t.find(a[0])) == first && at(x, t, c.find(a[0])) == first &&
                    t.contains(a[0]) == (first >= 0) && t.count(a[0]) == m.count(2 * a[0]) &&
                    at(x, t, t.lower_bound(a[0])) == low && at(x, t, c.lower_bound(a[0])) == low &&
                    at(x, t, t.upper_bound(a[0])) == high &&
                    at(x, t, c.upper_bound(a[0])) == high && at(x, t, f) == low &&
                    at(x, t, l) == high && at(x, t, cf) == low && at(x, t, cl) == high);
}
// Moved and swapped every way and back; a set assigned to forgets element a.
template <bool C, Which W>
bool move(Cxx<C> &x, std::string_view name, const Args &a) {
    auto &t = tree<C, W>(x);
    using Tree = std::remove_reference_t<decltype(t)>;
    const std::vector<int64_t> held = x.in(W);
    auto order = [&x](const Tree &s) {
        std::vector<int64_t> out;
        for (const auto &e : s) {
            out.push_back(&e - x.pool);
        }
        return out;
    };
    Tree other(std::move(t));
    bool same = order(other) == held && t.empty();
    swap(t, other);
    same = same && order(t) == held && other.empty();
    other.swap(t);
    Tree third(other.key_comp());
    third.insert(x.pool[a[0]]);
    third = std::move(other);
    same = same && order(third) == held && other.empty() && t.empty();
    t = std::move(third);
    return step(x, name, same);
}

template <bool C, Which L, bool front>
bool push(Cxx<C> &x, std::string_view name, const Args &a) {
    onList<C, L>(x,
                 [&](auto &l) { front ? l.push_front(x.pool[a[0]]) : l.push_back(x.pool[a[0]]); });
    front ? x.lists[L - kList].push_front(a[0]) : x.lists[L - kList].push_back(a[0]);
    return x.verify(name);
}
template <bool C, Which L, bool front>
bool insertAt(Cxx<C> &x, std::string_view name, const Args &a) {
    const int64_t got = onList<C, L>(
        x, [&](auto &l) { return at(x, l, l.insert(front ? l.begin() : l.end(), x.pool[a[0]])); });
    front ? x.lists[L - kList].push_front(a[0]) : x.lists[L - kList].push_back(a[0]);
    return step(x, name, got == a[0]);
}
template <bool C, Which L, bool front>
bool pop(Cxx<C> &x, std::string_view name, const Args &) {
    auto *got = onList<C, L>(x, [&](auto &l) { return front ? l.pop_front() : l.pop_back(); });
    std::deque<int64_t> &m = x.lists[L - kList];
    auto *expected = m.empty() ? nullptr : &x.pool[front ? m.front() : m.back()];
    if (!m.empty()) {
        front ? m.pop_front() : m.pop_back();
    }
    return step(x, name, got == expected);
}
template <bool C, Which L, bool at_iterator>
bool unlink(Cxx<C> &x, std::string_view name, const Args &a) {
    std::deque<int64_t> &m = x.lists[L - kList];
    const int64_t next = at(m, m.erase(std::find(m.begin(), m.end(), a[0])));
    const int64_t got = onList<C, L>(x, [&](auto &l) {
        if (!at_iterator) {
            l.erase(x.pool[a[0]]);
            return next;
        }
        return at(x, l, l.erase(l.iterator_to(x.pool[a[0]])));
    });
    return step(x, name, got == next);
}
template <bool C, Which L>
bool clearList(Cxx<C> &x, std::string_view name, const Args &) {
    onList<C, L>(x, [](auto &l) { l.clear(); });
    x.lists[L - kList].clear();
    return x.verify(name);
}
// Element a of the list after L moves to L's front; or every element of
// the other list (From) to the end of L (To) in order.
template <bool C, Which L>
bool spliceOne(Cxx<C> &x, std::string_view name, const Args &a) {
    onList<C, L>(x, [&](auto &to) {
        onList<C, Which(L + 1)>(
            x, [&](auto &from) { to.splice(to.begin(), from, from.iterator_to(x.pool[a[0]])); });
    });
    std::deque<int64_t> &from = x.lists[L + 1 - kList];
    from.erase(std::find(from.begin(), from.end(), a[0]));
    x.lists[L - kList].push_front(a[0]);
    return x.verify(name);
}
template <bool C, Which To, Which From, bool front>
bool spliceAll(Cxx<C> &x, std::string_view name, const Args &) {
    onList<C, To>(x, [&](auto &to) {
        onList<C, From>(x, [&](auto &from) { to.splice(front ? to.begin() : to.end(), from); });
    });
    std::deque<int64_t> &to = x.lists[To - kList], &from = x.lists[From - kList];
    to.insert(front ? to.begin() : to.end(), from.begin(), from.end());
    from.clear();
    return x.verify(name);
}
// The list moved and swapped every way, then swapped with spare.
template <bool C>
bool moveList(Cxx<C> &x, std::string_view name, const Args &) {
    const std::vector<int64_t> held = x.in(kList);
    typename Cxx<C>::List other(std::move(x.list));
    bool same = x.list.empty() && other.size() == held.size();
    swap(x.list, other);
    same = same && other.empty() && x.list.size() == held.size();
    x.list.swap(x.spare);
    std::swap(x.lists[0], x.lists[1]);
    return step(x, name, same);
}
template <bool C>
bool assignList(Cxx<C> &x, std::string_view name, const Args &) {
    x.spare = std::move(x.list);
    x.lists[1] = std::exchange(x.lists[0], {});
    return x.verify(name);
}
// The operations that take the spin lock themselves.
template <bool C, bool front>
bool lockedPush(Cxx<C> &x, std::string_view name, const Args &a) {
    front ? x.spin.push_front(x.pool[a[0]]) : x.spin.push_back(x.pool[a[0]]);
    front ? x.lists[2].push_front(a[0]) : x.lists[2].push_back(a[0]);
    return x.verify(name);
}
template <bool C, bool front>
bool lockedPop(Cxx<C> &x, std::string_view name, const Args &) {
    auto *got = front ? x.spin.pop_front() : x.spin.pop_back();
    std::deque<int64_t> &m = x.lists[2];
    const bool same = m.empty() ? got == nullptr : got == &x.pool[front ? m.front() : m.back()];
    if (!m.empty()) {
        front ? m.pop_front() : m.pop_back();
    }
    return step(x, name, same);
}
template <bool C>
bool lockedErase(Cxx<C> &x, std::string_view name, const Args &a) {
    x.spin.erase(x.pool[a[0]]);
    x.lists[2].erase(std::find(x.lists[2].begin(), x.lists[2].end(), a[0]));
    return x.verify(name);
}

constexpr Arg N = Arg::Node, K = Arg::Number;

#define KELU_TREE_ROWS(prefix, W)                                    \
    {prefix "insert", 1, N, free1<C, W>, insert<C, W>},              \
        {prefix "hint", 2, N, hinted<C, W>, hint<C, W>},             \
        {prefix "before", 2, N, beside<C, W, 0>, place<C, W, 0>},    \
        {prefix "after", 2, N, beside<C, W, 1>, place<C, W, 1>},     \
        {prefix "range", 2, N, twoFree<C, W>, range<C, W>},          \
        {prefix "erase", 1, N, in1<C, W>, erase<C, W>},              \
        {prefix "erase_it", 1, N, in1<C, W>, eraseAt<C, W, false>},  \
        {prefix "dispose", 1, N, in1<C, W>, eraseAt<C, W, true>},    \
        {prefix "erase_key", 1, K, key1<C>, eraseKey<C, W, false>},  \
        {prefix "dispose_key", 1, K, key1<C>, eraseKey<C, W, true>}, \
        {prefix "erase_range", 2, K, keys2<C>, eraseRange<C, W>},    \
        {prefix "clear", 0, N, nullptr, clear<C, W, false>},         \
        {prefix "clear_dispose", 0, N, nullptr, clear<C, W, true>},  \
        {prefix "look", 1, K, key1<C>, look<C, W>}, {                \
        prefix "move", 1, N, free1<C, W>, move<C, W>                 \
    }
#define KELU_LIST_ROWS(prefix, L, other, O)                               \
    {prefix "push_front", 1, N, free1<C, L>, push<C, L, true>},           \
        {prefix "push_back", 1, N, free1<C, L>, push<C, L, false>},       \
        {prefix "insert_front", 1, N, free1<C, L>, insertAt<C, L, true>}, \
        {prefix "insert_back", 1, N, free1<C, L>, insertAt<C, L, false>}, \
        {prefix "pop_front", 0, N, nullptr, pop<C, L, true>},             \
        {prefix "pop_back", 0, N, nullptr, pop<C, L, false>},             \
        {prefix "erase", 1, N, in1<C, L>, unlink<C, L, false>},           \
        {prefix "erase_it", 1, N, in1<C, L>, unlink<C, L, true>},         \
        {prefix "clear", 0, N, nullptr, clearList<C, L>},                 \
        {prefix "splice", 1, N, in1<C, O>, spliceOne<C, L>},              \
        {prefix "splice_all", 0, N, nullptr, spliceAll<C, L, O, false>},  \
        {other "push", 1, N, free1<C, O>, push<C, O, false>}, {           \
        other "splice_all", 0, N, nullptr, spliceAll<C, O, L, true>       \
    }

// In this order, the rows of the committed corpus.
template <bool C>
const Operation<Cxx<C>> kTable[] = {
    KELU_TREE_ROWS("set.", kSet),
    KELU_TREE_ROWS("multi.", kMulti),
    KELU_LIST_ROWS("list.", kList, "spare.", kSpare),
    KELU_LIST_ROWS("spin.", kSpin, "spin2.", kSpin2),
    {"list.move", 0, N, nullptr, moveList<C>},
    {"spare.assign", 0, N, nullptr, assignList<C>},
    {"spin.locked_push_front", 1, N, free1<C, kSpin>, lockedPush<C, true>},
    {"spin.locked_push_back", 1, N, free1<C, kSpin>, lockedPush<C, false>},
    {"spin.locked_pop_front", 0, N, nullptr, lockedPop<C, true>},
    {"spin.locked_pop_back", 0, N, nullptr, lockedPop<C, false>},
    {"spin.locked_erase", 1, N, in1<C, kSpin>, lockedErase<C>},
};

}  // namespace

template <bool C>
std::span<const Operation<CxxInterpreter<C>>> cxxOperations() {
    return kTable<C>;
}

template <bool C>
CxxInterpreter<C>::CxxInterpreter(std::string_view before) {
    for (int64_t e = 0; e < kElements; ++e) {
        pool[e].key = e / 2;
    }
    (void)runText(*this, cxxOperations<C>(), std::string(before));
    settingUp_ = false;
}

template <bool C>
bool CxxInterpreter<C>::linkable(Which c, int64_t e) const {
    const std::vector<int64_t> in0 = in(c), in1 = in(Which(c ^ 1));
    const bool alone = c == kSet || c == kMulti;
    return std::count(in0.begin(), in0.end(), e) +
               (alone ? 0 : std::count(in1.begin(), in1.end(), e)) ==
           0;
}

template <bool C>
std::vector<int64_t> CxxInterpreter<C>::in(Which c) const {
    if (c == kSet || c == kMulti) {
        return c == kSet ? std::vector<int64_t>(setModel.begin(), setModel.end())
                         : std::vector<int64_t>(multiModel.begin(), multiModel.end());
    }
    return std::vector<int64_t>(lists[c - kList].begin(), lists[c - kList].end());
}

template <bool C>
std::string CxxInterpreter<C>::state() const {
    static const char *const names[] = {"set", "multi", "list", "spare", "spin", "spin2"};
    std::string out;
    for (int c = kSet; c <= kSpin2; ++c) {
        std::string elements;
        for (int64_t e : in(Which(c))) {
            elements += (elements.empty() ? "" : " ") + formatArgument(Arg::Node, e);
        }
        out += elements.empty()
                   ? ""
                   : (out.empty() ? "" : ", ") + std::string(names[c]) + " [" + elements + "]";
    }
    return out;
}

// The container walked every way, its ends, size and iterator_to against W's
// elements in order.
template <bool C>
template <typename Range>
bool CxxInterpreter<C>::holds(Range &range, Which c) {
    const std::vector<int64_t> want = in(c);
    std::vector<int64_t> forward, backward, constant;
    for (auto &e : range) {
        forward.push_back(&e - pool);
    }
    for (auto it = range.end(); it != range.begin();) {
        it--;
        backward.insert(backward.begin(), &*it - pool);
    }
    for (auto it = range.cbegin(); it != range.cend(); it++) {
        constant.push_back(&*it - pool);
    }
    bool same = forward == want && backward == want && constant == want &&
                range.size() == want.size() && range.empty() == want.empty();
    if constexpr (requires { range.rbegin(); }) {
        const std::vector<int64_t> reversed(want.rbegin(), want.rend());
        std::vector<int64_t> rev, crev;
        for (auto it = range.rbegin(); it != range.rend(); ++it) {
            rev.push_back(&*it - pool);
        }
        for (auto it = range.crbegin(); it != range.crend(); ++it) {
            crev.push_back(&*it - pool);
        }
        same = same && rev == reversed && crev == reversed &&
               kelu::detail::order(range.key_comp(), int64_t{1}, int64_t{2}) == -1;
    }
    if (!want.empty()) {
        const auto &view = range;
        same = same && &range.front() == &pool[want.front()] &&
               &view.front() == &pool[want.front()] && &range.back() == &pool[want.back()] &&
               &view.back() == &pool[want.back()];
    }
    for (int64_t e : want) {
        same = same && &*range.iterator_to(pool[e]) == &pool[e] &&
               &*std::as_const(range).iterator_to(pool[e]) == &pool[e];
    }
    return same;
}

template <bool C>
bool CxxInterpreter<C>::verify(std::string_view step) {
    clearRecords();  // the lock calls and log records are not checked here
    if (settingUp_) {
        return true;
    }
    auto spinHolds = [this](Spin &s, Which c) {
        auto guard = s.lock();
        return holds(guard, c);
    };
    bool same = holds(set, kSet) && holds(multi, kMulti) && holds(list, kList) &&
                holds(spare, kSpare) && spinHolds(spin, kSpin) && spinHolds(spin2, kSpin2) &&
                spin.size() == lists[2].size() && spin.empty() == lists[2].empty();
    if constexpr (std::is_empty_v<typename Set::key_compare>) {  // the C comparison generated
        same = same && set.native_handle()->nodeNum == setModel.size();
        for (int64_t k = 0; k < kKeys; ++k) {
            Element probe{k, {}, {}, {}, {}};
            const auto hit = setModel.find(2 * k);
            same = same && findAvlNode(set.native_handle(), &probe, nullptr) ==
                               (hit == setModel.end() ? nullptr : &pool[*hit]);
        }
    }
    for (int64_t e = 0; C && e < kElements; ++e) {  // checked: only members read as linked
        auto in = [this, e](Which c) {
            const std::vector<int64_t> members = this->in(c);
            return std::count(members.begin(), members.end(), e) > 0;
        };
        same = same && kelu::detail::linked(pool[e].inSet) == in(kSet) &&
               kelu::detail::linked(pool[e].inMulti) == in(kMulti) &&
               kelu::detail::linked(pool[e].inList) == (in(kList) || in(kSpare)) &&
               kelu::detail::linked(pool[e].inSpin) == (in(kSpin) || in(kSpin2));
    }
    return same ? true : fail(std::string(step) + ": the containers are not " + state());
}

template class CxxInterpreter<true>;
template class CxxInterpreter<false>;
template std::span<const Operation<CxxInterpreter<true>>> cxxOperations<true>();
template std::span<const Operation<CxxInterpreter<false>>> cxxOperations<false>();

// Each program runs in both modes.
std::string runInput(std::span<const uint8_t> program) {
    CxxInterpreter<true> checked;
    CxxInterpreter<false> unchecked;
    const std::string failure = runBytes(checked, cxxOperations<true>(), program);
    if (!failure.empty()) {
        return "checked: " + failure;
    }
    const std::string other = runBytes(unchecked, cxxOperations<false>(), program);
    return other.empty() ? "" : "unchecked: " + other;
}

std::string describeInput(std::span<const uint8_t> program) {
    return describeBytes(cxxOperations<true>(), program);
}

}  // namespace kelu::test
