// SPDX-License-Identifier: MIT
///
/// @file kelu/three_way.hpp
///
/// Three-way comparisons as kelu::avl_set uses them: which results count as
/// three-way, how a result becomes the exact -1, 0 or +1 that the C
/// comparison contract demands, and the key extractors.
#ifndef KELU_THREE_WAY_HPP
#define KELU_THREE_WAY_HPP

#include <compare>
#include <concepts>
#include <cstdint>

namespace kelu {

/// three_way_result<R>
/// A comparison category (std::strong_ordering, std::weak_ordering,
/// std::partial_ordering) or a signed integer read by its sign, as
/// `a - b` or strcmp() give it. bool is not one: a less-than predicate cannot
/// tell equal from greater.
template <typename R>
concept three_way_result =
    std::same_as<R, std::strong_ordering> || std::same_as<R, std::weak_ordering> ||
    std::same_as<R, std::partial_ordering> || std::signed_integral<R>;

/// compares_with<Compare, K, E>
/// compare(k, e) is defined and returns a three-way result.
template <typename Compare, typename K, typename E>
concept compares_with = requires(const Compare &compare, const K &k, const E &e) {
    { compare(k, e) } -> three_way_result;
};

/// sign_of()
/// The result folded to exactly -1 (before), 0 (equal) or +1 (after); an
/// unordered std::partial_ordering counts as equal. Branch-free, inlined.
template <three_way_result R>
constexpr int32_t sign_of(R result) noexcept {
    return static_cast<int32_t>(result > 0) - static_cast<int32_t>(result < 0);
}

/// member_key<&T::member>
/// Orders elements by one of their members: the key of an element is a
/// reference to that member.
template <auto Member>
struct member_key {
    /// The key of `element`: its member.
    template <typename T>
    constexpr const auto &operator()(const T &element) const noexcept {
        return element.*Member;
    }
};

}  // namespace kelu

#endif  // KELU_THREE_WAY_HPP
