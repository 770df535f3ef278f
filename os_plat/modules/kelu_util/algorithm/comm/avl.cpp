// The AVL tree's exported operations.
#include "kelu_util_avl.h"

#include "avl_internal.h"
#include "kelu_platform_calls.h"

using namespace kelu::avl;

namespace {

constexpr uint32_t kCodeNullPointer = 1565;

}  // namespace

extern "C" {

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

static void *outermostElement(AvlTree *tree, uint32_t side) {
    if (tree->root == nullptr) {
        return nullptr;
    }
    return elementOf(tree, outermost(tree->root, side));
}

void *getAvlFirstNode(AvlTree *tree) {
    return outermostElement(tree, AVL_LEFT);
}

void *getAvlLastNode(AvlTree *tree) {
    return outermostElement(tree, AVL_RIGHT);
}

}  // extern "C"
