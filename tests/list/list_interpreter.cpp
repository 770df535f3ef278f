// SPDX-License-Identifier: MIT
#include "list/list_interpreter.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "support/recording_platform.h"

namespace kelu::test {
namespace {

using Locking = ListInterpreter::Locking;

// The first free node from the hint on, wrapping round.
std::optional<Args> freeNode(const ListInterpreter &lists, uint64_t hint) {
    for (int64_t i = 0; i < ListInterpreter::kNodes; ++i) {
        const int64_t node =
            (static_cast<int64_t>(hint % ListInterpreter::kNodes) + i) % ListInterpreter::kNodes;
        if (lists.listOf(node) < 0) {
            return Args{node, 0};
        }
    }
    return std::nullopt;
}

// The node at ring position `hint` of the list of `Head`.
template <int list>
std::optional<Args> linkedNode(const ListInterpreter &lists, uint64_t hint) {
    const std::deque<int64_t> &model = lists.model(list);
    return model.empty() ? std::nullopt : std::optional(Args{model[hint % model.size()], 0});
}

template <auto call, bool atFront, Locking locking = Locking::None>
bool link(ListInterpreter &lists, std::string_view name, const Args &a) {
    return lists.link(name, a[0], atFront, locking, call);
}
template <auto call, Locking locking = Locking::None>
bool unlink(ListInterpreter &lists, std::string_view name, const Args &a) {
    return lists.unlink(name, a[0], locking, call);
}
template <auto call, bool atFront, Locking locking = Locking::None>
bool cut(ListInterpreter &lists, std::string_view name, const Args &) {
    return lists.cut(name, atFront, locking, call);
}
template <auto call>
bool init(ListInterpreter &lists, std::string_view name, const Args &) {
    return lists.init(name, call);
}

constexpr bool kFront = true, kBack = false;
constexpr Locking kLocked = Locking::Locked;

// In this order, the rows of the committed corpus.
// clang-format off
const Operation<ListInterpreter> kTable[] = {
    {"counterListAdd", 1, Arg::Node, freeNode, link<counterListAdd, kFront>},
    {"counterListAddTail", 1, Arg::Node, freeNode, link<counterListAddTail, kBack>},
    {"counterListDel", 1, Arg::Node, linkedNode<0>, unlink<counterListDel>},
    {"counterListCutFirstNode", 0, Arg::Node, nullptr, cut<counterListCutFirstNode, kFront>},
    {"counterListInit", 0, Arg::Node, nullptr, init<counterListInit>},
    {"spinLockListAddNoLock", 1, Arg::Node, freeNode, link<spinLockListAddNoLock, kFront>},
    {"spinLockListAddTailNoLock", 1, Arg::Node, freeNode, link<spinLockListAddTailNoLock, kBack>},
    {"spinLockListDelNoLock", 1, Arg::Node, linkedNode<1>, unlink<spinLockListDelNoLock>},
    {"spinLockListCutFirstNodeNoLock", 0, Arg::Node, nullptr, cut<spinLockListCutFirstNodeNoLock, kFront>},
    {"spinLockListCutLastNodeNoLock", 0, Arg::Node, nullptr, cut<spinLockListCutLastNodeNoLock, kBack>},
    {"spinLockListAdd", 1, Arg::Node, freeNode, link<spinLockListAdd, kFront, kLocked>},
    {"spinLockListAddTail", 1, Arg::Node, freeNode, link<spinLockListAddTail, kBack, kLocked>},
    {"spinLockListDel", 1, Arg::Node, linkedNode<1>, unlink<spinLockListDel, kLocked>},
    {"spinLockListCutFirstNode", 0, Arg::Node, nullptr, cut<spinLockListCutFirstNode, kFront, kLocked>},
    {"spinLockListCutLastNode", 0, Arg::Node, nullptr, cut<spinLockListCutLastNode, kBack, kLocked>},
    {"spinLockListDestroy", 0, Arg::Node, nullptr, [](ListInterpreter &l, std::string_view, const Args &) { return l.destroy(); }},
    {"spinLockListInit", 0, Arg::Node, nullptr, init<spinLockListInit>},
};
// clang-format on

}  // namespace

KELU_DEFINE_INPUTS(ListInterpreter, kListOperations, kTable, "lists: ")

ListInterpreter::ListInterpreter(std::string_view before) {
    std::fill(std::begin(where_), std::end(where_), -1);
    std::memset(nodes_, 0, sizeof nodes_);
    counterListInit(&counter_);  // each checked set-up below checks both lists
    spinLockListInit(&spin_);
    init("counterListInit", counterListInit);
    init("spinLockListInit", spinLockListInit);
    if (!before.empty()) {
        fail("the lists start empty");
    }
    transcript_.clear();
}

template <typename Head>
bool ListInterpreter::link(std::string_view name, int64_t node, bool atFront, Locking locking,
                           void (*call)(ListNode *, Head *)) {
    constexpr int list = listIndex<Head>;
    if (node < 0 || node >= kNodes || where_[node] >= 0) {
        return fail(std::string(name) + ": node " + formatArgument(Arg::Node, node) +
                    " is not free");
    }
    atFront ? models_[list].push_front(node) : models_[list].push_back(node);
    where_[node] = list;
    poisoned_[node] = false;
    return checked(name, list, locking, "", {},
                   [&] { return call(&nodes_[node], head<Head>()), true; });
}

template <typename Head>
bool ListInterpreter::unlink(std::string_view name, int64_t node, Locking locking,
                             void (*call)(ListNode *, Head *)) {
    constexpr int list = listIndex<Head>;
    std::deque<int64_t> &model = models_[list];
    const auto at = std::find(model.begin(), model.end(), node);
    if (at == model.end()) {
        return fail(std::string(name) + ": node " + formatArgument(Arg::Node, node) +
                    " is not in that list");
    }
    model.erase(at);
    return checked(name, list, locking, "", {node},
                   [&] { return call(&nodes_[node], head<Head>()), true; });
}

template <typename Head>
bool ListInterpreter::cut(std::string_view name, bool atFront, Locking locking,
                          ListNode *(*call)(Head *)) {
    constexpr int list = listIndex<Head>;
    std::deque<int64_t> &model = models_[list];
    std::vector<int64_t> taken;
    if (!model.empty()) {
        taken.push_back(atFront ? model.front() : model.back());
        atFront ? model.pop_front() : model.pop_back();
    }
    return checked(name, list, locking, "", taken, [&] {
        return call(head<Head>()) == (taken.empty() ? nullptr : &nodes_[taken[0]]);
    });
}

// Over garbage: the nodes the list held are simply forgotten.
template <typename Head>
bool ListInterpreter::init(std::string_view name, void (*call)(Head *)) {
    constexpr int list = listIndex<Head>;
    for (int64_t node : models_[list]) {
        where_[node] = -1;
    }
    models_[list].clear();
    std::memset(head<Head>(), 0xA5, sizeof(Head));
    return checked(name, list, Locking::None, "", {}, [&] { return call(head<Head>()), true; });
}

// An empty list is known by its count alone: its links are set askew first.
bool ListInterpreter::destroy() {
    const bool empty = models_[1].empty();
    if (empty) {
        spin_.next = spin_.prev = &nodes_[0];
    }
    return checked("spinLockListDestroy", 1, Locking::None,
                   empty ? "" : "log 3 spinLockListDestroy 0 list sum is not 0, when destroy\n", {},
                   [&] { return spinLockListDestroy(&spin_), true; });
}

template <typename Call>
bool ListInterpreter::checked(std::string_view name, int list, Locking locking, const char *record,
                              const std::vector<int64_t> &taken, Call call) {
    for (int64_t node : taken) {
        where_[node] = -1;
        poisoned_[node] = true;
    }
    const std::vector<int64_t> after(models_[list].begin(), models_[list].end());
    std::vector<std::vector<int64_t>> seen;  // the ring when the lock is taken and released
    setLockHook([&](LockOp, const SpinLock *lock) {
        seen.push_back(lock == &spin_.lock ? ring(1) : std::vector<int64_t>{kNodes});
    });
    clearRecords();
    const std::vector<int64_t> before = ring(list);
    const bool returned = call();
    setLockHook({});

    const std::string what = std::string(name) + ": ";
    const std::string calls = kelu::test::transcript("spinlock_list.cpp");
    transcript_ += calls;
    const std::string lockPair =
        "lock " + std::string(name) + "\nunlock " + std::string(name) + "\n";
    const std::vector<LockCall> locks = lockCalls();
    const bool ownLock = std::all_of(locks.begin(), locks.end(),
                                     [&](const LockCall &c) { return c.lock == &spin_.lock; });
    if (calls != (locking == Locking::Locked ? lockPair : std::string(record)) || !ownLock ||
        (locking == Locking::Locked && seen != std::vector{before, after})) {
        return fail(what + "wrong platform calls, or a change outside the lock:\n" + calls);
    }
    if (!returned) {
        return fail(what + "returned the wrong node");
    }
    for (int l : {0, 1}) {
        if (ring(l) != std::vector<int64_t>(models_[l].begin(), models_[l].end()) ||
            (l == 0 ? counter_.count : spin_.count) != models_[l].size()) {
            return fail(what + "the lists are not " + state());
        }
    }
    for (int64_t n = 0; n < kNodes; ++n) {
        if (poisoned_[n] &&
            (nodes_[n].next != LIST_POISON_NEXT || nodes_[n].prev != LIST_POISON_PREV)) {
            return fail(what + "node " + formatArgument(Arg::Node, n) + " is not poisoned");
        }
    }
    const SpinLock &lock = spin_.lock;
    if (counterListEmpty(&counter_) != models_[0].empty() || lock.lockWord != 0 ||
        lock.magic != SPINLOCK_MAGIC || lock.ownerCpu != -1 || lock.owner != -1) {
        return fail(what + "counterListEmpty is wrong, or the lock is not in its unlocked state");
    }
    return failure().empty();
}

std::vector<int64_t> ListInterpreter::ring(int list) const {
    std::vector<int64_t> out;
    const auto *head = list == 0 ? reinterpret_cast<const ListNode *>(&counter_)
                                 : reinterpret_cast<const ListNode *>(&spin_);
    const ListNode *before = head;
    for (const ListNode *at = head->next; at != head; before = at, at = at->next) {
        const int64_t index = at - nodes_;
        if (out.size() == kNodes || index < 0 || index >= kNodes || at->prev != before) {
            return {kNodes};
        }
        out.push_back(index);
    }
    return head->prev == before ? out : std::vector<int64_t>{kNodes};
}

std::string ListInterpreter::state() const {
    std::string out;
    for (int list : {0, 1}) {
        std::string nodes;
        for (int64_t node : ring(list)) {
            nodes += (nodes.empty() ? "" : " ") +
                     (node == kNodes ? "(broken)" : formatArgument(Arg::Node, node));
        }
        out += (list == 0 ? "counter [" : ", spin [") + nodes + "]";
    }
    return out;
}

}  // namespace kelu::test
