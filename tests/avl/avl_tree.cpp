// SPDX-License-Identifier: MIT
#include "avl_tree.h"

#include <algorithm>
#include <charconv>

namespace kelu::test {
namespace {

// Height of the subtree at `node`, or -1 once `error` holds a violation.
int check(const AvlTree &tree, const AvlNode *node, const AvlNode *parent, int64_t low,
          int64_t high, uint64_t &count, std::string &error) {
    if (node == nullptr || !error.empty()) {
        return 0;
    }
    const int64_t key = keyOf(tree, node);
    const std::string at = "node " + std::to_string(key) + ": ";
    if (++count > tree.nodeNum) {
        error = at + "more nodes than nodeNum " + std::to_string(tree.nodeNum);
    } else if (node->parent != parent) {
        error = at + "wrong parent";
    } else if (parent != nullptr &&
               (node->childIndex > 1 || parent->child[node->childIndex] != node)) {
        error = at + "wrong childIndex";
    } else if (key <= low || key >= high) {
        error = at + "out of order";
    }
    const int left = check(tree, node->child[AVL_LEFT], node, low, key, count, error);
    const int right = check(tree, node->child[AVL_RIGHT], node, key, high, count, error);
    if (error.empty() && (node->balance != right - left || right - left > 1 || left - right > 1)) {
        error = at + "balance " + std::to_string(node->balance) + ", heights " +
                std::to_string(left) + " and " + std::to_string(right);
    }
    return 1 + std::max(left, right);
}

std::string print(const AvlTree &tree, const AvlNode *node) {
    if (node == nullptr) {
        return ".";
    }
    const AvlNode *left = node->child[AVL_LEFT], *right = node->child[AVL_RIGHT];
    const int balance = node->balance;
    return std::to_string(keyOf(tree, node)) +
           (balance == 0    ? ""
            : balance == 1  ? "+"
            : balance == -1 ? "-"
                            : "?") +
           (left != nullptr || right != nullptr
                ? "(" + print(tree, left) + "," + print(tree, right) + ")"
                : "");
}

// Parses one subtree of `shape` from `at` and links it below `parent`.
AvlNode *link(std::string_view shape, size_t &at, AvlNode *parent, uint32_t side, Pool &pool,
              std::vector<int64_t> &keys) {
    if (shape[at] == '.') {
        ++at;
        return nullptr;
    }
    int64_t key = 0;
    at = static_cast<size_t>(std::from_chars(shape.data() + at, shape.end(), key).ptr -
                             shape.data());
    AvlNode *node = &pool[static_cast<size_t>(key)].node;
    *node = {{nullptr, nullptr}, parent, side, 0};
    keys.push_back(key);
    if (at < shape.size() && (shape[at] == '+' || shape[at] == '-')) {
        node->balance = shape[at++] == '+' ? 1 : -1;
    }
    if (at < shape.size() && shape[at] == '(') {
        for (uint32_t child : {AVL_LEFT, AVL_RIGHT}) {
            ++at;  // '(' or ','
            node->child[child] = link(shape, at, node, child, pool, keys);
        }
        ++at;  // ')'
    }
    return node;
}

}  // namespace

Pool::Pool() {
    for (int64_t key = 0; key < kPoolKeys; ++key) {
        (*this)[static_cast<size_t>(key)] = {key, {}};
    }
}

int32_t compareKeys(void *key, void *element) {
    const int64_t a = *static_cast<const int64_t *>(key);
    const int64_t b = static_cast<const Element *>(element)->key;
    return (a > b) - (a < b);
}

int64_t keyOf(const AvlTree &tree, const AvlNode *node) {
    return reinterpret_cast<const Element *>(reinterpret_cast<const char *>(node) - tree.nodeOffset)
        ->key;
}

std::string checkTree(const AvlTree &tree) {
    std::string error;
    uint64_t count = 0;
    check(tree, tree.root, nullptr, INT64_MIN, INT64_MAX, count, error);
    if (error.empty() && count != tree.nodeNum) {
        error = "nodeNum " + std::to_string(tree.nodeNum) + ", nodes " + std::to_string(count);
    }
    return error;
}

std::string shapeOf(const AvlTree &tree) {
    return tree.root != nullptr ? print(tree, tree.root) : "";
}

std::vector<int64_t> buildFromShape(std::string_view shape, AvlTree &tree, Pool &pool) {
    size_t at = 0;
    std::vector<int64_t> keys;
    tree.root = shape.empty() ? nullptr : link(shape, at, nullptr, 0, pool, keys);
    tree.nodeNum = keys.size();
    return keys;
}

}  // namespace kelu::test
