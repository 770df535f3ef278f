// SPDX-License-Identifier: MIT
#include "avl/avl_interpreter.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

#include "kelu_util_avl_inline.h"
#include "support/recording_platform.h"

namespace kelu::test {
namespace {

// The inline reads, typed for the test elements: inlinedFind() and the rest.
int32_t compareKey(int64_t key, const Element *element) {
    return compareKeys(&key, const_cast<Element *>(element));
}
KELU_AVL_DEFINE_READS(inlined, Element, node, int64_t, compareKey);

constexpr char kBalanced[] = "log 7 insertAvlNode 828 Set AVL balance done.\n";
constexpr char kRootRemoved[] = "log 7 removeAvlNode 831 Remove node not need set balance.\n";

// The present key at or after `byte`, wrapping round.
std::optional<Args> present(const AvlInterpreter &avl, uint64_t byte) {
    const std::set<int64_t> &keys = avl.keys();
    const auto near = keys.lower_bound(static_cast<int64_t>(byte));
    return keys.empty() ? std::nullopt
                        : std::optional(Args{near == keys.end() ? *keys.begin() : *near, 0});
}

// A present key and the middle of the free gap on its `direction` side.
template <uint32_t direction>
std::optional<Args> gapBeside(const AvlInterpreter &avl, uint64_t byte) {
    const std::optional<Args> here = present(avl, byte);
    if (!here) {
        return std::nullopt;
    }
    const std::set<int64_t> &keys = avl.keys();
    const int64_t key = (*here)[0];
    const auto at = keys.find(key);
    const int64_t limit = direction == AVL_RIGHT
                              ? (std::next(at) == keys.end() ? kPoolKeys : *std::next(at))
                              : (at == keys.begin() ? -1 : *std::prev(at));
    const int64_t middle = (key + limit) / 2;
    return middle == key || middle == limit ? std::nullopt : std::optional(Args{key, middle});
}

// clang-format off
#define RUN(call) [](AvlInterpreter &avl, std::string_view, const Args &a) { return (void)a, avl.call; }
const Operation<AvlInterpreter> kTable[] = {
    {"add", 1, Arg::Number, nullptr, RUN(add(a[0]))},
    {"insert", 1, Arg::Number, nullptr, RUN(insert(a[0]))},
    {"remove", 1, Arg::Number, present, RUN(remove(a[0]))},
    {"find", 1, Arg::Number, nullptr, RUN(find(a[0]))},
    {"after", 2, Arg::Number, gapBeside<AVL_RIGHT>, RUN(place(a[0], AVL_RIGHT, a[1]))},
    {"before", 2, Arg::Number, gapBeside<AVL_LEFT>, RUN(place(a[0], AVL_LEFT, a[1]))},
    {"destroy", 0, Arg::Number, nullptr, RUN(destroy())},
};
// clang-format on

}  // namespace

KELU_DEFINE_INPUTS(AvlInterpreter, kAvlOperations, kTable, "AVL: ")

// createAvl() writes every field of the descriptor, whatever it held.
AvlInterpreter::AvlInterpreter(std::string_view shape) {
    std::memset(&tree_, 0xA5, sizeof tree_);
    if (createAvl(&tree_, compareKeys, kUserValue, kNodeOffset) != 0 || tree_.root != nullptr ||
        tree_.nodeNum != 0 || !described()) {
        fail("createAvl left the descriptor wrong");
    }
    for (int64_t key : buildFromShape(shape, tree_, pool_)) {
        keys_.insert(key);
    }
    clearRecords();
    check("build " + std::string(shape), "");
    transcript_.clear();
}

bool AvlInterpreter::described() const {
    return tree_.compare == compareKeys && tree_.nodeOffset == kNodeOffset &&
           tree_.userValue == kUserValue;
}

bool AvlInterpreter::check(const std::string &operation, const char *expected) {
    // The failure message names the tree, which is only printed when needed.
    auto where = [&] { return operation + " -> " + shapeOf(tree_) + ": "; };
    const std::string records = kelu::test::transcript("avl.cpp");
    clearRecords();
    transcript_ += records;
    if (records != expected) {
        return fail(where() + "records\n" + records + "instead of\n" + expected);
    }
    if (const std::string broken = checkTree(tree_); !broken.empty()) {
        return fail(where() + broken);
    }
    if (getAvlNodeNum(&tree_) != keys_.size() || !described()) {
        return fail(where() + "wrong count, or the descriptor changed");
    }
    // From either end, a walk visits every element once, in order, and the
    // inline walk visits the same ones.
    for (uint32_t direction : {AVL_RIGHT, AVL_LEFT}) {
        const bool up = direction == AVL_RIGHT;
        void *at = up ? getAvlFirstNode(&tree_) : getAvlLastNode(&tree_);
        Element *inlineAt = up ? inlinedFirst(&tree_) : inlinedLast(&tree_);
        auto visit = [&](int64_t key) {
            const bool right = at == &element(key) && inlineAt == at;
            at = right ? walkAvlNode(&tree_, at, direction) : nullptr;
            inlineAt = right ? (up ? inlinedNext(inlineAt) : inlinedPrev(inlineAt)) : nullptr;
            return right;
        };
        if (!(up ? std::all_of(keys_.begin(), keys_.end(), visit)
                 : std::all_of(keys_.rbegin(), keys_.rend(), visit)) ||
            at != nullptr || inlineAt != nullptr) {
            return fail(where() + "a walk, exported or inline, does not visit the keys in order");
        }
    }
    return failure().empty();
}

// An insertion writes its record when it rotated nowhere (no element that
// was linked before has another parent now) and its pass stopped at an
// ancestor that became balanced (it ran past the root otherwise).
template <typename Insert>
bool AvlInterpreter::inserted(const std::string &operation, int64_t key, Insert insert) {
    std::vector<AvlNode *> parents;
    for (int64_t k : keys_) {
        parents.push_back(element(k).node.parent);
    }
    if (!insert()) {
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
    return check(operation, !rotated && stopped ? kBalanced : "");
}

bool AvlInterpreter::add(int64_t key) {
    const std::string operation = "add " + std::to_string(key);
    if (keys_.count(key) == 0) {
        return inserted(operation, key, [&] { return addAvlNode(&tree_, &element(key)), true; });
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
    return check(operation + " again", "");
}

bool AvlInterpreter::insert(int64_t key) {
    AvlIndex position = 0;
    if (keys_.count(key) != 0 || findAvlNode(&tree_, &key, &position) != nullptr) {
        return find(key);
    }
    return inserted("insert " + std::to_string(key), key,
                    [&] { return insertAvlNode(&tree_, &element(key), position) == 0; });
}

bool AvlInterpreter::place(int64_t here, uint32_t direction, int64_t key) {
    const std::string operation = (direction == AVL_RIGHT ? "after " : "before ") +
                                  std::to_string(here) + " " + std::to_string(key);
    // The program must name a present key and a new key that belongs there.
    const auto at = keys_.find(here);
    const bool fits = at != keys_.end() && keys_.count(key) == 0 &&
                      (direction == AVL_RIGHT
                           ? key > here && (std::next(at) == keys_.end() || key < *std::next(at))
                           : key < here && (at == keys_.begin() || key > *std::prev(at)));
    if (!fits) {
        return fail(operation + ": not a place in the order");
    }
    return inserted(operation, key, [&] {
        return insertAvlNodeSpecified(&tree_, &element(key), &element(here), direction) == 0;
    });
}

bool AvlInterpreter::remove(int64_t key) {
    const std::string operation = "remove " + std::to_string(key);
    if (keys_.count(key) == 0) {
        return fail(operation + ": not present");
    }
    AvlNode &node = element(key).node;
    const AvlNode before = node;
    const bool rootWithoutPass = tree_.root == &node && (node.child[AVL_LEFT] == nullptr ||
                                                         node.child[AVL_RIGHT] == nullptr);
    removeAvlNode(&tree_, &element(key));
    keys_.erase(key);
    if (std::memcmp(&before, &node, sizeof before) != 0) {
        return fail(operation + ": the removed link record was written");
    }
    return check(operation, rootWithoutPass ? kRootRemoved : "");
}

bool AvlInterpreter::find(int64_t key) {
    auto operation = [&] { return "find " + std::to_string(key) + " in " + shapeOf(tree_) + ": "; };
    const auto after = keys_.upper_bound(key), at = keys_.lower_bound(key);
    Element *next = after == keys_.end() ? nullptr : &element(*after);
    Element *prev = at == keys_.begin() ? nullptr : &element(*std::prev(at));
    constexpr AvlIndex kUntouched = 3;
    AvlIndex position = kUntouched, inlinePosition = kUntouched;
    void *found = findAvlNode(&tree_, &key, &position);
    if (found != findAvlNode(&tree_, &key, nullptr) ||
        inlinedFind(&tree_, key, &inlinePosition) != found || inlinePosition != position ||
        inlinedFind(&tree_, key, nullptr) != found) {
        return fail(operation() +
                    "a null position changes the result, or the inline search differs");
    }
    if (at != after) {
        return found == &element(key) && position == kUntouched
                   ? check(operation(), "")
                   : fail(operation() + "wrong hit, or the position was written");
    }
    // A miss ends at the next element with its left slot empty, or at the
    // previous one with its right slot empty; the nearest ones are those.
    auto *node = reinterpret_cast<AvlNode *>(static_cast<uintptr_t>(position & ~AvlIndex{1}));
    const auto side = static_cast<uint32_t>(position & 1);
    Element *end = side == AVL_LEFT ? next : prev;
    const bool positioned =
        keys_.empty() ? position == 0
                      : end != nullptr && node == &end->node && node->child[side] == nullptr;
    if (found != nullptr || !positioned ||
        findAvlNearestNode(&tree_, position, AVL_RIGHT) != next ||
        findAvlNearestNode(&tree_, position, AVL_LEFT) != prev ||
        inlinedNearest(position, AVL_RIGHT) != next || inlinedNearest(position, AVL_LEFT) != prev) {
        return fail(operation() + "wrong miss, position or nearest element");
    }
    return check(operation(), "");
}

// destroyAvl() forgets every element at once without touching any.
bool AvlInterpreter::destroy() {
    const Pool before = pool_;
    if (destroyAvl(&tree_) != 0 || std::memcmp(&before, &pool_, sizeof before) != 0) {
        return fail("destroy: failed, or touched an element");
    }
    keys_.clear();
    return check("destroy", "");
}

}  // namespace kelu::test
