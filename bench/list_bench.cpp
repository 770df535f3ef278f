// SPDX-License-Identifier: MIT
//
// The counted lists, through kelu::counter_list / kelu::spin_lock_list and
// through the C calls, against boost::intrusive::list (constant-time size)
// and std::list: push-back/pop-front and push-front/pop-front pairs on a list of
// kResident elements, and unlinking an element from the middle of a list of
// kMiddleList elements (it is linked back at the tail, to keep the length).
// Then the spin-lock list's locked pair, uncontended and from two threads,
// against std::mutex around std::list, and the platform lock's own
// lock/unlock pair. The library is called through the shared object, as its
// users call it. Run through bench/report.py.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <boost/intrusive/list.hpp>
#include <cstddef>
#include <list>
#include <mutex>
#include <numeric>
#include <random>
#include <vector>

#include "kelu/list.hpp"
#include "kelu_util_list.h"
#include "vemo_spinlock.h"

namespace {

namespace bi = boost::intrusive;

constexpr size_t kResident = 64;
constexpr size_t kMiddleList = 1024;

struct BoostItem : bi::list_base_hook<> {
    int value = 0;
};
using BoostList = bi::list<BoostItem, bi::constant_time_size<true>>;

// Each container behind one interface: `n` elements, linking element i at
// either end, taking the front one off, unlinking element i.
class Kelu {
  public:
    explicit Kelu(size_t n) : nodes_(n) { counterListInit(&list_); }
    void pushBack(size_t i) { counterListAddTail(&nodes_[i], &list_); }
    void pushFront(size_t i) { counterListAdd(&nodes_[i], &list_); }
    size_t popFront() { return static_cast<size_t>(counterListCutFirstNode(&list_) - &nodes_[0]); }
    void unlink(size_t i) { counterListDel(&nodes_[i], &list_); }

  private:
    CounterList list_;
    std::vector<ListNode> nodes_;
};

// The typed list over the same C calls.
struct Item {
    ListNode link;
};

class Typed {
  public:
    explicit Typed(size_t n) : items_(n) {}
    void pushBack(size_t i) { list_.push_back(items_[i]); }
    void pushFront(size_t i) { list_.push_front(items_[i]); }
    size_t popFront() { return static_cast<size_t>(list_.pop_front() - &items_[0]); }
    void unlink(size_t i) { list_.erase(items_[i]); }

  private:
    kelu::counter_list<Item, &Item::link> list_;
    std::vector<Item> items_;
};

class Boost {
  public:
    explicit Boost(size_t n) : items_(n) {}
    ~Boost() { list_.clear(); }
    void pushBack(size_t i) { list_.push_back(items_[i]); }
    void pushFront(size_t i) { list_.push_front(items_[i]); }
    size_t popFront() {
        size_t i = static_cast<size_t>(&list_.front() - &items_[0]);
        list_.pop_front();
        return i;
    }
    void unlink(size_t i) { list_.erase(list_.iterator_to(items_[i])); }

  private:
    std::vector<BoostItem> items_;
    BoostList list_;
};

// Boost's list with every operation behind a call, as each of the
// library's operations is: the difference to Boost is then the list code.
class BoostOutOfLine {
  public:
    explicit BoostOutOfLine(size_t n) : list_(n) {}
    [[gnu::noinline]] void pushBack(size_t i) { list_.pushBack(i); }
    [[gnu::noinline]] void pushFront(size_t i) { list_.pushFront(i); }
    [[gnu::noinline]] size_t popFront() { return list_.popFront(); }
    [[gnu::noinline]] void unlink(size_t i) { list_.unlink(i); }

  private:
    Boost list_;
};

// Holds values; an element is allocated when linked and freed when unlinked.
class Std {
  public:
    explicit Std(size_t n) : positions_(n) {}
    void pushBack(size_t i) { positions_[i] = list_.insert(list_.end(), i); }
    void pushFront(size_t i) { positions_[i] = list_.insert(list_.begin(), i); }
    size_t popFront() {
        size_t i = list_.front();
        list_.pop_front();
        return i;
    }
    void unlink(size_t i) { list_.erase(positions_[i]); }

