// SPDX-License-Identifier: MIT
// The AVL tree's operations: descriptor, search and navigation, insertion,
// removal and the operation table. Every log record of the tree is written
// here, so each carries this file's name.
#include "kelu_util_avl.h"
#include "kelu_util_avl_inline.h"

#include <atomic>

#include "avl_checks.h"
#include "avl_internal.h"
#include "avl_rotation.h"
#include "kelu_platform_calls.h"

using namespace kelu::avl;

namespace {

constexpr uint32_t kCodeNullPointer = 1565;
constexpr uint32_t kCodeNullPointerNoResult = 1566;
constexpr uint32_t kCodeInvalidParam = 1563;
constexpr uint32_t kCodeAddInsertFailed = 829;
constexpr uint32_t kCodeSpecifiedInsertFailed = 830;
constexpr uint32_t kCodeInsertBalanced = 828;
constexpr uint32_t kCodeRemoveRootNoPass = 831;

// The search: the element equal to key, or null with the position written
// as findAvlNode() documents. compare and nodeOffset are read once: the
// comparison may not change the tree it is called for.
inline void *search(AvlTree *tree, void *key, AvlIndex *position) {
    const AvlCompareFunc compare = tree->compare;
    const uint32_t offset = tree->nodeOffset;
    AvlIndex found;
    AvlNode *node = kelu::avl_algorithms::search(
        tree->root, [=](AvlNode *n) { return compare(key, reinterpret_cast<char *>(n) - offset); },
        found);
    if (node != nullptr) {
        return reinterpret_cast<char *>(node) - offset;
    }
    if (position != nullptr) {
        *position = found;
    }
    return nullptr;
}

inline void *elementOrNull(AvlTree *tree, AvlNode *node) {
    return node != nullptr ? elementOf(tree, node) : nullptr;
}

// Links element at position, counts it and retraces balances upwards: the
// pass stops at a node that became balanced (its height is unchanged), at
// the single rotation an insertion can need, or above the root.
inline uint32_t link(AvlTree *tree, void *element, AvlIndex position) {
    AvlNode *parent = positionNode(position);
    uint32_t side = positionSide(position);
    ++tree->nodeNum;

    AvlNode *node = nodeOf(tree, element);
    node->child[AVL_LEFT] = nullptr;
    node->child[AVL_RIGHT] = nullptr;
    node->childIndex = side;
    node->balance = 0;
    node->parent = parent;
    if (parent == nullptr) {
        tree->root = node;
        return 0;
    }
    parent->child[side] = node;

    do {
        const int32_t old = parent->balance;
        const int32_t grown = old + avlChildToBalance(side);
        if (grown == 0) {
            parent->balance = 0;
            KELU_LOG(LOG_LVL_DBG, "insertAvlNode", kCodeInsertBalanced, "Set AVL balance done.");
            return 0;
        }
        if (old != 0) {
            (void)rotateAt(tree, parent, grown);
            return 0;
        }
        parent->balance = grown;
        side = parent->childIndex;
        parent = parent->parent;
    } while (parent != nullptr);
    return 0;
}

// Removes node x. With two children, x's in-order neighbour y from the taller
// side takes x's place (links, childIndex and balance), and y's former place
// is emptied the way a node with one child is unlinked: y's own child on
// the side it was taken from (it has none on the other) moves up into it. The links are
// computed from values read before anything is written, so no step waits
// for a field that an earlier step has just stored.
inline void unlink(AvlTree *tree, AvlNode *x) {
    AvlNode *parent = x->parent;
    uint32_t side = x->childIndex;
    AvlNode *only;
    if (x->child[AVL_LEFT] == nullptr) {
        only = x->child[AVL_RIGHT];
    } else if (x->child[AVL_RIGHT] == nullptr) {
        only = x->child[AVL_LEFT];
    } else {
        const uint32_t toward = avlBalanceToChild[x->balance + 1];
        AvlNode *const near = x->child[toward];
        AvlNode *const far = x->child[1u - toward];
        // A branch on the side, each way descending with a constant side: the
        // processor predicts it and starts the descent without waiting for
        // the balance and the table.
        AvlNode *const y = toward == AVL_LEFT ? outermost(x->child[AVL_LEFT], AVL_RIGHT)
                                              : outermost(x->child[AVL_RIGHT], AVL_LEFT);
        AvlNode *const yParent = y->parent;
        const uint32_t yIndex = y->childIndex;
        only = y->child[toward];

        *y = *x;  // y takes x's links, childIndex and balance
        slotOf(tree, parent, side) = y;
        far->parent = y;
        if (yParent == x) {
            parent = y;  // y's former place is its own slot on side `toward`
        } else {
            near->parent = y;
            parent = yParent;
        }
        side = yIndex;
    }

    // Unlink the node leaving its place (x, or y from its former place).
    --tree->nodeNum;
    if (only != nullptr) {
        only->parent = parent;
        only->childIndex = side;
    }
    if (parent == nullptr) {
        tree->root = only;
        KELU_LOG(LOG_LVL_DBG, "removeAvlNode", kCodeRemoveRootNoPass,
                 "Remove node not need set balance.");
        return;
    }
    parent->child[side] = only;

    // The subtree of `parent` on `side` is one level lower. Go up while the
    // subtree rooted at `parent` loses a level too.
    do {
        const int32_t old = parent->balance;
        AvlNode *const next = parent->parent;
        const uint32_t nextSide = parent->childIndex;
        const int32_t shrunk = old - avlChildToBalance(side);
        if (old == 0) {
            parent->balance = shrunk;
            return;
        }
        if (shrunk == 0) {
            parent->balance = 0;
        } else if (rotateAt(tree, parent, shrunk) == 0) {
            return;
        }
        parent = next;
        side = nextSide;
    } while (parent != nullptr);
}

// One slot of the operation table.
template <typename Operation>
inline void fill(Operation &slot, Operation operation) {
    std::atomic_ref<Operation>(slot).store(operation, std::memory_order_relaxed);
}

}  // namespace

