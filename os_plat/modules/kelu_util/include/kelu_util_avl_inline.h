/* SPDX-License-Identifier: MIT */
/**
 * @file kelu_util_avl_inline.h
 *
 * The read-only algorithms of the AVL tree as inline code, for callers that
 * want a search or a walk at the speed of their own compiled code: search
 * with the position written, the nearest element of a position, the first
 * and last element, and the in-order step. They read the public AvlNode
 * layout of kelu_util_avl.h and write nothing but the caller's position.
 * They are the library's own algorithms: findAvlNode(), walkAvlNode(),
 * findAvlNearestNode(), getAvlFirstNode() and getAvlLastNode() are these
 * functions compiled into the library with the tree's C callback, and the
 * C++ layer (kelu/avl_algorithms.hpp) wraps them; the library exports
 * nothing for them.
 *
 * Two levels:
 * - avlNode*() and avlPosition*(): generic functions over AvlNode. The
 *   search takes the comparison as a function pointer and a context; they
 *   are always inlined, so that where the pointer is a constant the compiler
 *   calls (and usually inlines) the comparison directly instead of through
 *   the pointer.
 * - KELU_AVL_DEFINE_READS(): defines static, typed functions for one element
 *   type, its AvlNode member, a key type and a comparison, so that callers
 *   pass and get their own types. With the comparison visible in the same
 *   translation unit, a search compiles to one loop with the comparison in
 *   it.
 *
 * Inline code becomes part of the caller's binary: it relies only on the
 * AvlNode and AvlTree layouts (pinned for the life of the SONAME), not on
 * the library's code. The same contracts hold as for the exported calls:
 * no change of the tree may run meanwhile, the comparison returns exactly
 * -1, 0 or +1 and is consistent with the tree's own, a direction is AVL_LEFT
 * or AVL_RIGHT. Nothing is logged, and no argument is checked, even in the
 * checked build (KELU_ASSERTIONS), which only the library's code knows of.
 */
#ifndef KELU_UTIL_AVL_INLINE_H
#define KELU_UTIL_AVL_INLINE_H

#include <stddef.h>
#include <stdint.h>

#include "kelu_util_avl.h"

/** @cond internal */
/* The generic functions are always inlined; the typed ones are inlined as
 * the compiler sees fit, and a caller need not use all of them. */
#if defined(__GNUC__)
#define KELU_AVL_INLINE static inline __attribute__((always_inline))
#define KELU_AVL_TYPED static inline __attribute__((unused))
#else
#define KELU_AVL_INLINE static inline
#define KELU_AVL_TYPED static inline
#endif

/* Conversions that read as C and as C++ without old-style casts. */
/* KELU_AVL_ELEMENT(_CONST) goes from the bytes of a node's element to the
 * element through void *: the offset of the node makes the address right,
 * and a direct cast from char * would draw -Wcast-align. */
#ifdef __cplusplus
#define KELU_AVL_CAST(type, value) (reinterpret_cast<type>(value))
#define KELU_AVL_NUMBER(type, value) (static_cast<type>(value))
#define KELU_AVL_ELEMENT(type, bytes) (static_cast<type>(static_cast<void *>(bytes)))
#define KELU_AVL_ELEMENT_CONST(type, bytes) (static_cast<type>(static_cast<const void *>(bytes)))
#else
#define KELU_AVL_CAST(type, value) ((type)(value))
#define KELU_AVL_NUMBER(type, value) ((type)(value))
#define KELU_AVL_ELEMENT(type, bytes) ((type)(void *)(bytes))
#define KELU_AVL_ELEMENT_CONST(type, bytes) ((type)(const void *)(bytes))
#endif
/** @endcond */

/** The comparison of a generic search: how the key behind `context` sorts
 * against the element of `node`: -1 before it, 0 equal, +1 after it. */
typedef int32_t (*AvlNodeCompareFunc)(const void *context, const AvlNode *node);

/** avlPositionOf(), avlPositionNode(), avlPositionSide()
 * A position names an empty child slot: the node's address with the side in
 * bit 0. avlPositionNode() is null for the root slot of an empty tree
 * (position 0 or 1). O(1). @{ */
KELU_AVL_INLINE AvlIndex avlPositionOf(AvlNode *node, uint32_t side) {
    return KELU_AVL_NUMBER(AvlIndex, KELU_AVL_CAST(uintptr_t, node)) | side;
}

