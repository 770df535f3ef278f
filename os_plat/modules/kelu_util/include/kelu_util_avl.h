/*
 * File: kelu_util_avl.h
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
 */
#ifndef KELU_UTIL_AVL_H
#define KELU_UTIL_AVL_H

#include <stdint.h>

#include "kelu_util_export.h"

KELU_BEGIN_DECLS

/* Sides of a node, and directions of travel: AVL_LEFT holds the smaller
 * elements and steps to the predecessor, AVL_RIGHT the larger elements and
 * steps to the successor. */
#define AVL_LEFT 0u
#define AVL_RIGHT 1u

/* The one failure status of the AVL operations: a null or invalid argument. */
#define AVL_ERR_PARAM 0x03000003u

/* The link record embedded in each element (32 bytes). Written by the library
 * while the element is linked; meaningless once it is removed. */
typedef struct AvlNode {
    struct AvlNode *child[2]; /* roots of the smaller / larger subtrees, or null */
    struct AvlNode *parent;   /* null for the root */
    uint32_t childIndex;      /* slot of parent->child that holds this node */
    int32_t balance;          /* height(right) - height(left): -1, 0 or +1 */
} AvlNode;

/* The ordering: -1 when key sorts before element, 0 when equal, +1 after. */
typedef int32_t (*AvlCompareFunc)(void *key, void *element);

/* The tree descriptor (32 bytes), owned by the caller. Callers may read every
 * field; only the library writes them, except userValue, which the library
 * only stores in createAvl(). */
typedef struct AvlTree {
    AvlNode *root;          /* null when the tree is empty */
    AvlCompareFunc compare; /* non-null once set up by createAvl() */
    uint32_t nodeOffset;    /* byte offset of the AvlNode inside an element */
    uint32_t userValue;     /* the caller's own value */
    uint64_t nodeNum;       /* number of linked elements */
} AvlTree;

/* A position: the address of an AvlNode with the side of its empty child
 * slot in bit 0. A position whose address part is zero (0 or 1) names the
 * root slot of an empty tree. */
typedef uint64_t AvlIndex;

/* createAvl()
 * Sets up `tree` as an empty tree ordered by `compare`, forgetting whatever it
 * held. Returns 0, or AVL_ERR_PARAM (tree checked first, then compare; the
 * descriptor is not written) for a null tree or comparison. */
KELU_API uint32_t createAvl(AvlTree *tree, AvlCompareFunc compare, uint32_t userValue,
                            uint32_t nodeOffset);

/* destroyAvl()
 * Empties the tree at once without touching any element; compare,
 * nodeOffset and userValue are kept, so insertions may follow directly.
 * Returns 0, or AVL_ERR_PARAM for a null tree. */
KELU_API uint32_t destroyAvl(AvlTree *tree);

/* getAvlNodeNum()
 * The number of linked elements; for a null tree, the value AVL_ERR_PARAM
 * (0x03000003) after a log record. O(1). */
KELU_API uint64_t getAvlNodeNum(AvlTree *tree);

/* getAvlFirstNode(), getAvlLastNode()
 * The smallest / largest element, or null when the tree is empty. The tree
 * must not be null (it is not checked). O(height). */
KELU_API void *getAvlFirstNode(AvlTree *tree);
KELU_API void *getAvlLastNode(AvlTree *tree);

KELU_END_DECLS

#endif /* KELU_UTIL_AVL_H */
