// SPDX-License-Identifier: MIT
#include "cxx/cxx_interpreter.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "support/recording_platform.h"

namespace kelu::test {
namespace {

using X = CxxInterpreter;
using V = std::vector<int64_t>;
constexpr int64_t kElements = X::kElements, kKeys = kElements / 2 + 1;

// What a row takes: elements that can be linked in W, or that are in it
// (the one a hint byte picks, wrapping round), keys, a hint, a place.
std::optional<int64_t> pick(const X &x, Which w, uint64_t hint, bool linked) {
    const V in = x.in(w);
    for (int64_t i = 0; i < kElements; ++i) {
        const int64_t e =
            linked ? (in.empty() ? -1 : in[(hint + static_cast<uint64_t>(i)) % in.size()])
                   : (static_cast<int64_t>(hint % kElements) + i) % kElements;
        if (e >= 0 && (linked || x.linkable(w, e))) {
            return e;
        }
    }
    return std::nullopt;
}
std::optional<Args> both(std::optional<int64_t> a, std::optional<int64_t> b) {
    return a && b && a != b ? std::optional(Args{*a, *b}) : std::nullopt;
}
template <Which W, bool linked>
std::optional<Args> one(const X &x, uint64_t bytes) {
    return both(pick(x, W, bytes, linked), -1);
}
std::optional<Args> keys(const X &, uint64_t bytes) {
    const auto a = static_cast<int64_t>(bytes % kKeys),
               b = static_cast<int64_t>(bytes / 256 % kKeys);
    return Args{std::min(a, b), std::max(a, b)};
}
template <Which W>
std::optional<Args> hinted(const X &x, uint64_t bytes) {
    const bool atEnd = bytes / 256 % (x.in(W).size() + 1) == x.in(W).size();
    return both(atEnd ? X::kEnd : pick(x, W, bytes / 256, true), pick(x, W, bytes, false));
}
// An element of W and one to link right before it (side 0) or after it
// without breaking the order (strictly, in a set).
template <Which W, int side>
std::optional<Args> beside(const X &x, uint64_t bytes) {
    const V in = x.in(W);
    const std::optional<int64_t> here = pick(x, W, bytes / 256, true);
    const auto at = here ? std::find(in.begin(), in.end(), *here) : in.end();
    const int64_t low = at == in.end() || (side == 0 && at == in.begin()) ? -2 : *(at - 1 + side);
    const int64_t high = at == in.end() || (side == 1 && at + 1 == in.end()) ? 24 : *(at + side);
    for (int64_t i = 0, strict = W == kSet ? 1 : 0; here && i < kElements; ++i) {
        const int64_t e = (static_cast<int64_t>(bytes % kElements) + i) % kElements;
        if (x.linkable(W, e) && low / 2 + strict <= e / 2 && e / 2 + strict <= high / 2) {
            return Args{*here, e};
        }
    }
    return std::nullopt;
}

// Runs f on container C of target t (the models or a world): a set, a
// counter list, a guard of a locked list, or (kLocked) spin itself.
template <Which C>
decltype(auto) with(auto &t, auto f) {
    if constexpr (C == kSet) {
        return f(t.set);
    } else if constexpr (C == kMulti) {
        return f(t.multi);
    } else if constexpr (C == kList || C == kSpare) {
        return f(C == kList ? t.list : t.spare);
    } else if constexpr (C == kLocked) {
        return f(t.spin);
    } else {
        decltype(auto) guard = (C == kSpin ? t.spin : t.spin2).lock();
        return f(guard);
    }
}
// What a call returned, as element indices and numbers.
V seen(const auto &t, const auto &c, const auto &r) {
    using R = std::remove_cvref_t<decltype(r)>;
    if constexpr (std::is_pointer_v<R>) {
        return {t.of(r)};
    } else if constexpr (std::is_arithmetic_v<R>) {
        return {static_cast<int64_t>(r)};
    } else if constexpr (requires { r.second; }) {
        return {t.at(c, r.first), r.second};
    } else {
        return {t.at(c, r)};
    }
}
// A row: call(container, target, args) on container C of the models and of
// both worlds, which must return the same.
template <Which C, auto call>
bool row(X &x, std::string_view name, const Args &a) {
    return x.step(name,
                  [&a](auto &t) { return with<C>(t, [&](auto &c) { return call(c, t, a); }); });
}
int32_t key(int64_t k) {
    return static_cast<int32_t>(k);
}
// Every lookup of a key, through the set and through a const view of it.
V look(auto &c, const auto &t, int32_t k) {
    const auto &v = c;
    const auto [first, last] = c.equal_range(k);
    const auto [cfirst, clast] = v.equal_range(k);
    // clang-format off
    return {t.at(c, c.find(k)), t.at(c, v.find(k)), c.contains(k),
            t.at(c, c.lower_bound(k)), t.at(c, v.lower_bound(k)), t.at(c, c.upper_bound(k)),
            t.at(c, v.upper_bound(k)), t.at(c, first), t.at(c, last), t.at(c, cfirst),
            t.at(c, clast), static_cast<int64_t>(c.count(k))};
    // clang-format on
}
// A set moved and swapped every way and back; a set assigned to forgets
// element e, which a range insertion gave it. The set then lives on as one
// made by moving, so every later step reads and changes a moved-to tree.
V moveTree(auto &c, auto &e) {
    using Tree = std::remove_reference_t<decltype(c)>;
    Tree other(std::move(c));
    const V moved{c.empty(), static_cast<int64_t>(other.size())};
    swap(c, other);
    other.swap(c);
    Tree third(other.key_comp());
    third.insert(&e, &e + 1);
    third = std::move(other);
    c = std::move(third);
    other = std::move(c);
    std::destroy_at(&c);
    // No field of the old set may outlive it: the bytes are overwritten, and
    // the empty asm keeps the compiler from dropping the store as dead.
    std::memset(static_cast<void *>(&c), 0xA5, sizeof c);
    asm volatile("" : : "r"(&c) : "memory");
    std::construct_at(&c, std::move(other));
    return {moved[0], moved[1], other.empty(), third.empty()};
}
// The list moved and swapped every way, then given to spare, whose own
// elements it unlinks.
V moveList(auto &t) {
    auto other(std::move(t.list));
    const bool moved = t.list.empty();
    swap(t.list, other);
    other.swap(t.list);
    t.spare = std::move(other);
    return {moved, other.empty(), t.list.empty()};
}

constexpr Arg N = Arg::Node, K = Arg::Number;

// Each operation is the call a user writes, on c (of target t, from the
// arguments a); E and F are the elements the arguments name.
#define DO(C, ...)                                                \
    row<C, []([[maybe_unused]] auto &c, [[maybe_unused]] auto &t, \
              [[maybe_unused]] const Args &a) { __VA_ARGS__ }>
#define E t.pool[a[0]]
#define F t.pool[a[1]]
#define SEEN(call) return seen(t, c, call);
#define NOTHING(call) \
    call;             \
    return V{};
#define DISPOSED(call)                            \
    V out;                                        \
    const auto result = call(t.recorder(c, out)); \
    out.push_back(seen(t, c, result).front());    \
    return out;
// clang-format off
#define KELU_TREE_ROWS(prefix, W)                                                            \
    {prefix "insert", 1, N, one<W, false>, DO(W, SEEN(c.insert(E)))},                       \
    {prefix "hint", 2, N, hinted<W>, DO(W, SEEN(c.insert(a[0] == X::kEnd ? c.end() : c.iterator_to(E), F)))}, \
    {prefix "before", 2, N, beside<W, 0>, DO(W, SEEN(c.insert_before(E, F)))},              \
    {prefix "after", 2, N, beside<W, 1>, DO(W, SEEN(c.insert_after(E, F)))},                \
    {prefix "erase", 1, N, one<W, true>, DO(W, NOTHING(c.erase(E)))},                       \
    {prefix "erase_it", 1, N, one<W, true>, DO(W, SEEN(c.erase(c.iterator_to(E))))},        \
    {prefix "dispose", 1, N, one<W, true>,                                                   \
     DO(W, DISPOSED([&](auto d) { return c.erase_and_dispose(c.iterator_to(E), d); }))},    \
    {prefix "erase_key", 1, K, keys, DO(W, SEEN(c.erase(key(a[0]))))},                      \
    {prefix "dispose_key", 1, K, keys,                                                       \
     DO(W, DISPOSED([&](auto d) { return c.erase_and_dispose(key(a[0]), d); }))},           \
    {prefix "erase_range", 2, K, keys,                                                       \
     DO(W, SEEN(c.erase(c.lower_bound(key(a[0])), c.lower_bound(key(a[1])))))},             \
    {prefix "clear", 0, N, nullptr, DO(W, NOTHING(c.clear()))},                             \
    {prefix "clear_dispose", 0, N, nullptr,                                                  \
     DO(W, V out; c.clear_and_dispose(t.recorder(c, out)); std::sort(out.begin(), out.end()); return out;)}, \
    {prefix "look", 1, K, keys, DO(W, return look(c, t, key(a[0]));)},                     \
    {prefix "move", 1, N, one<W, false>, DO(W, return moveTree(c, E);)}
#define KELU_LIST_ROWS(prefix, L, other, O)                                                  \
    {prefix "push_front", 1, N, one<L, false>, DO(L, NOTHING(c.push_front(E)))},            \
    {prefix "push_back", 1, N, one<L, false>, DO(L, NOTHING(c.push_back(E)))},              \
    {prefix "insert_front", 1, N, one<L, false>, DO(L, SEEN(c.insert(c.begin(), E)))},      \
    {prefix "insert_back", 1, N, one<L, false>, DO(L, SEEN(c.insert(c.end(), E)))},         \
    {prefix "pop_front", 0, N, nullptr, DO(L, SEEN(c.pop_front()))},                        \
    {prefix "pop_back", 0, N, nullptr, DO(L, SEEN(c.pop_back()))},                          \
    {prefix "erase", 1, N, one<L, true>, DO(L, NOTHING(c.erase(E)))},                       \
    {prefix "erase_it", 1, N, one<L, true>, DO(L, SEEN(c.erase(c.iterator_to(E))))},        \
    {prefix "clear", 0, N, nullptr, DO(L, NOTHING(c.clear()))},                             \
    {prefix "splice", 1, N, one<O, true>,                                                    \
     DO(L, return with<O>(t, [&](auto &o) { NOTHING(c.splice(c.begin(), o, o.iterator_to(E))) });)}, \
    {prefix "splice_all", 0, N, nullptr,                                                     \
     DO(L, return with<O>(t, [&](auto &o) { NOTHING(c.splice(c.end(), o)) });)},            \
    {other "push", 1, N, one<O, false>, DO(O, NOTHING(c.push_back(E)))},                    \
    {other "splice_all", 0, N, nullptr,                                                      \
     DO(O, return with<L>(t, [&](auto &o) { NOTHING(c.splice(c.begin(), o)) });)}

// In this order, the rows of the committed corpus.
const Operation<X> kTable[] = {
    KELU_TREE_ROWS("set.", kSet),
    KELU_TREE_ROWS("multi.", kMulti),
    KELU_LIST_ROWS("list.", kList, "spare.", kSpare),
    KELU_LIST_ROWS("spin.", kSpin, "spin2.", kSpin2),
    {"list.move", 0, N, nullptr, DO(kList, return moveList(t);)},
    {"spin.locked_push_front", 1, N, one<kSpin, false>, DO(kLocked, NOTHING(c.push_front(E)))},
    {"spin.locked_push_back", 1, N, one<kSpin, false>, DO(kLocked, NOTHING(c.push_back(E)))},
    {"spin.locked_pop_front", 0, N, nullptr, DO(kLocked, SEEN(c.pop_front()))},
    {"spin.locked_pop_back", 0, N, nullptr, DO(kLocked, SEEN(c.pop_back()))},
    {"spin.locked_erase", 1, N, one<kSpin, true>, DO(kLocked, NOTHING(c.erase(E)))},
};
// clang-format on

}  // namespace

KELU_DEFINE_INPUTS(CxxInterpreter, kCxxOperations, kTable, "typed layer: ")

CxxInterpreter::CxxInterpreter(std::string_view before) {
    (void)runText(*this, kCxxOperations, std::string(before));
    settingUp_ = false;
}

bool CxxInterpreter::linkable(Which c, int64_t e) const {
    const V mine = in(c), shared = c < kList ? V{} : in(Which(c ^ 1));
    return std::count(mine.begin(), mine.end(), e) + std::count(shared.begin(), shared.end(), e) ==
           0;
}

V CxxInterpreter::in(Which c) const {
    if (c == kSet || c == kMulti) {
        return c == kSet ? V(models.set.begin(), models.set.end())
                         : V(models.multi.begin(), models.multi.end());
    }
    const Models::List *lists[] = {&models.list, &models.spare, &models.spin, &models.spin2};
    return V(lists[c - kList]->begin(), lists[c - kList]->end());
}

std::string CxxInterpreter::state() const {
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

// The container walked every way, its ends, size and iterator_to, against c.
template <typename Range, typename Element>
bool CxxInterpreter::holds(Range &range, const Element *pool, Which c) const {
    const V want = in(c);
    V forward, backward, constant;
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
        auto reversed = [pool](auto it, auto end) {
            V out;
            for (; it != end; ++it) {
                out.insert(out.begin(), &*it - pool);
            }
            return out;
        };
        same = same && reversed(range.rbegin(), range.rend()) == want &&
               reversed(range.crbegin(), range.crend()) == want &&
               kelu::detail::order(range.key_comp(), int64_t{1}, int64_t{2}) == -1;
    }
    const auto &view = range;
    same =
        same && (want.empty() ||
                 (&range.front() == &pool[want.front()] && &view.front() == &pool[want.front()] &&
                  &range.back() == &pool[want.back()] && &view.back() == &pool[want.back()]));
    for (int64_t e : want) {
        same = same && &*range.iterator_to(pool[e]) == &pool[e] &&
               &*view.iterator_to(pool[e]) == &pool[e];
    }
    return same;
}

template <bool Checked>
bool CxxInterpreter::holdsAll(World<Checked> &w) const {
    auto guard = w.spin.lock();
    auto guard2 = w.spin2.lock();
    bool same = holds(w.set, w.pool, kSet) && holds(w.multi, w.pool, kMulti) &&
                holds(w.list, w.pool, kList) && holds(w.spare, w.pool, kSpare) &&
                holds(guard, w.pool, kSpin) && holds(guard2, w.pool, kSpin2) &&
                w.spin.size() == models.spin.size() && w.spin.empty() == models.spin.empty();
    if constexpr (std::is_empty_v<typename decltype(w.set)::key_compare>) {  // its C comparison
        for (int32_t k = 0; k < kKeys; ++k) {
            typename World<Checked>::Element probe;
            probe.key = k;
            const auto hit = models.set.find(k);
            same = same && findAvlNode(w.set.native_handle(), &probe, nullptr) ==
                               (hit == models.set.end() ? nullptr : &w.pool[*hit]);
        }
    }
    for (int64_t e = 0; Checked && e < kElements; ++e) {  // only members read as linked
        auto has = [this, e](Which c) {
            const V members = in(c);
            return std::count(members.begin(), members.end(), e) > 0;
        };
        same = same && kelu::detail::linked(w.pool[e].inSet) == has(kSet) &&
               kelu::detail::linked(w.pool[e].inMulti) == has(kMulti) &&
               kelu::detail::linked(w.pool[e].inList) == (has(kList) || has(kSpare)) &&
               kelu::detail::linked(w.pool[e].inSpin) == (has(kSpin) || has(kSpin2));
    }
    return same;
}

bool CxxInterpreter::verify(std::string_view step) {
    clearRecords();  // the lock calls and log records are the list family's to check
    if (settingUp_ || (holdsAll(checked_) && holdsAll(unchecked_))) {
        return true;
    }
    return fail(std::string(step) + ": the containers are not " + state());
}

}  // namespace kelu::test
