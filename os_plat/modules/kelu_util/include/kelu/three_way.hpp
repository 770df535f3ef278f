// SPDX-License-Identifier: MIT
//
// File: kelu/three_way.hpp
//
// Comparisons as kelu::avl_set and kelu::avl_multiset use them: which
// results count as three-way, how a result becomes the exact -1, 0 or +1
// that the C comparison contract demands, less-than predicates read the same
// way, and the key extractors.
#ifndef KELU_THREE_WAY_HPP
#define KELU_THREE_WAY_HPP

#include <compare>
#include <concepts>
#include <cstdint>

namespace kelu {

// three_way_result<R>
// A comparison category (std::strong_ordering, std::weak_ordering,
// std::partial_ordering) or a signed integer read by its sign, as
// `a - b` or strcmp() give it. bool is not one: a less-than predicate cannot
// tell equal from greater.
template <typename R>
concept three_way_result =
    std::same_as<R, std::strong_ordering> || std::same_as<R, std::weak_ordering> ||
    std::same_as<R, std::partial_ordering> || std::signed_integral<R>;

// compares_with<Compare, K, E>
// compare(k, e) is defined and returns a three-way result.
template <typename Compare, typename K, typename E>
concept compares_with = requires(const Compare &compare, const K &k, const E &e) {
    { compare(k, e) } -> three_way_result;
};

// less_than_with<Compare, K, E>
// compare is a less-than predicate both ways: compare(k, e) and compare(e, k)
// return bool, as std::less<> and std::ranges::less do.
template <typename Compare, typename K, typename E>
concept less_than_with = requires(const Compare &compare, const K &k, const E &e) {
    { compare(k, e) } -> std::same_as<bool>;
    { compare(e, k) } -> std::same_as<bool>;
};

// orders<Compare, K, E>
// Either kind: a comparison the containers accept for keys K against E.
template <typename Compare, typename K, typename E>
concept orders = compares_with<Compare, K, E> || less_than_with<Compare, K, E>;

// not_convertible_to<K, To>
// K is not To: a lookup key, where an iterator overload also exists.
template <typename K, typename To>
concept not_convertible_to = !std::convertible_to<const K &, To>;

// sign_of()
// The result folded to exactly -1 (before), 0 (equal) or +1 (after); an
// unordered std::partial_ordering counts as equal. Branch-free, inlined.
template <three_way_result R>
constexpr int32_t sign_of(R result) noexcept {
    return static_cast<int32_t>(result > 0) - static_cast<int32_t>(result < 0);
}

namespace detail {

// order(), before(), after()
// How `k` sorts against `e` under either kind of comparison: exactly -1, 0
// or +1; whether k sorts before e; whether k sorts after e. A three-way
// comparison is called once for each; a less-than predicate once for
// before() and after(), and once or twice for order().
template <typename Compare, typename K, typename E>
requires orders<Compare, K, E>
constexpr int32_t order(const Compare &compare, const K &k, const E &e) {
    if constexpr (compares_with<Compare, K, E>) {
        return sign_of(compare(k, e));
    } else {
        return compare(k, e) ? -1 : static_cast<int32_t>(compare(e, k));
    }
}

template <typename Compare, typename K, typename E>
requires orders<Compare, K, E>
constexpr bool before(const Compare &compare, const K &k, const E &e) {
    if constexpr (compares_with<Compare, K, E>) {
        return compare(k, e) < 0;
    } else {
        return compare(k, e);
    }
}

template <typename Compare, typename K, typename E>
requires orders<Compare, K, E>
constexpr bool after(const Compare &compare, const K &k, const E &e) {
    if constexpr (compares_with<Compare, K, E>) {
        return compare(k, e) > 0;
    } else {
        return compare(e, k);
    }
}

}  // namespace detail

/// member_key<&T::member>
/// Orders elements by one of their members: the key of an element is a
/// reference to that member.
template <auto Member>
struct member_key {
    /// The member of `element`.
    template <typename T>
    constexpr const auto &operator()(const T &element) const noexcept {
        return element.*Member;
    }
};

}  // namespace kelu

#endif  // KELU_THREE_WAY_HPP
