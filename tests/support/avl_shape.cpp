#include "avl_shape.h"

#include <cstddef>
#include <utility>

namespace kelu::test {
namespace {

const void *elementAt(const AvlTree &tree, const AvlNode *node) {
    return reinterpret_cast<const char *>(node) - tree.nodeOffset;
}

// Height of the subtree at node; reports the first violation into `error`.
int checkSubtree(const AvlTree &tree, const AvlNode *node, const AvlNode *parent, uint64_t &count,
                 std::string &error) {
    if (node == nullptr || !error.empty()) {
        return 0;
    }
    ++count;
    if (count > tree.nodeNum + 1) {
        error = "more nodes than nodeNum (or a cycle)";
        return 0;
    }
    const int64_t key = keyOf(elementAt(tree, node));
    auto where = [key] { return "node " + std::to_string(key) + ": "; };
    if (node->parent != parent) {
        error = where() + "wrong parent";
        return 0;
    }
    if (parent != nullptr && (node->childIndex > 1 || parent->child[node->childIndex] != node)) {
        error = where() + "wrong childIndex";
        return 0;
    }
    for (uint32_t side = 0; side < 2; ++side) {
        const AvlNode *child = node->child[side];
        if (child != nullptr) {
            const int64_t childKey = keyOf(elementAt(tree, child));
            if (side == AVL_LEFT ? childKey >= key : childKey <= key) {
                error = where() + "child out of order";
                return 0;
            }
        }
    }
    const int left = checkSubtree(tree, node->child[AVL_LEFT], node, count, error);
    const int right = checkSubtree(tree, node->child[AVL_RIGHT], node, count, error);
    if (error.empty() && node->balance != right - left) {
        error = where() + "balance " + std::to_string(node->balance) + ", heights differ by " +
                std::to_string(right - left);
    }
    if (error.empty() && (right - left > 1 || left - right > 1)) {
        error = where() + "unbalanced";
    }
    return 1 + (left > right ? left : right);
}

void shapeInto(const AvlTree &tree, const AvlNode *node, std::string &out) {
    if (node == nullptr) {
        out += '.';
        return;
    }
    out += std::to_string(keyOf(elementAt(tree, node)));
    if (node->balance != 0) {
        out += node->balance > 0 ? (node->balance == 1 ? "+" : "+?")
                                 : (node->balance == -1 ? "-" : "-?");
    }
    if (node->child[0] != nullptr || node->child[1] != nullptr) {
        out += '(';
        shapeInto(tree, node->child[0], out);
        out += ',';
        shapeInto(tree, node->child[1], out);
        out += ')';
    }
}

// A parsed shape, for building and mirroring.
struct ShapeNode {
    int64_t key = 0;
    int32_t balance = 0;
    std::vector<ShapeNode> children;  // none for a leaf, else exactly two
    bool empty = false;
};

ShapeNode parse(const std::string &text, size_t &at) {
    ShapeNode node;
    if (at < text.size() && text[at] == '.') {
        ++at;
        node.empty = true;
        return node;
    }
    size_t used = 0;
    node.key = std::stoll(text.substr(at), &used);
    at += used;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        node.balance = text[at] == '+' ? 1 : -1;
        ++at;
    }
    if (at < text.size() && text[at] == '(') {
        ++at;
        node.children.push_back(parse(text, at));
        ++at;  // ','
        node.children.push_back(parse(text, at));
        ++at;  // ')'
    }
    return node;
}

std::string print(const ShapeNode &node) {
    if (node.empty) {
        return ".";
    }
    std::string out = std::to_string(node.key);
    if (node.balance != 0) {
        out += node.balance > 0 ? "+" : "-";
    }
    if (!node.children.empty()) {
        out += "(" + print(node.children[0]) + "," + print(node.children[1]) + ")";
    }
    return out;
}

void mirror(ShapeNode &node) {
    node.balance = -node.balance;
    if (!node.children.empty()) {
        std::swap(node.children[0], node.children[1]);
        mirror(node.children[0]);
        mirror(node.children[1]);
    }
}

AvlNode *link(const ShapeNode &shape, AvlNode *parent, uint32_t index, std::deque<Keyed> &pool,
              uint64_t &count) {
    if (shape.empty) {
        return nullptr;
    }
    Keyed &element = pool.emplace_back();
    ++count;
    element.key = shape.key;
    element.node = {{nullptr, nullptr}, parent, index, shape.balance};
    if (!shape.children.empty()) {
        element.node.child[0] = link(shape.children[0], &element.node, AVL_LEFT, pool, count);
        element.node.child[1] = link(shape.children[1], &element.node, AVL_RIGHT, pool, count);
    }
    return &element.node;
}

}  // namespace

int32_t compareKeys(void *key, void *element) {
    const int64_t a = keyOf(key);
    const int64_t b = keyOf(element);
    return (a > b) - (a < b);
}

std::string checkTree(const AvlTree &tree) {
    std::string error;
    uint64_t count = 0;
    if (tree.root != nullptr && tree.root->parent != nullptr) {
        return "root has a parent";
    }
    checkSubtree(tree, tree.root, nullptr, count, error);
    if (error.empty()) {
        std::vector<int64_t> keys = inOrderKeys(tree);
        for (size_t i = 1; i < keys.size(); ++i) {
            if (keys[i - 1] >= keys[i]) {
                return "in-order keys not ascending at " + std::to_string(keys[i]);
            }
        }
    }
    if (error.empty() && count != tree.nodeNum) {
        error = "nodeNum " + std::to_string(tree.nodeNum) + ", nodes " + std::to_string(count);
    }
    return error;
}

std::vector<int64_t> inOrderKeys(const AvlTree &tree) {
    std::vector<int64_t> keys;
    std::vector<const AvlNode *> stack;
    const AvlNode *node = tree.root;
    while (node != nullptr || !stack.empty()) {
        while (node != nullptr) {
            stack.push_back(node);
            node = node->child[AVL_LEFT];
        }
        node = stack.back();
        stack.pop_back();
        keys.push_back(keyOf(elementAt(tree, node)));
        node = node->child[AVL_RIGHT];
    }
    return keys;
}

std::string shapeOf(const AvlTree &tree) {
    std::string out;
    if (tree.root != nullptr) {
        shapeInto(tree, tree.root, out);
    }
    return out;
}

std::string mirrorShape(const std::string &shape) {
    if (shape.empty()) {
        return shape;
    }
    size_t at = 0;
    ShapeNode root = parse(shape, at);
    mirror(root);
    return print(root);
}

void buildFromShape(const std::string &shape, AvlTree &tree, std::deque<Keyed> &pool) {
    tree.root = nullptr;
    tree.nodeNum = 0;
    if (shape.empty()) {
        return;
    }
    size_t at = 0;
    const ShapeNode root = parse(shape, at);
    uint64_t count = 0;
    tree.root = link(root, nullptr, 0, pool, count);
    tree.nodeNum = count;
}

Keyed *findKeyed(std::deque<Keyed> &pool, int64_t key) {
    for (Keyed &element : pool) {
        if (element.key == key) {
            return &element;
        }
    }
    return nullptr;
}

}  // namespace kelu::test
