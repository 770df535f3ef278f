// SPDX-License-Identifier: MIT
#include "avl_harness.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "qxlog.h"
#include "recording_platform.h"

namespace kelu::test {

// createAvl() writes every field of the descriptor, whatever it held.
AvlHarness::AvlHarness(std::string_view shape) {
    std::memset(&tree_, 0xA5, sizeof tree_);
    if (createAvl(&tree_, compareKeys, kUserValue, kNodeOffset) != 0 || tree_.root != nullptr ||
        tree_.nodeNum != 0 || !described()) {
        fail("createAvl left the descriptor wrong");
    }
    for (int64_t key : buildFromShape(shape, tree_, pool_)) {
        keys_.insert(key);
    }
    clearRecords();
    check("build " + std::string(shape), 0);
}

bool AvlHarness::described() const {
    return tree_.compare == compareKeys && tree_.nodeOffset == kNodeOffset &&
           tree_.userValue == kUserValue;
}

bool AvlHarness::fail(const std::string &what) {
    if (failure_.empty()) {
        failure_ = what;
    }
    return false;
}

bool AvlHarness::check(const std::string &operation, uint32_t code) {
    // The failure message names the tree, which is only printed when needed.
    auto where = [&] { return operation + " -> " + shapeOf(tree_) + ": "; };
    std::vector<LogRecord> expected;
    if (code == 828) {
        expected.push_back(
            record(LOG_LVL_DBG, "avl.cpp", "insertAvlNode", 828, "Set AVL balance done."));
    } else if (code == 831) {
        expected.push_back(record(LOG_LVL_DBG, "avl.cpp", "removeAvlNode", 831,
                                  "Remove node not need set balance."));
    }
    const bool recordsMatch = matches(logRecords(), expected);
    clearRecords();
    if (!recordsMatch) {
        return fail(where() + "wrong log records");
    }
    if (const std::string broken = checkTree(tree_); !broken.empty()) {
        return fail(where() + broken);
    }
    if (getAvlNodeNum(&tree_) != keys_.size() || !described()) {
        return fail(where() + "wrong count, or the descriptor changed");
    }
    // From either end, a walk visits every element once, in order.
    for (uint32_t direction : {AVL_RIGHT, AVL_LEFT}) {
        void *at = direction == AVL_RIGHT ? getAvlFirstNode(&tree_) : getAvlLastNode(&tree_);
        auto visit = [&](int64_t key) {
            const bool right = at == &element(key);
            at = right ? walkAvlNode(&tree_, at, direction) : nullptr;
            return right;
        };
        if (!(direction == AVL_RIGHT ? std::all_of(keys_.begin(), keys_.end(), visit)
                                     : std::all_of(keys_.rbegin(), keys_.rend(), visit)) ||
            at != nullptr) {
            return fail(where() + "a walk does not visit the keys in order");
        }
    }
    return failure_.empty();
}

// An insertion writes its record when it rotated nowhere (no element that
// was linked before has another parent now) and its pass stopped at an
// ancestor that became balanced (it ran past the root otherwise).
template <typename Insert>
bool AvlHarness::inserted(const std::string &operation, int64_t key, Insert insert) {
    std::vector<AvlNode *> parents;
    for (int64_t k : keys_) {
        parents.push_back(element(k).node.parent);
    }
    if (insert() != 0) {
        return fail(operation + ": refused");
    }
    bool rotated = false;
    auto before = parents.begin();
    for (int64_t k : keys_) {
        rotated = rotated || element(k).node.parent != *before++;
    }
    keys_.insert(key);
    bool stopped = false;
    for (AvlNode *n = element(key).node.parent; n != nullptr && !stopped; n = n->parent) {
        stopped = n->balance == 0;
    }
    return check(operation, !rotated && stopped ? 828 : 0);
}

bool AvlHarness::add(int64_t key) {
    const std::string operation = "add " + std::to_string(key);
    if (keys_.count(key) == 0) {
        return inserted(operation, key, [&] { return addAvlNode(&tree_, &element(key)), 0; });
    }
    // Neither the element itself nor another with its key goes in again.
    Element twin{key, {}};
    std::memset(&twin.node, 0xA5, sizeof twin.node);
    const Element untouched = twin;
    addAvlNode(&tree_, &element(key));
    addAvlNode(&tree_, &twin);
    if (std::memcmp(&untouched, &twin, sizeof twin) != 0) {
        return fail(operation + ": a refused element was written");
    }
    return check(operation + " again", 0);
}

bool AvlHarness::insert(int64_t key) {
    AvlIndex position = 0;
    if (keys_.count(key) != 0 || findAvlNode(&tree_, &key, &position) != nullptr) {
        return search(key);
    }
    return inserted("insert " + std::to_string(key), key,
                    [&] { return insertAvlNode(&tree_, &element(key), position); });
}

bool AvlHarness::place(int64_t here, uint32_t direction, int64_t key) {
    return inserted(
        "place " + std::to_string(key) + (direction == AVL_RIGHT ? " after " : " before ") +
            std::to_string(here),
        key,
        [&] { return insertAvlNodeSpecified(&tree_, &element(key), &element(here), direction); });
}

bool AvlHarness::remove(int64_t key) {
    AvlNode &node = element(key).node;
    const AvlNode before = node;
    const bool rootWithoutPass = tree_.root == &node && (node.child[AVL_LEFT] == nullptr ||
                                                         node.child[AVL_RIGHT] == nullptr);
    removeAvlNode(&tree_, &element(key));
    keys_.erase(key);
    if (std::memcmp(&before, &node, sizeof before) != 0) {
        return fail("remove " + std::to_string(key) + ": the removed link record was written");
    }
    return check("remove " + std::to_string(key), rootWithoutPass ? 831 : 0);
}

bool AvlHarness::search(int64_t key) {
    auto operation = [&] {
        return "search " + std::to_string(key) + " in " + shapeOf(tree_) + ": ";
    };
    const auto after = keys_.upper_bound(key), at = keys_.lower_bound(key);
    Element *next = after == keys_.end() ? nullptr : &element(*after);
    Element *prev = at == keys_.begin() ? nullptr : &element(*std::prev(at));
    constexpr AvlIndex kUntouched = 3;
    AvlIndex position = kUntouched;
    void *found = findAvlNode(&tree_, &key, &position);
    if (found != findAvlNode(&tree_, &key, nullptr) || !logRecords().empty()) {
        return fail(operation() + "a null position changes the result, or a record was written");
    }
    if (at != after) {
        return found == &element(key) && position == kUntouched
                   ? failure_.empty()
                   : fail(operation() + "wrong hit, or the position was written");
    }
    // A miss ends at the next element with its left slot empty, or at the
    // previous one with its right slot empty; the nearest ones are those.
    auto *node = reinterpret_cast<AvlNode *>(static_cast<uintptr_t>(position & ~AvlIndex{1}));
    const uint32_t side = static_cast<uint32_t>(position & 1);
    Element *end = side == AVL_LEFT ? next : prev;
    const bool positioned =
        keys_.empty() ? position == 0
                      : end != nullptr && node == &end->node && node->child[side] == nullptr;
    if (found != nullptr || !positioned ||
        findAvlNearestNode(&tree_, position, AVL_RIGHT) != next ||
        findAvlNearestNode(&tree_, position, AVL_LEFT) != prev) {
        return fail(operation() + "wrong miss, position or nearest element");
    }
    return failure_.empty();
}

// destroyAvl() forgets every element at once without touching any.
bool AvlHarness::destroy() {
    const Pool before = pool_;
    if (destroyAvl(&tree_) != 0 || std::memcmp(&before, &pool_, sizeof before) != 0) {
        return fail("destroy: failed, or touched an element");
    }
    keys_.clear();
    return check("destroy", 0);
}

bool AvlHarness::run(const uint8_t *data, size_t size) {
    for (size_t i = 0; i + 1 < size && failure_.empty(); i += 2) {
        const uint8_t op = data[i];
        const int64_t key = data[i + 1];
        // A key of the tree at or after `key`, wrapping round.
        auto near = keys_.lower_bound(key);
        near = near == keys_.end() ? keys_.begin() : near;
        switch (op & 7u) {
            case 0:
                add(key);
                break;
            case 1:
                insert(key);
                break;
            case 2:  // into the middle of the free gap beside a present key
                if (!keys_.empty()) {
                    const uint32_t direction = (op >> 3) & 1u;
                    const int64_t limit =
                        direction == AVL_RIGHT
                            ? (std::next(near) == keys_.end() ? kPoolKeys : *std::next(near))
                            : (near == keys_.begin() ? -1 : *std::prev(near));
                    const int64_t middle = (*near + limit) / 2;
                    if (middle != *near && middle != limit) {
                        place(*near, direction, middle);
                    }
                }
                break;
            case 3:
                if (!keys_.empty()) {
                    remove(*near);
                }
                break;
            default:
                (op & 7u) == 7 && key == 0xFF ? destroy() : search(key);
                break;
        }
    }
    return failure_.empty();
}

}  // namespace kelu::test