  private:
    std::list<size_t> list_;
    std::vector<std::list<size_t>::iterator> positions_;
};

template <typename Container>
void PushBackPopFront(benchmark::State &state) {
    Container list(kResident + 1);
    for (size_t i = 0; i < kResident; ++i) {
        list.pushBack(i);
    }
    size_t spare = kResident;
    for (auto _ : state) {
        list.pushBack(spare);
        spare = list.popFront();
        benchmark::DoNotOptimize(spare);
    }
}

template <typename Container>
void PushFrontPopFront(benchmark::State &state) {
    Container list(kResident + 1);
    for (size_t i = 0; i < kResident; ++i) {
        list.pushBack(i);
    }
    size_t spare = kResident;
    for (auto _ : state) {
        list.pushFront(spare);
        spare = list.popFront();
        benchmark::DoNotOptimize(spare);
    }
}

template <typename Container>
void UnlinkFromMiddle(benchmark::State &state) {
    Container list(kMiddleList);
    for (size_t i = 0; i < kMiddleList; ++i) {
        list.pushBack(i);
    }
    // Victims in a shuffled order, so most lie well inside the list.
    std::vector<size_t> victims(kMiddleList);
    std::iota(victims.begin(), victims.end(), 0);
    std::shuffle(victims.begin(), victims.end(), std::mt19937(7));
    size_t next = 0;
    for (auto _ : state) {
        size_t victim = victims[next];
        next = (next + 1) % kMiddleList;
        list.unlink(victim);
        benchmark::DoNotOptimize(victim);
        list.pushBack(victim);
    }
}

BENCHMARK_TEMPLATE(PushBackPopFront, Typed);
BENCHMARK_TEMPLATE(PushBackPopFront, Kelu);
BENCHMARK_TEMPLATE(PushBackPopFront, Boost);
BENCHMARK_TEMPLATE(PushBackPopFront, BoostOutOfLine);
BENCHMARK_TEMPLATE(PushBackPopFront, Std);
BENCHMARK_TEMPLATE(PushFrontPopFront, Typed);
BENCHMARK_TEMPLATE(PushFrontPopFront, Kelu);
BENCHMARK_TEMPLATE(PushFrontPopFront, Boost);
BENCHMARK_TEMPLATE(PushFrontPopFront, BoostOutOfLine);
BENCHMARK_TEMPLATE(PushFrontPopFront, Std);
BENCHMARK_TEMPLATE(UnlinkFromMiddle, Typed);
BENCHMARK_TEMPLATE(UnlinkFromMiddle, Kelu);
BENCHMARK_TEMPLATE(UnlinkFromMiddle, Boost);
BENCHMARK_TEMPLATE(UnlinkFromMiddle, BoostOutOfLine);
BENCHMARK_TEMPLATE(UnlinkFromMiddle, Std);

// The pair (link at the back, cut the front) on one list shared by every
// thread of the benchmark. Each thread owns one node at a time: it links
// it, then cuts whichever node is first and owns that one next. A thread
// always links before it cuts, so no cut finds the list empty.
SpinLockList g_shared;
ListNode g_sharedNodes[kResident + 2];
std::mutex g_mutex;
std::list<size_t> g_stdShared;

void setUpShared() {
    spinLockListInit(&g_shared);
    for (size_t i = 0; i < kResident; ++i) {
        spinLockListAddTailNoLock(&g_sharedNodes[i], &g_shared);
    }
}

void LockedPair(benchmark::State &state) {
    if (state.thread_index() == 0) {
        setUpShared();
    }
    ListNode *mine = &g_sharedNodes[kResident + static_cast<size_t>(state.thread_index())];
    for (auto _ : state) {
        spinLockListAddTail(mine, &g_shared);
        mine = spinLockListCutFirstNode(&g_shared);
        benchmark::DoNotOptimize(mine);
    }
}

// LockedPair through the typed list, on a list of its own.
kelu::spin_lock_list<Item, &Item::link> g_typedShared;
Item g_typedItems[kResident + 2];

void TypedLockedPair(benchmark::State &state) {
    if (state.thread_index() == 0) {
        while (g_typedShared.pop_front() != nullptr) {
        }
        for (size_t i = 0; i < kResident; ++i) {
            g_typedShared.push_back(g_typedItems[i]);
        }
    }
    Item *mine = &g_typedItems[kResident + static_cast<size_t>(state.thread_index())];
    for (auto _ : state) {
        g_typedShared.push_back(*mine);
        mine = g_typedShared.pop_front();
        benchmark::DoNotOptimize(mine);
    }
}

void UnlockedPair(benchmark::State &state) {
    setUpShared();
    ListNode *mine = &g_sharedNodes[kResident];
    for (auto _ : state) {
        spinLockListAddTailNoLock(mine, &g_shared);
        mine = spinLockListCutFirstNodeNoLock(&g_shared);
        benchmark::DoNotOptimize(mine);
    }
}

void MutexStdListPair(benchmark::State &state) {
    if (state.thread_index() == 0) {
        g_stdShared.assign(kResident, 0);
    }
    size_t mine = static_cast<size_t>(state.thread_index());
    for (auto _ : state) {
        {
            std::lock_guard<std::mutex> guard(g_mutex);
            g_stdShared.push_back(mine);
        }
        {
            std::lock_guard<std::mutex> guard(g_mutex);
            mine = g_stdShared.front();
            g_stdShared.pop_front();
        }
        benchmark::DoNotOptimize(mine);
    }
    if (state.thread_index() == 0) {
        g_stdShared.clear();
    }
}

// The floor under LockedPair: the two lock/unlock pairs it makes.
void PlatformLockPairs(benchmark::State &state) {
    setUpShared();
    for (auto _ : state) {
        do_vemo_spinlock_lock(&g_shared.lock, "bench", __LINE__);
        do_vemo_spinlock_unlock(&g_shared.lock, "bench", __LINE__);
        do_vemo_spinlock_lock(&g_shared.lock, "bench", __LINE__);
        do_vemo_spinlock_unlock(&g_shared.lock, "bench", __LINE__);
    }
}

BENCHMARK(UnlockedPair);
BENCHMARK(PlatformLockPairs);
BENCHMARK(LockedPair);
BENCHMARK(TypedLockedPair);
BENCHMARK(MutexStdListPair);
BENCHMARK(LockedPair)->Threads(2)->UseRealTime();
BENCHMARK(TypedLockedPair)->Threads(2)->UseRealTime();
BENCHMARK(MutexStdListPair)->Threads(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
