/* SPDX-License-Identifier: MIT */
/**
 * @file kelu_util_avl.h
 *
 * An intrusive AVL tree: a height-balanced ordered set of caller-owned
 * elements. Each element embeds an AvlNode at a fixed offset (the tree's
 * nodeOffset); operations take and return element addresses and never
 * allocate, copy or free anything. No operation takes a lock: the caller
 * serialises every change of a tree against all other use of it, while the
 * read-only operations (getAvlNodeNum, getAvlFirstNode, getAvlLastNode,
 * findAvlNode, walkAvlNode, findAvlNearestNode) may run concurrently with one
 * another. Every rejected argument is logged once through the platform log.
 *
 * Caller contracts the library does not check: the comparison returns exactly
 * -1, 0 or +1 and is consistent; an AvlNode belongs to at most one tree and
 * lies at an even address; a linked element is neither moved nor freed; a
 * position from findAvlNode is used before the tree changes; a direction is
 * AVL_LEFT or AVL_RIGHT.
 *
 * A checked build (the library configured with KELU_ASSERTIONS, for
 * development) tests on entry to each operation, before it writes anything,
 * the contracts that links alone can show ("Checked:" below), and never
 * calls the comparison to do so. A broken one is logged once (level 3, code
 * 1567, the operation's name, a message saying what is wrong), then the
 * process aborts. Testing that an element or position is in the tree climbs
 * its parent links to the root: O(height), so a full walk with walkAvlNode()
 * is O(n log n). The climb reads the links of the element it is given, as
 * the operation itself would: those of an element never linked may hold
 * anything, and then the test may fault rather than report. Mistakes that
 * fault before anything is written (a null tree where none is checked, a
 * descriptor never set up) are not tested.
 */
#ifndef KELU_UTIL_AVL_H
#define KELU_UTIL_AVL_H

#include <stdint.h>

#include "kelu_util_export.h"

KELU_BEGIN_DECLS

/** Sides of a node, and directions of travel: AVL_LEFT holds the smaller
 * elements and steps to the predecessor, AVL_RIGHT the larger elements and
 * steps to the successor. @{ */
#define AVL_LEFT 0u
#define AVL_RIGHT 1u
/** @} */

/** The one failure status of the AVL operations: a null or invalid argument. */
#define AVL_ERR_PARAM 0x03000003u

/** The link record embedded in each element (32 bytes). Written by the library
 * while the element is linked; meaningless once it is removed. */
typedef struct AvlNode {
    struct AvlNode *child[2]; /**< roots of the smaller / larger subtrees, or null */
    struct AvlNode *parent;   /**< null for the root */
    uint32_t childIndex;      /**< slot of parent->child that holds this node */
    int32_t balance;          /**< height(right) - height(left): -1, 0 or +1 */
} AvlNode;

/** The ordering: -1 when key sorts before element, 0 when equal, +1 after. */
typedef int32_t (*AvlCompareFunc)(void *key, void *element);

/** The tree descriptor (32 bytes), owned by the caller. Callers may read every
 * field; only the library writes them, except userValue, which the library
 * only stores in createAvl(). */
typedef struct AvlTree {
    AvlNode *root;          /**< null when the tree is empty */
    AvlCompareFunc compare; /**< non-null once set up by createAvl() */
    uint32_t nodeOffset;    /**< byte offset of the AvlNode inside an element */
    uint32_t userValue;     /**< the caller's own value */
    uint64_t nodeNum;       /**< number of linked elements */
} AvlTree;

/** A position: the address of an AvlNode with the side of its empty child
 * slot in bit 0. A position whose address part is zero (0 or 1) names the
 * root slot of an empty tree. */
typedef uint64_t AvlIndex;

/** createAvl()
 * Sets up `tree` as an empty tree ordered by `compare`, forgetting whatever it
 * held. Returns 0, or AVL_ERR_PARAM (tree checked first, then compare; the
 * descriptor is not written) for a null tree or comparison. */
KELU_API uint32_t createAvl(AvlTree *tree, AvlCompareFunc compare, uint32_t userValue,
                            uint32_t nodeOffset);

/** destroyAvl()
 * Empties the tree at once without touching any element; compare,
 * nodeOffset and userValue are kept, so insertions may follow directly.
 * Returns 0, or AVL_ERR_PARAM for a null tree. */
KELU_API uint32_t destroyAvl(AvlTree *tree);

/** getAvlNodeNum()
 * The number of linked elements; for a null tree, the value AVL_ERR_PARAM
 * (0x03000003) after a log record. O(1). */
KELU_API uint64_t getAvlNodeNum(AvlTree *tree);

/** getAvlFirstNode(), getAvlLastNode()
 * The smallest / largest element, or null when the tree is empty. The tree
 * must not be null (it is not checked). O(height). @{ */
KELU_API void *getAvlFirstNode(AvlTree *tree);
KELU_API void *getAvlLastNode(AvlTree *tree);
/** @} */

/** findAvlNode()
 * Searches for the element equal to `key`, calling compare(key, element) once
 * per node on the path from the root. Returns that element (leaving *position
 * untouched), or null. On a miss, when `position` is non-null, stores where
 * an element with that key belongs (the last node visited, with the key's
 * side in bit 0), or 0 when the tree is empty or compare returned anything
 * but -1, 0 or +1. A null tree or key is logged and answered with null.
 * O(height). */
KELU_API void *findAvlNode(AvlTree *tree, void *key, AvlIndex *position);

