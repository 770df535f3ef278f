// SPDX-License-Identifier: MIT
///
/// @file kelu/checked.hpp
///
/// Checked mode of the typed containers and hooks: how a type gets its mode,
/// and what a failed check does.
///
/// Every container and hook type takes `bool Checked` as its last template
/// parameter, defaulted to kelu::checked_by_default: the value of the macro
/// KELU_CHECKED when the translation unit defines it (0 or 1), otherwise on
/// exactly when NDEBUG is not defined. The mode is part of the type, so
/// translation units built with and without NDEBUG name two different types
/// instead of two definitions of one (which would break the one-definition
/// rule: no instantiated function or class has two definitions); a type
/// shared between them, such as an element type with a kelu::avl_hook<>
/// member, should name its mode explicitly.
///
/// In checked mode each change checks, before it writes anything, that it is
/// given what it requires (an element to link is unlinked, an element or
/// iterator to unlink is linked in this container, and so on). A failed check
/// builds one line naming the container type, the operation and what is
/// wrong, hands it to KELU_CHECK_FAILED(message) and then calls std::abort().
/// KELU_CHECK_FAILED writes the line to stderr unless the program defines it
/// before including a kelu header; it must not return into the operation
/// (after it the operation aborts anyway).
///
/// Checked mode off compiles to the same code as a container without it.
#ifndef KELU_CHECKED_HPP
#define KELU_CHECKED_HPP

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

/// 1: the containers and hooks check by default; 0: they do not. Defaults to
/// 1 unless NDEBUG is defined; define it before including to choose.
#ifndef KELU_CHECKED
#ifdef NDEBUG
#define KELU_CHECKED 0
#else
#define KELU_CHECKED 1
#endif
#endif

/// Writes a failed check's message (one line); the operation aborts after
/// it. Defaults to standard error; define it before including to redirect.
#ifndef KELU_CHECK_FAILED
#define KELU_CHECK_FAILED(message) static_cast<void>(std::fputs(message, stderr))
#endif

namespace kelu {

/// Not inline: each translation unit has its own, with its own value.
constexpr bool checked_by_default = KELU_CHECKED != 0;

namespace detail {

/// The compiler's spelling of Container, inside the text of this function's
/// name ("... [with Container = kelu::avl_set<...>]" or "[Container = ...]").
template <typename Container>
const char *spelled_in_signature() noexcept {
    return __PRETTY_FUNCTION__;
}

/// check_failed<Container>()
/// Reports "kelu: <Container>::<operation>: <what>" and aborts.
template <typename Container>
[[noreturn, gnu::cold, gnu::noinline]] void check_failed(const char *operation,
                                                         const char *what) noexcept {
    const std::string_view signature = spelled_in_signature<Container>();
    const std::string_view tag = "Container = ";
    const std::size_t start = signature.find(tag) + tag.size();
    const std::string_view name = signature.substr(start, signature.rfind(']') - start);
    char message[2048];
    (void)std::snprintf(message, sizeof message, "kelu: %.*s::%s: %s\n",
                        static_cast<int>(name.size()), name.data(), operation, what);
    KELU_CHECK_FAILED(message);
    std::abort();
}

/// What failed checks say, written once for every container. @{
namespace failure {
inline constexpr const char avl_linked[] =
    "the element's hook is linked: unlink it first (a plain AvlNode that was never zeroed "
    "reads as linked: declare it 'AvlNode hook{};' or use kelu::avl_hook)";
inline constexpr const char avl_not_here[] =
    "the element is not linked in this container (end(), never linked, already erased, in "
    "another container, or a copy of a linked element)";
inline constexpr const char list_linked[] =
    "the element's hook is linked: unlink it first (a plain ListNode that was never zeroed "
    "reads as linked: declare it 'ListNode hook{};' or use kelu::list_hook)";
inline constexpr const char list_not_linked[] =
    "the element is not linked in a list (end(), never linked, already erased, or a copy of a "
    "linked element)";
inline constexpr const char list_at_end_only[] =
    "the position is neither begin() nor end(): the C list links only at its two ends";
inline constexpr const char list_into_itself[] = "a list cannot be spliced into itself";
inline constexpr const char hook_destroyed[] =
    "the hook is destroyed while linked: unlink its element first (erase it, or clear or "
    "destroy its container)";
}  // namespace failure
/// @}

}  // namespace detail
}  // namespace kelu

#endif  // KELU_CHECKED_HPP
