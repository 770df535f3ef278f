#include "avl_model.h"

#include <algorithm>
#include <utility>

namespace kelu::test {

void ModelAvl::update(Link &node) {
    node->height = 1 + std::max(height(node->child[0]), height(node->child[1]));
}

void ModelAvl::rotate(Link &node, int side) {
    Link top = std::move(node->child[side]);
    node->child[side] = std::move(top->child[1 - side]);
    update(node);
    top->child[1 - side] = std::move(node);
    update(top);
    node = std::move(top);
}

// Rotates when node is out of balance; true when it did.
bool ModelAvl::rebalance(Link &node, Outcome &outcome) {
    update(node);
    const int b = balance(node);
    if (b >= -1 && b <= 1) {
        return false;
    }
    const int heavy = b > 0 ? 1 : 0;
    const int childBalance = balance(node->child[heavy]);
    if (childBalance != 0 && (childBalance > 0) != (heavy == 1)) {
        rotate(node->child[heavy], 1 - heavy);
    }
    rotate(node, heavy);
    ++outcome.rotations;
    return true;
}

bool ModelAvl::insertInto(Link &node, int64_t key, Outcome &outcome) {
    if (!node) {
        node = std::make_unique<Node>();
        node->key = key;
        outcome.changed = true;
        return true;
    }
    if (key == node->key) {
        return false;
    }
    const int side = key > node->key ? 1 : 0;
    const int before = node->height;
    if (!insertInto(node->child[side], key, outcome)) {
        return false;
    }
    if (rebalance(node, outcome)) {
        return false;
    }
    if (balance(node) == 0) {
        outcome.stoppedBalanced = true;
    }
    return node->height > before;
}

ModelAvl::Outcome ModelAvl::insert(int64_t key) {
    Outcome outcome;
    insertInto(root_, key, outcome);
    return outcome;
}

void ModelAvl::removeFrom(Link &node, int64_t key, Outcome &outcome) {
    if (!node) {
        return;
    }
    if (key != node->key) {
        removeFrom(node->child[key > node->key ? 1 : 0], key, outcome);
    } else {
        outcome.changed = true;
        if (!node->child[0] || !node->child[1]) {
            Link only = std::move(node->child[node->child[0] ? 0 : 1]);
            node = std::move(only);
            return;
        }
        // The neighbour from the taller side (the left when equal) moves up.
        const int side = balance(node) > 0 ? 1 : 0;
        const Node *neighbour = node->child[side].get();
        while (neighbour->child[1 - side]) {
            neighbour = neighbour->child[1 - side].get();
        }
        const int64_t replacement = neighbour->key;
        Outcome inner;
        removeFrom(node->child[side], replacement, inner);
        outcome.rotations += inner.rotations;
        node->key = replacement;
    }
    rebalance(node, outcome);
}

ModelAvl::Outcome ModelAvl::remove(int64_t key) {
    Outcome outcome;
    outcome.rootWithoutPass = root_ && root_->key == key && (!root_->child[0] || !root_->child[1]);
    removeFrom(root_, key, outcome);
    return outcome;
}

void ModelAvl::shapeInto(const Link &node, std::string &out) {
    if (!node) {
        out += '.';
        return;
    }
    out += std::to_string(node->key);
    const int b = balance(node);
    if (b != 0) {
        out += b > 0 ? "+" : "-";
    }
    if (node->child[0] || node->child[1]) {
        out += '(';
        shapeInto(node->child[0], out);
        out += ',';
        shapeInto(node->child[1], out);
        out += ')';
    }
}

std::string ModelAvl::shape() const {
    std::string out;
    if (root_) {
        shapeInto(root_, out);
    }
    return out;
}

ModelAvl::Link ModelAvl::parseFrom(const std::string &text, size_t &at) {
    if (text[at] == '.') {
        ++at;
        return nullptr;
    }
    auto node = std::make_unique<Node>();
    size_t used = 0;
    node->key = std::stoll(text.substr(at), &used);
    at += used;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;  // balances follow from the heights
    }
    if (at < text.size() && text[at] == '(') {
        ++at;
        node->child[0] = parseFrom(text, at);
        ++at;
        node->child[1] = parseFrom(text, at);
        ++at;
    }
    update(node);
    return node;
}

ModelAvl ModelAvl::fromShape(const std::string &shape) {
    ModelAvl model;
    size_t at = 0;
    if (!shape.empty()) {
        model.root_ = parseFrom(shape, at);
    }
    return model;
}

}  // namespace kelu::test