uint32_t kelu::avl::rotationAvlNode(AvlTree *tree, AvlNode *node, int32_t balance) {
    if (tree == nullptr || node == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "rotationAvlNode", kCodeNullPointer, "NULL POINTER.");
        return AVL_ERR_PARAM;
    }
    return rotateAt(tree, node, balance);
}

extern "C" {

AvlSvcOp g_avlSvcOp;

uint32_t createAvl(AvlTree *tree, AvlCompareFunc compare, uint32_t userValue, uint32_t nodeOffset) {
    if (tree == nullptr || compare == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "createAvl", kCodeNullPointer, "NULL POINTER.");
        return AVL_ERR_PARAM;
    }
    tree->root = nullptr;
    tree->compare = compare;
    tree->nodeOffset = nodeOffset;
    tree->userValue = userValue;
    tree->nodeNum = 0;
    return 0;
}

uint32_t destroyAvl(AvlTree *tree) {
    if (tree == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "destroyAvl", kCodeNullPointer, "NULL POINTER.");
        return AVL_ERR_PARAM;
    }
    tree->root = nullptr;
    tree->nodeNum = 0;
    return 0;
}

uint64_t getAvlNodeNum(AvlTree *tree) {
    if (tree == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "getAvlNodeNum", kCodeNullPointer, "NULL POINTER.");
        return AVL_ERR_PARAM;
    }
    return tree->nodeNum;
}

void *getAvlFirstNode(AvlTree *tree) {
    return elementOrNull(tree, avlNodeEnd(tree->root, AVL_LEFT));
}

void *getAvlLastNode(AvlTree *tree) {
    return elementOrNull(tree, avlNodeEnd(tree->root, AVL_RIGHT));
}

void *findAvlNode(AvlTree *tree, void *key, AvlIndex *position) {
    if (tree == nullptr || key == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "findAvlNode", kCodeNullPointer, "NULL POINTER.");
        return nullptr;
    }
    return search(tree, key, position);
}

void *walkAvlNode(AvlTree *tree, void *element, uint32_t direction) {
    if (tree == nullptr || element == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "walkAvlNode", kCodeNullPointer, "NULL POINTER.");
        return nullptr;
    }
    KELU_REQUIRE(isDirection(direction), "walkAvlNode",
                 "Direction is neither AVL_LEFT nor AVL_RIGHT.");
    KELU_REQUIRE(isLinkedIn(tree, nodeOf(tree, element)), "walkAvlNode",
                 "Element is not linked in this tree.");
    return elementOrNull(tree, step(nodeOf(tree, element), direction));
}

void *findAvlNearestNode(AvlTree *tree, AvlIndex position, uint32_t direction) {
    if (tree == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "findAvlNearestNode", kCodeNullPointer, "NULL POINTER.");
        return nullptr;
    }
    KELU_REQUIRE(isDirection(direction), "findAvlNearestNode",
                 "Direction is neither AVL_LEFT nor AVL_RIGHT.");
    KELU_REQUIRE(positionNode(position) == nullptr || namesEmptySlot(tree, position),
                 "findAvlNearestNode", "Position names no empty slot of this tree.");
    return elementOrNull(tree, avlNodeNearest(position, direction));
}