KELU_AVL_INLINE AvlNode *avlPositionNode(AvlIndex position) {
    return KELU_AVL_CAST(AvlNode *,
                         KELU_AVL_NUMBER(uintptr_t, position & ~KELU_AVL_NUMBER(AvlIndex, 1)));
}

KELU_AVL_INLINE uint32_t avlPositionSide(AvlIndex position) {
    return KELU_AVL_NUMBER(uint32_t, position & 1u);
}
/** @} */

/** avlNodeOutermost()
 * The node reached from `node` (non-null) by following child[side] while it
 * is non-null: the smallest node of the subtree for AVL_LEFT, the largest
 * for AVL_RIGHT. O(height). */
KELU_AVL_INLINE AvlNode *avlNodeOutermost(AvlNode *node, uint32_t side) {
    while (node->child[side] != NULL) {
        node = node->child[side];
    }
    return node;
}

/** avlNodeEnd()
 * The first (AVL_LEFT) or last (AVL_RIGHT) node of the tree under `root`,
 * or null when `root` is null. O(height). */
KELU_AVL_INLINE AvlNode *avlNodeEnd(AvlNode *root, uint32_t side) {
    return root != NULL ? avlNodeOutermost(root, side) : NULL;
}

/** avlNodeStep()
 * The in-order neighbour of `node` (non-null, linked): the successor in
 * direction AVL_RIGHT, the predecessor in direction AVL_LEFT, or null at
 * that end. Follows links only; the climb tests the parent's child pointer,
 * never childIndex. O(height), O(1) amortised over a full walk; with a
 * constant direction it is as specialised as a step written for that side. */
KELU_AVL_INLINE AvlNode *avlNodeStep(AvlNode *node, uint32_t direction) {
    AvlNode *parent;
    if (node->child[direction] != NULL) {
        return avlNodeOutermost(node->child[direction], 1u - direction);
    }
    for (parent = node->parent; parent != NULL; parent = parent->parent) {
        if (parent->child[direction] != node) {
            return parent;
        }
        node = parent;
    }
    return NULL;
}

/** avlNodeNearest()
 * For a position a search wrote on a miss: the nearest node before the
 * missing key (AVL_LEFT) or after it (AVL_RIGHT), or null when there is
 * none or the position is 0 or 1. At most one avlNodeStep(). */
KELU_AVL_INLINE AvlNode *avlNodeNearest(AvlIndex position, uint32_t direction) {
    AvlNode *node = avlPositionNode(position);
    if (node == NULL || avlPositionSide(position) != direction) {
        return node;
    }
    return avlNodeStep(node, direction);
}

/** @cond internal */
/* One step of avlNodeSearch() down to child[side] of *node: 1, or 0 with
 * *found set when that slot is empty and the search ends there. O(1). */
KELU_AVL_INLINE int avlNodeDescend(AvlNode **node, uint32_t side, AvlIndex *found) {
    AvlNode *next = (*node)->child[side];
    if (next == NULL) {
        *found = avlPositionOf(*node, side);
        return 0;
    }
    *node = next;
    return 1;
}
/** @endcond */

/** avlNodeSearch()
 * Descends from `root` calling compare(context, node) exactly once for each
 * node on the path. Returns the node that equals the key, leaving *position
 * unwritten. Otherwise returns null and, when `position` is non-null, stores
 * the empty slot where the key belongs (the last node visited, the key's
 * side in bit 0), or 0 when the tree is empty or compare returned anything
 * but -1, 0 or +1. O(height).
 *
 * The side is chosen by a branch, not computed from the result: the
 * processor then predicts the way down and starts on the next node's
 * comparison before this one has finished, instead of waiting for the whole
 * result -> child load -> key load chain at every level. Each side has its
 * own step down, so that a compiler that sees an inlined comparison does
 * not turn the choice back into a computed index (a conditional move). */
KELU_AVL_INLINE AvlNode *avlNodeSearch(AvlNode *root, AvlNodeCompareFunc compare,
                                       const void *context, AvlIndex *position) {
    AvlNode *node = root;
    AvlIndex found = 0;
    if (node != NULL) {
        for (;;) {
            const int32_t result = compare(context, node);
            if (result == -1) {
                if (!avlNodeDescend(&node, AVL_LEFT, &found)) {
                    break;
                }
            } else if (result == 1) {
                if (!avlNodeDescend(&node, AVL_RIGHT, &found)) {
                    break;
                }
            } else if (result == 0) {
                return node;
            } else {
                break; /* outside -1..+1: no element, position 0 */
            }
        }
    }
    if (position != NULL) {
        *position = found;
    }
    return NULL;
}