/** walkAvlNode()
 * The in-order neighbour of `element` (a linked element of `tree`): the
 * successor for AVL_RIGHT, the predecessor for AVL_LEFT, or null at the end.
 * Follows links only, never compares. A null tree or element is logged and
 * answered with null. O(height) per step, O(1) amortised over a full walk.
 * Checked: the direction; the element is linked in `tree`. */
KELU_API void *walkAvlNode(AvlTree *tree, void *element, uint32_t direction);

/** findAvlNearestNode()
 * For a position stored by findAvlNode() on a miss: the largest element
 * before the missing key (AVL_LEFT) or the smallest after it (AVL_RIGHT), or
 * null when there is none or the position is 0 or 1. A null tree is logged
 * and answered with null. At most one walkAvlNode() step.
 * Checked: the direction; a position other than 0 or 1 names an empty child
 * slot of a node linked in `tree`. */
KELU_API void *findAvlNearestNode(AvlTree *tree, AvlIndex position, uint32_t direction);

/** insertAvlNode()
 * Links `element` at `position`, counts it, and rebalances on the way up with
 * at most one single or double rotation. Every field of the element's
 * AvlNode is rewritten. Returns 0, or AVL_ERR_PARAM (logged; nothing changed)
 * for a null tree or element.
 * Requires: `position` comes from findAvlNode() on this tree, unchanged
 * since, or is 0 for an empty tree; the element is in no tree. The
 * comparison is not called: the caller keeps the order. O(height).
 * Checked: the element's AvlNode is at an even address; the position names
 * an empty child slot of a node linked in `tree`, or is 0 or 1 and the tree
 * is empty. */
KELU_API uint32_t insertAvlNode(AvlTree *tree, void *element, AvlIndex position);

/** addAvlNode()
 * Adds `element` unless an element comparing equal to it (possibly itself) is
 * present; the element is its own search key, so compare must accept an
 * element as its key. A refused duplicate changes nothing and logs nothing;
 * callers that need to know compare getAvlNodeNum() before and after.
 * A null tree or element is logged. If compare breaks its contract (returns
 * anything but -1, 0 or +1) on a non-empty tree, the element is not linked,
 * the tree is left exactly as it was and "InsertAvlNode fail." (code 829) is
 * logged. O(height). Checked: the element's AvlNode is at an even address. */
KELU_API void addAvlNode(AvlTree *tree, void *element);

/** insertAvlNodeSpecified()
 * Links `element` as the immediate in-order successor (AVL_RIGHT) or
 * predecessor (AVL_LEFT) of `here`, a linked element of this tree, without
 * calling the comparison: the caller keeps the order. Returns 0, or
 * AVL_ERR_PARAM (logged; nothing changed) for a null tree, element or here
 * (checked in that order) or a direction other than 0 or 1. O(height).
 * Checked: the element's AvlNode is at an even address; `here` is linked in
 * `tree`. */
KELU_API uint32_t insertAvlNodeSpecified(AvlTree *tree, void *element, void *here,
                                         uint32_t direction);

/** removeAvlNode()
 * Unlinks `element`, a linked element of this tree, and rebalances, possibly
 * rotating at several levels. An element with two children is replaced by
 * its in-order neighbour from the taller subtree (the left one when both are
 * equally tall). The removed element's AvlNode is not written, and the
 * comparison is not called. A null tree or element is logged. O(height).
 * Checked: the element is linked in `tree`. */
KELU_API void removeAvlNode(AvlTree *tree, void *element);

/** The operation table: eleven exported AVL operations (all but walkAvlNode),
 * in this fixed slot order. Calling through a slot is calling the function. */
typedef struct AvlSvcOp {
    /** The function of the slot's name. @{ */
    uint32_t (*createAvl)(AvlTree *tree, AvlCompareFunc compare, uint32_t userValue,
                          uint32_t nodeOffset);
    uint32_t (*destroyAvl)(AvlTree *tree);
    uint32_t (*insertAvlNode)(AvlTree *tree, void *element, AvlIndex position);
    void *(*findAvlNode)(AvlTree *tree, void *key, AvlIndex *position);
    void *(*findAvlNearestNode)(AvlTree *tree, AvlIndex position, uint32_t direction);
    void (*addAvlNode)(AvlTree *tree, void *element);
    void (*removeAvlNode)(AvlTree *tree, void *element);
    uint32_t (*insertAvlNodeSpecified)(AvlTree *tree, void *element, void *here,
                                       uint32_t direction);
    void *(*getAvlFirstNode)(AvlTree *tree);
    void *(*getAvlLastNode)(AvlTree *tree);
    uint64_t (*getAvlNodeNum)(AvlTree *tree);
    /** @} */
} AvlSvcOp;

/** g_avlSvcOp
 * The library's one operation table: every slot is null until
 * initAvlSvcIntf() has run; nothing ever clears it. */
KELU_API extern AvlSvcOp g_avlSvcOp;

/** initAvlSvcIntf()
 * Fills g_avlSvcOp, slot 0 first, with the addresses the process's dynamic
 * linking resolves for the eleven names. Idempotent; call it once before
 * sharing the table with other threads. */
KELU_API void initAvlSvcIntf(void);

/** GetAvlMgrAddr()
 * The address of g_avlSvcOp, filled or not. */
KELU_API AvlSvcOp *GetAvlMgrAddr(void);

KELU_END_DECLS

#endif /* KELU_UTIL_AVL_H */