uint32_t insertAvlNode(AvlTree *tree, void *element, AvlIndex position) {
    if (tree == nullptr || element == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "insertAvlNode", kCodeNullPointer, "NULL POINTER.");
        return AVL_ERR_PARAM;
    }
    KELU_REQUIRE(isEven(nodeOf(tree, element)), "insertAvlNode",
                 "Element's AvlNode is at an odd address.");
    KELU_REQUIRE(namesEmptySlot(tree, position), "insertAvlNode",
                 "Position names no empty slot of this tree.");
    return link(tree, element, position);
}

void addAvlNode(AvlTree *tree, void *element) {
    if (tree == nullptr || element == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "addAvlNode", kCodeNullPointerNoResult, "NULL POINTER.");
        return;
    }
    KELU_REQUIRE(isEven(nodeOf(tree, element)), "addAvlNode",
                 "Element's AvlNode is at an odd address.");
    // findAvlNode and insertAvlNode without their argument checks, which
    // cannot fail here, and without a call through the procedure linkage
    // table: the records and results are theirs.
    AvlIndex position = 0;
    if (search(tree, element, &position) != nullptr) {
        return;
    }
    // A miss in a non-empty tree always names a node, unless the comparison
    // returned something other than -1, 0 or +1: then position 0 would
    // replace the whole tree by this element, so the insertion is refused.
    const bool contractBroken = positionNode(position) == nullptr && tree->root != nullptr;
    const uint32_t status = contractBroken ? AVL_ERR_PARAM : link(tree, element, position);
    if (status != 0) {
        KELU_LOG(LOG_LVL_ERR, "addAvlNode", kCodeAddInsertFailed, "InsertAvlNode fail.");
    }
}

uint32_t insertAvlNodeSpecified(AvlTree *tree, void *element, void *here, uint32_t direction) {
    if (tree == nullptr || element == nullptr || here == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "insertAvlNodeSpecified", kCodeNullPointer, "NULL POINTER.");
        return AVL_ERR_PARAM;
    }
    if (direction > AVL_RIGHT) {
        KELU_LOG(LOG_LVL_ERR, "insertAvlNodeSpecified", kCodeInvalidParam, "Invalid Param.");
        return AVL_ERR_PARAM;
    }
    KELU_REQUIRE(isEven(nodeOf(tree, element)), "insertAvlNodeSpecified",
                 "Element's AvlNode is at an odd address.");
    KELU_REQUIRE(isLinkedIn(tree, nodeOf(tree, here)), "insertAvlNodeSpecified",
                 "Anchor is not linked in this tree.");
    // The empty slot right next to `here` in `direction`: its own child slot,
    // or the innermost slot of its subtree on that side.
    AvlNode *node = nodeOf(tree, here);
    uint32_t side = direction;
    if (node->child[direction] != nullptr) {
        side = 1u - direction;
        node = outermost(node->child[direction], side);
    }
    const uint32_t status = link(tree, element, positionOf(node, side));  // insertAvlNode's step
    if (status != 0) {
        KELU_LOG(LOG_LVL_ERR, "insertAvlNodeSpecified", kCodeSpecifiedInsertFailed,
                 "InsertAvlNode fail.");
    }
    return status;
}

void removeAvlNode(AvlTree *tree, void *element) {
    if (tree == nullptr || element == nullptr) {
        KELU_LOG(LOG_LVL_ERR, "removeAvlNode", kCodeNullPointerNoResult, "NULL POINTER.");
        return;
    }
    KELU_REQUIRE(isLinkedIn(tree, nodeOf(tree, element)), "removeAvlNode",
                 "Element is not linked in this tree.");
    unlink(tree, nodeOf(tree, element));
}

// Naming the exported functions here yields the addresses the process's
// dynamic linking resolves for them (they are default-visibility and
// interposable, so the references go through the GOT). Each slot is written
// with a relaxed atomic store: threads filling the table at once store the
// same values, which is no data race, and a race detector sees none.
void initAvlSvcIntf(void) {
    fill(g_avlSvcOp.createAvl, createAvl);
    fill(g_avlSvcOp.destroyAvl, destroyAvl);
    fill(g_avlSvcOp.insertAvlNode, insertAvlNode);
    fill(g_avlSvcOp.findAvlNode, findAvlNode);
    fill(g_avlSvcOp.findAvlNearestNode, findAvlNearestNode);
    fill(g_avlSvcOp.addAvlNode, addAvlNode);
    fill(g_avlSvcOp.removeAvlNode, removeAvlNode);
    fill(g_avlSvcOp.insertAvlNodeSpecified, insertAvlNodeSpecified);
    fill(g_avlSvcOp.getAvlFirstNode, getAvlFirstNode);
    fill(g_avlSvcOp.getAvlLastNode, getAvlLastNode);
    fill(g_avlSvcOp.getAvlNodeNum, getAvlNodeNum);
}

AvlSvcOp *GetAvlMgrAddr(void) {
    return &g_avlSvcOp;
}

}  // extern "C"