/** KELU_AVL_DEFINE_READS()
 * `KELU_AVL_DEFINE_READS(name, Type, member, KeyType, compare);` defines
 * static inline functions for trees of `Type` elements linked through their
 * AvlNode `member`, searched by keys of `KeyType` (passed by value: a
 * number, or a pointer to a larger key) with
 * `int32_t compare(KeyType key, const Type *element)` returning -1, 0 or +1
 * as the tree's own comparison orders the elements (written
 * `key < element->key ? -1 : key > element->key`, it compiles to two
 * compares and branches per level). Every function runs inline, calls
 * nothing but `compare`, and gives the results of the exported call named
 * beside it:
 *
 * - `Type *nameFind(const AvlTree *tree, KeyType key, AvlIndex *position)`:
 *   findAvlNode(); `position` may be null. O(height).
 * - `Type *nameNearest(AvlIndex position, uint32_t direction)`:
 *   findAvlNearestNode(). At most one step.
 * - `Type *nameFirst(const AvlTree *tree)`, `Type *nameLast(const AvlTree *tree)`:
 *   getAvlFirstNode(), getAvlLastNode(). O(height).
 * - `Type *nameNext(Type *element)`, `Type *namePrev(Type *element)`:
 *   walkAvlNode() towards AVL_RIGHT / AVL_LEFT from a linked element.
 *   O(height), O(1) amortised over a full walk.
 * - `Type *nameOf(AvlNode *node)`: the element of a node, or null for
 *   null. O(1).
 *
 * The tree must hold Type elements at offsetof(Type, member), as createAvl()
 * was told. @hideinitializer */
/* NOLINTBEGIN(bugprone-macro-parentheses): Type names a type, which cannot
 * be parenthesised. */
#define KELU_AVL_DEFINE_READS(name, Type, member, KeyType, compare)                             \
    KELU_AVL_TYPED Type *name##Of(AvlNode *node) {                                              \
        return node != NULL ? KELU_AVL_ELEMENT(                                                 \
                                  Type *, KELU_AVL_CAST(char *, node) - offsetof(Type, member)) \
                            : NULL;                                                             \
    }                                                                                           \
    KELU_AVL_TYPED int32_t name##CompareNode(const void *context, const AvlNode *node) {        \
        return compare(*KELU_AVL_CAST(KeyType const *, context),                                \
                       KELU_AVL_ELEMENT_CONST(const Type *, KELU_AVL_CAST(const char *, node) - \
                                                                offsetof(Type, member)));       \
    }                                                                                           \
    KELU_AVL_TYPED Type *name##Find(const AvlTree *tree, KeyType key, AvlIndex *position) {     \
        return name##Of(avlNodeSearch(tree->root, name##CompareNode, &key, position));          \
    }                                                                                           \
    KELU_AVL_TYPED Type *name##Nearest(AvlIndex position, uint32_t direction) {                 \
        return name##Of(avlNodeNearest(position, direction));                                   \
    }                                                                                           \
    KELU_AVL_TYPED Type *name##First(const AvlTree *tree) {                                     \
        return name##Of(avlNodeEnd(tree->root, AVL_LEFT));                                      \
    }                                                                                           \
    KELU_AVL_TYPED Type *name##Last(const AvlTree *tree) {                                      \
        return name##Of(avlNodeEnd(tree->root, AVL_RIGHT));                                     \
    }                                                                                           \
    KELU_AVL_TYPED Type *name##Next(Type *element) {                                            \
        return name##Of(avlNodeStep(&element->member, AVL_RIGHT));                              \
    }                                                                                           \
    KELU_AVL_TYPED Type *name##Prev(Type *element) {                                            \
        return name##Of(avlNodeStep(&element->member, AVL_LEFT));                               \
    }                                                                                           \
    struct name##ReadsDefined /* asks for the semicolon after the macro */
/* NOLINTEND(bugprone-macro-parentheses) */

#endif /* KELU_UTIL_AVL_INLINE_H */
