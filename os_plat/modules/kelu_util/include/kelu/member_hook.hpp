// SPDX-License-Identifier: MIT
//
// File: kelu/member_hook.hpp
//
// The way from an element of type T to the link record (hook) embedded in
// it, and back, given a pointer to the member that holds the hook. The C
// interface takes the same distance as a byte offset; here it comes from the
// member pointer, so no offsetof is written and a wrong member does not
// compile. Every conversion is one addition or subtraction of a constant.
#ifndef KELU_MEMBER_HOOK_HPP
#define KELU_MEMBER_HOOK_HPP

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kelu::detail {

// The class whose member a pointer to data member names and the member's
// type (void for anything else), and whether that type is a Hook: the
// record itself, or a hook type derived from it that adds nothing to it
// (kelu::avl_hook, kelu::list_hook), whose Hook lies at its offset 0.
template <typename MemberPointer>
struct member_owner {
    using type = void;
    using member = void;
};
template <typename Member, typename Class>
struct member_owner<Member Class::*> {
    using type = Class;
    using member = Member;
};

template <typename Member, typename Hook>
constexpr bool is_hook_type() {
    if constexpr (std::is_class_v<Member>) {
        return std::is_base_of_v<Hook, Member> && std::is_standard_layout_v<Member> &&
               sizeof(Member) == sizeof(Hook);
    }
    return false;
}

// member_hook<T, Member, Hook>
// Converts between a T and its Hook at `Member` (&T::member, or a member of a
// base class of T). Rejects at compile time a member that is not a Hook of T,
// and one whose offset inside T is not fixed: a member of a virtual base.
// Any other T works, standard-layout or not (a class with virtual functions
// keeps its members at fixed offsets).
template <typename T, auto Member, typename Hook>
struct member_hook {
    using owner = typename member_owner<decltype(Member)>::type;
    using member = typename member_owner<decltype(Member)>::member;
    static constexpr bool is_hook = is_hook_type<member, Hook>();
    static_assert(is_hook,
                  "the member argument must name a hook member of the element type: "
                  "&T::member of type AvlNode or kelu::avl_hook for kelu::avl_set and "
                  "kelu::avl_multiset, of type ListNode or kelu::list_hook for the lists");
    static_assert(!is_hook || std::is_base_of_v<owner, T>,
                  "the hook member must be a member of the element type T or of one of its bases");
    static_assert(!is_hook || !std::is_base_of_v<owner, T> ||
                      std::is_convertible_v<decltype(Member), member T::*>,
                  "the hook's offset inside T would be meaningless: it lies in a virtual "
                  "(or ambiguous) base of T, whose place varies from object to object");

    // The hook's byte offset inside T. With the Itanium C++ ABI, which
    // x86-64 Linux compilers follow, a pointer to data member holds exactly
    // that offset; the compiler folds this to a constant.
    static std::ptrdiff_t offset() noexcept {
        static_assert(sizeof(member T::*) == sizeof(std::ptrdiff_t));
        return std::bit_cast<std::ptrdiff_t>(static_cast<member T::*>(Member));
    }

    static Hook *hook_of(T &element) noexcept {
        return &(element.*static_cast<member T::*>(Member));
    }
    static const Hook *hook_of(const T &element) noexcept {
        return &(element.*static_cast<member T::*>(Member));
    }

    static T *element_of(Hook *hook) noexcept {
        return reinterpret_cast<T *>(reinterpret_cast<char *>(hook) - offset());
    }
};

}  // namespace kelu::detail

#endif  // KELU_MEMBER_HOOK_HPP
