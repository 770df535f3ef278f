// SPDX-License-Identifier: MIT
#include "list_harness.h"

#include <algorithm>
#include <cstring>

#include "qxlog.h"
#include "recording_platform.h"

namespace kelu::test {
namespace {

enum class Kind { LinkFront, LinkBack, Unlink, CutFront, CutBack, Init, Destroy };

struct Operation {
    const char *name;
    int list;
    Kind kind;
    bool locked;
};

constexpr Operation kTable[ListHarness::kOperations] = {
    {"counterListAdd", 0, Kind::LinkFront, false},
    {"counterListAddTail", 0, Kind::LinkBack, false},
    {"counterListDel", 0, Kind::Unlink, false},
    {"counterListCutFirstNode", 0, Kind::CutFront, false},
    {"counterListInit", 0, Kind::Init, false},
    {"spinLockListAddNoLock", 1, Kind::LinkFront, false},
    {"spinLockListAddTailNoLock", 1, Kind::LinkBack, false},
    {"spinLockListDelNoLock", 1, Kind::Unlink, false},
    {"spinLockListCutFirstNodeNoLock", 1, Kind::CutFront, false},
    {"spinLockListCutLastNodeNoLock", 1, Kind::CutBack, false},
    {"spinLockListAdd", 1, Kind::LinkFront, true},
    {"spinLockListAddTail", 1, Kind::LinkBack, true},
    {"spinLockListDel", 1, Kind::Unlink, true},
    {"spinLockListCutFirstNode", 1, Kind::CutFront, true},
    {"spinLockListCutLastNode", 1, Kind::CutBack, true},
    {"spinLockListDestroy", 1, Kind::Destroy, false},
    {"spinLockListInit", 1, Kind::Init, false},
};

}  // namespace

ListHarness::ListHarness() {
    std::fill(std::begin(where_), std::end(where_), -1);
    std::memset(nodes_, 0, sizeof nodes_);
    counterListInit(&counter_);
    spinLockListInit(&spin_);
    apply(4, 0);   // counterListInit, over garbage
    apply(16, 0);  // spinLockListInit, over garbage
}

ListNode *ListHarness::call(size_t op, ListNode *n) {
    CounterList *c = &counter_;
    SpinLockList *s = &spin_;
    switch (op) {
        case 0:
            return counterListAdd(n, c), n;
        case 1:
            return counterListAddTail(n, c), n;
        case 2:
            return counterListDel(n, c), n;
        case 3:
            return counterListCutFirstNode(c);
        case 4:
            return counterListInit(c), n;
        case 5:
            return spinLockListAddNoLock(n, s), n;
        case 6:
            return spinLockListAddTailNoLock(n, s), n;
        case 7:
            return spinLockListDelNoLock(n, s), n;
        case 8:
            return spinLockListCutFirstNodeNoLock(s);
        case 9:
            return spinLockListCutLastNodeNoLock(s);
        case 10:
            return spinLockListAdd(n, s), n;
        case 11:
            return spinLockListAddTail(n, s), n;
        case 12:
            return spinLockListDel(n, s), n;
        case 13:
            return spinLockListCutFirstNode(s);
        case 14:
            return spinLockListCutLastNode(s);
        case 15:
            return spinLockListDestroy(s), n;
        default:
            return spinLockListInit(s), n;
    }
}

std::vector<size_t> ListHarness::ring(int list) {
    std::vector<size_t> out;
    auto *head =
        list == 0 ? reinterpret_cast<ListNode *>(&counter_) : reinterpret_cast<ListNode *>(&spin_);
    ListNode *before = head;
    for (ListNode *at = head->next; at != head; before = at, at = at->next) {
        const auto index = static_cast<size_t>(at - nodes_);
        if (out.size() == kNodes || index >= kNodes || at->prev != before) {
            return {kNodes};
        }
        out.push_back(index);
    }
    return head->prev == before ? out : std::vector<size_t>{kNodes};
}

bool ListHarness::fail(const std::string &what) {
    if (failure_.empty()) {
        failure_ = what;
    }
    return false;
}

bool ListHarness::apply(size_t op, size_t hint) {
    const Operation &o = kTable[op %= kOperations];
    std::deque<size_t> &model = models_[o.list];
    const std::vector<size_t> before(model.begin(), model.end());
    size_t node = hint % kNodes;
    std::vector<size_t> taken;
    switch (o.kind) {
        case Kind::LinkFront:
        case Kind::LinkBack:
            while (where_[node] >= 0) {
                if ((node = (node + 1) % kNodes) == hint % kNodes) {
                    return failure_.empty();  // every node is linked
                }
            }
            o.kind == Kind::LinkFront ? model.push_front(node) : model.push_back(node);
            where_[node] = o.list;
            poisoned_[node] = false;
            break;
        case Kind::Unlink:
            if (model.empty()) {
                return failure_.empty();
            }
            node = model[hint % model.size()];
            taken.push_back(node);
            model.erase(std::find(model.begin(), model.end(), node));
            break;
        case Kind::CutFront:
        case Kind::CutBack:
            if (!model.empty()) {
                taken.push_back(o.kind == Kind::CutFront ? model.front() : model.back());
                o.kind == Kind::CutFront ? model.pop_front() : model.pop_back();
            }
            break;
        case Kind::Init:  // over garbage; the nodes it held are simply forgotten
            for (size_t n : model) {
                where_[n] = -1;
            }
            model.clear();
            std::memset(o.list == 0 ? static_cast<void *>(&counter_) : &spin_, 0xA5,
                        o.list == 0 ? sizeof counter_ : sizeof spin_);
            break;
        case Kind::Destroy:  // an empty list is known by its count alone
            if (model.empty()) {
                spin_.next = spin_.prev = &nodes_[0];
            }
            break;
    }
    for (size_t n : taken) {
        where_[n] = -1;
        poisoned_[n] = true;
    }
    const std::vector<size_t> after(model.begin(), model.end());

    std::vector<std::vector<size_t>> seen;  // the ring when the lock is taken and released
    setLockHook([&](LockOp, const SpinLock *lock) {
        seen.push_back(lock == &spin_.lock ? ring(1) : std::vector<size_t>{kNodes});
    });
    clearRecords();
    ListNode *result = call(op, &nodes_[node]);
    setLockHook({});

    const std::string what = std::string(o.name) + " on node " + std::to_string(node) + ": ";
    std::vector<LogRecord> expected;
    if (o.kind == Kind::Destroy && !before.empty()) {
        expected.push_back(record(LOG_LVL_ERR, "spinlock_list.cpp", "spinLockListDestroy", 0,
                                  "list sum is not 0, when destroy"));
    }
    const std::vector<LockCall> locks = lockCalls();
    const bool lockPair = locks.size() == 2 && locks[0].op == LockOp::Lock &&
                          locks[1].op == LockOp::Unlock &&
                          std::all_of(locks.begin(), locks.end(), [&](const LockCall &c) {
                              return c.lock == &spin_.lock && c.function == o.name &&
                                     isLineOf("spinlock_list.cpp", c.line);
                          });
    if (!matches(logRecords(), expected) ||
        (o.locked ? !lockPair || seen != std::vector{before, after} : !locks.empty())) {
        return fail(what + "wrong platform calls, or a change outside the lock");
    }
    if ((o.kind == Kind::CutFront || o.kind == Kind::CutBack) &&
        result != (taken.empty() ? nullptr : &nodes_[taken[0]])) {
        return fail(what + "cut the wrong node");
    }
    for (int list : {0, 1}) {
        if (ring(list) != std::vector<size_t>(models_[list].begin(), models_[list].end()) ||
            (list == 0 ? counter_.count : spin_.count) != models_[list].size()) {
            return fail(what + "list " + std::to_string(list) + " is not its model");
        }
    }
    for (size_t n = 0; n < kNodes; ++n) {
        if (poisoned_[n] &&
            (nodes_[n].next != LIST_POISON_NEXT || nodes_[n].prev != LIST_POISON_PREV)) {
            return fail(what + "node " + std::to_string(n) + " is not poisoned");
        }
    }
    const SpinLock &lock = spin_.lock;
    if (counterListEmpty(&counter_) != models_[0].empty() || lock.lockWord != 0 ||
        lock.magic != SPINLOCK_MAGIC || lock.ownerCpu != -1 || lock.owner != -1) {
        return fail(what + "counterListEmpty is wrong, or the lock is not in its unlocked state");
    }
    return failure_.empty();
}

bool ListHarness::run(const uint8_t *data, size_t size) {
    for (size_t i = 0; i + 1 < size && failure_.empty(); i += 2) {
        apply(data[i], data[i + 1]);
    }
    return failure_.empty();
}

}  // namespace kelu::test
