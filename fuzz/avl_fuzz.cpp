// Fuzz target for the AVL tree: the input bytes are a program of operations
// on two trees that link the same elements through two different link
// records (nodeOffsets 8 and 48). After every operation each tree must
// satisfy its invariants and have exactly the shape of a reference model;
// searches, nearest lookups, walks, ends and counts must agree with a
// std::set of its keys. Any disagreement aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>
#include <string>

#include "kelu_util_avl.h"
#include "qxlog.h"
#include "support/avl_model.h"
#include "support/avl_shape.h"

// The platform log, silenced: records are not what this target checks.
extern "C" int32_t qxlog(uint32_t, uint32_t, const char *, uint32_t, const char *, uint32_t,
                         const char *, ...) {
    return 0;
}

namespace {

constexpr int64_t kKeys = 256;

struct Element {
    int64_t key;
    AvlNode first;
    uint64_t spacer;
    AvlNode second;
};
static_assert(offsetof(Element, first) == 8 && offsetof(Element, second) == 48);

struct Side {
    AvlTree tree;
    std::set<int64_t> keys;
    kelu::test::ModelAvl model;
};

Element g_elements[kKeys];

void require(bool condition, const char *what, const std::string &detail = "") {
    if (!condition) {
        std::fprintf(stderr, "AVL fuzz: %s %s\n", what, detail.c_str());
        std::abort();
    }
}

void *element(int64_t key) {
    return &g_elements[key];
}

void checkWhole(Side &side) {
    require(kelu::test::checkTree(side.tree).empty(),
            "invariant:", kelu::test::checkTree(side.tree));
    require(kelu::test::shapeOf(side.tree) == side.model.shape(),
            "shape:", kelu::test::shapeOf(side.tree) + " vs " + side.model.shape());
    require(getAvlNodeNum(&side.tree) == side.keys.size(), "count");
}

void added(Side &side, int64_t key) {
    require(side.keys.insert(key).second, "linked an element already present");
    side.model.insert(key);
}

// A key of the tree at or after `key`, wrapping; the tree must not be empty.
int64_t presentNear(const Side &side, int64_t key) {
    auto it = side.keys.lower_bound(key);
    return it == side.keys.end() ? *side.keys.begin() : *it;
}

void checkSearch(Side &side, int64_t key) {
    AvlIndex position = 1;
    void *found = findAvlNode(&side.tree, &key, &position);
    if (side.keys.count(key) != 0) {
        require(found == element(key) && position == 1, "hit");
        return;
    }
    require(found == nullptr, "miss");
    auto after = side.keys.lower_bound(key);
    void *next = after == side.keys.end() ? nullptr : element(*after);
    void *prev = after == side.keys.begin() ? nullptr : element(*std::prev(after));
    require(findAvlNearestNode(&side.tree, position, AVL_RIGHT) == next, "nearest after");
    require(findAvlNearestNode(&side.tree, position, AVL_LEFT) == prev, "nearest before");
}

void run(Side &side, uint8_t op, uint8_t arg) {
    const int64_t key = arg;
    const uint32_t direction = (op >> 4) & 1u;
    bool changed = false;
    switch (op & 7u) {
        case 0:  // add (a duplicate changes nothing)
            addAvlNode(&side.tree, element(key));
            if (side.keys.count(key) == 0) {
                added(side, key);
            }
            changed = true;
            break;
        case 1: {  // search, then link at the position
            AvlIndex position = 0;
            if (findAvlNode(&side.tree, element(key), &position) == nullptr) {
                require(insertAvlNode(&side.tree, element(key), position) == 0, "insert status");
                added(side, key);
                changed = true;
            }
            break;
        }
        case 2: {  // place beside an element, into the middle of the free gap
            if (side.keys.empty()) {
                break;
            }
            const int64_t here = presentNear(side, key);
            auto it = side.keys.find(here);
            const int64_t limit = direction == AVL_RIGHT
                                      ? (std::next(it) == side.keys.end() ? kKeys : *std::next(it))
                                      : (it == side.keys.begin() ? -1 : *std::prev(it));
            const int64_t middle = (here + limit) / 2;
            if (middle != here && middle != limit) {
                require(insertAvlNodeSpecified(&side.tree, element(middle), element(here),
                                               direction) == 0,
                        "specified status");
                added(side, middle);
                changed = true;
            }
            break;
        }
        case 3:  // remove
            if (!side.keys.empty()) {
                const int64_t gone = presentNear(side, key);
                removeAvlNode(&side.tree, element(gone));
                side.keys.erase(gone);
                side.model.remove(gone);
                changed = true;
            }
            break;
        case 4:
            checkSearch(side, key);
            break;
        case 5:  // one step each way from an element
            if (!side.keys.empty()) {
                const int64_t from = presentNear(side, key);
                auto it = side.keys.find(from);
                void *next = std::next(it) == side.keys.end() ? nullptr : element(*std::next(it));
                void *prev = it == side.keys.begin() ? nullptr : element(*std::prev(it));
                require(walkAvlNode(&side.tree, element(from), AVL_RIGHT) == next, "walk right");
                require(walkAvlNode(&side.tree, element(from), AVL_LEFT) == prev, "walk left");
            }
            break;
        case 6:  // forget everything at once, rarely
            if (arg == 0xFF) {
                require(destroyAvl(&side.tree) == 0, "destroy");
                side.keys.clear();
                side.model = kelu::test::ModelAvl();
                changed = true;
            }
            break;
        default:
            require(getAvlFirstNode(&side.tree) ==
                        (side.keys.empty() ? nullptr : element(*side.keys.begin())),
                    "first");
            require(getAvlLastNode(&side.tree) ==
                        (side.keys.empty() ? nullptr : element(*side.keys.rbegin())),
                    "last");
            break;
    }
    if (changed) {
        checkWhole(side);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Side sides[2];
    createAvl(&sides[0].tree, kelu::test::compareKeys, 0, offsetof(Element, first));
    createAvl(&sides[1].tree, kelu::test::compareKeys, 1, offsetof(Element, second));
    for (int64_t k = 0; k < kKeys; ++k) {
        g_elements[k].key = k;
    }
    for (size_t i = 0; i + 1 < size; i += 2) {
        run(sides[(data[i] >> 3) & 1u], data[i], data[i + 1]);
    }
    // A full walk of each tree matches its key set.
    for (Side &side : sides) {
        auto it = side.keys.begin();
        for (void *e = getAvlFirstNode(&side.tree); e != nullptr;
             e = walkAvlNode(&side.tree, e, AVL_RIGHT), ++it) {
            require(it != side.keys.end() && e == element(*it), "full walk");
        }
        require(it == side.keys.end(), "full walk length");
    }
    return 0;
}
