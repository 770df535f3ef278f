// SPDX-License-Identifier: MIT
//
// The AVL tree through kelu::avl_set (typed, reads and comparison inlined;
// with <=>, and with std::less<> as kelu_less), through its exported
// functions, and read by a C caller through the inline header
// (avl_bench_inline.c), against boost::intrusive::avl_set calling the same
// out-of-line comparison through a pointer, boost::intrusive::avl_set with an
// inlined comparison, and std::set; and kelu::avl_multiset against
// boost::intrusive::avl_multiset with an inlined comparison.
// Workloads: insert, find hit, find miss, full in-order walk, remove (of an
// element), erase_key (remove by key), equal_range (of a present key); the
// C caller's inline rows are the reads. Each benchmark iteration performs
// one operation per element, so ns/op is the iteration time divided by N.
// Elements are a caller's records that sit in a set and in a queue: a key,
// a tree link and a list link, 56 bytes, the same fields at the same offsets
// in every intrusive container; their keys, their addresses and the order
// of operations are three unrelated permutations.
//
// Benchmarks are named workload/container/N. bench/report.py runs them with
// repetitions and random interleaving and prints the medians of the
// per-repetition ratios.
#include <benchmark/benchmark.h>
#include <boost/intrusive/avl_set.hpp>
#include <boost/intrusive/list_hook.hpp>

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <memory>
#include <new>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <utility>

#include "avl_bench_element.h"
#include "kelu/avl_set.hpp"
#include "kelu_util_avl.h"

// avl_bench_compare.cpp: the comparison, and a pointer to it that this file
// cannot see through.
int32_t compareKeys3(void *key, void *element);
extern int32_t (*g_compare)(void *, void *);

namespace {

namespace bi = boost::intrusive;

#define NOINLINE __attribute__((noinline))

// The intrusive containers' element arrays start on a 2 MiB boundary and are
// advised into transparent huge pages. With 4 KiB pages, which pages backed
// an array decided a memory-bound walk at 1 Mi elements by up to 15%
// between containers running the same code (the C walk took the typed
// set's time on the typed set's elements).
template <typename T>
struct HugePages {
    using value_type = T;
    static constexpr size_t kAlignment = size_t{2} << 20;
    HugePages() = default;
    template <typename U>
    HugePages(const HugePages<U> &) {}  // implicit, as allocators convert
    T *allocate(size_t n) {
        const size_t bytes = (n * sizeof(T) + kAlignment - 1) / kAlignment * kAlignment;
        void *memory = std::aligned_alloc(kAlignment, bytes);
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        (void)madvise(memory, bytes, MADV_HUGEPAGE);  // a hint: 4 KiB pages otherwise
        return static_cast<T *>(memory);
    }
    void deallocate(T *memory, size_t) { std::free(memory); }
    friend bool operator==(const HugePages &, const HugePages &) { return true; }
};
template <typename T>
using Array = std::vector<T, HugePages<T>>;

// Checked mode off, as in a release build: the bench preset defines NDEBUG.
static_assert(!kelu::checked_by_default);

using LibElement = BenchElement;
static_assert(sizeof(LibElement) == 56);

struct BoostElement {
    uint64_t key;
    bi::avl_set_member_hook<bi::link_mode<bi::normal_link>> setHook;
    bi::list_member_hook<bi::link_mode<bi::normal_link>> listHook;
};
static_assert(sizeof(BoostElement) == 56 && offsetof(BoostElement, setHook) == 8);

// boost's ordering predicates: through the pointer, or inlined.
struct ViaPointer {
    static int32_t three(const uint64_t &a, const uint64_t &b) {
        int32_t (*compare)(void *, void *) = g_compare;
        return compare(const_cast<uint64_t *>(&a), const_cast<uint64_t *>(&b));
    }
    bool operator()(const BoostElement &a, const BoostElement &b) const {
        return three(a.key, b.key) < 0;
    }
    bool operator()(const uint64_t &a, const BoostElement &b) const { return three(a, b.key) < 0; }
    bool operator()(const BoostElement &a, const uint64_t &b) const { return three(a.key, b) < 0; }
};
struct Inlined {
    bool operator()(const BoostElement &a, const BoostElement &b) const { return a.key < b.key; }
    bool operator()(const uint64_t &a, const BoostElement &b) const { return a < b.key; }
    bool operator()(const BoostElement &a, const uint64_t &b) const { return a.key < b; }
};

struct StdElement {
    uint64_t key;
    char payload[48];
    bool operator<(const StdElement &other) const { return key < other.key; }
};
struct StdLess {
    using is_transparent = void;
    bool operator()(const StdElement &a, const StdElement &b) const { return a.key < b.key; }
    bool operator()(uint64_t a, const StdElement &b) const { return a < b.key; }
    bool operator()(const StdElement &a, uint64_t b) const { return a.key < b; }
};

// Keys, addresses and orders for N elements: element i has key
// 2 * keyOf[i]; misses use odd keys. A round is one order of insertions and
// removals and one order of lookups; below 64 Ki elements there are enough
// rounds for 64 Ki operations before one repeats, and consecutive benchmark
// iterations take consecutive rounds. With a single round, branch
// predictors learnt the repeated sequence at 1 Ki elements in some builds
// and not in others (Boost's insertion took 13 or 25 ns in two builds that
// differed only in code elsewhere).
struct Plan {
    struct Round {
        std::vector<uint32_t> order;  // insertions and removals
        std::vector<uint64_t> hits, misses;
    };
    std::vector<uint64_t> keyOf;
    std::vector<Round> rounds;
    explicit Plan(size_t n) : keyOf(n), rounds(std::max<size_t>(1, 65536 / n)) {
        std::mt19937_64 random(n);
        std::iota(keyOf.begin(), keyOf.end(), 0);
        std::shuffle(keyOf.begin(), keyOf.end(), random);
        for (Round &round : rounds) {
            round.order.resize(n);
            std::iota(round.order.begin(), round.order.end(), 0);
            std::shuffle(round.order.begin(), round.order.end(), random);
            for (uint32_t i : round.order) {
                round.hits.push_back(2 * keyOf[i]);
                round.misses.push_back(2 * keyOf[i] + 1);
            }
            std::shuffle(round.order.begin(), round.order.end(), random);
        }
    }
    const std::vector<uint32_t> &firstOrder() const { return rounds[0].order; }
};

const Plan &planFor(size_t n) {
    static std::map<size_t, std::unique_ptr<Plan>> plans;
    auto &plan = plans[n];
    if (!plan) {
        plan = std::make_unique<Plan>(n);
    }
    return *plan;
}

// Each container keeps all N elements between benchmarks: insertion starts
// by emptying it (untimed), removal ends by refilling it (untimed).
struct Library {
    Array<LibElement> elements;
    AvlTree tree{};
    explicit Library(const Plan &plan) : elements(plan.keyOf.size()) {
        for (size_t i = 0; i < elements.size(); ++i) {
            elements[i].key = 2 * plan.keyOf[i];
        }
        createAvl(&tree, compareKeys3, 0, offsetof(LibElement, node));
        fill(plan.firstOrder());
    }
    void clear() { destroyAvl(&tree); }
    NOINLINE void fill(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            addAvlNode(&tree, &elements[i]);
        }
    }
    NOINLINE void eraseAll(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            removeAvlNode(&tree, &elements[i]);
        }
    }
    // By key: the C search, then the removal.
    NOINLINE void eraseKeys(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            uint64_t key = elements[i].key;
            removeAvlNode(&tree, findAvlNode(&tree, &key, nullptr));
        }
    }
    void *find(uint64_t key) { return findAvlNode(&tree, &key, nullptr); }
    NOINLINE uint64_t walk() {
        uint64_t sum = 0;
        for (void *e = getAvlFirstNode(&tree); e != nullptr; e = walkAvlNode(&tree, e, AVL_RIGHT)) {
            sum += static_cast<LibElement *>(e)->key;
        }
        return sum;
    }
};

// The same tree read by a C caller through the inline header.
struct CInline : Library {
    using Library::Library;
    NOINLINE uint64_t walk() { return inlineWalk(&tree); }
};

// The same elements in a typed set or multiset, ordered by the key member.
template <typename Set>
struct Typed {
    Array<LibElement> elements;
    Set set;
    explicit Typed(const Plan &plan) : elements(plan.keyOf.size()) {
        for (size_t i = 0; i < elements.size(); ++i) {
            elements[i].key = 2 * plan.keyOf[i];
        }
        fill(plan.firstOrder());
    }
    void clear() { set.clear(); }
    NOINLINE void fill(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            set.insert(elements[i]);
        }
    }
    NOINLINE void eraseAll(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            set.erase(elements[i]);
        }
    }
    NOINLINE void eraseKeys(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            set.erase(elements[i].key);
        }
    }
    const void *find(uint64_t key) {
        auto it = set.find(key);
        return it == set.end() ? nullptr : &*it;
    }
    const void *range(uint64_t key) {
        auto [first, last] = set.equal_range(key);
        return first == last ? nullptr : &*first;
    }
    NOINLINE uint64_t walk() {
        uint64_t sum = 0;
        for (const LibElement &e : set) {
            sum += e.key;
        }
        return sum;
    }
};

template <typename Compare>
using TypedOf = Typed<
    kelu::avl_set<LibElement, &LibElement::node, Compare, kelu::member_key<&LibElement::key>>>;
using TypedMultiset =
    Typed<kelu::avl_multiset<LibElement, &LibElement::node, std::compare_three_way,
                             kelu::member_key<&LibElement::key>>>;

template <typename Less, template <typename...> class Container = bi::avl_set>
struct Boost {
    using Set = Container<
        BoostElement, bi::compare<Less>,
        bi::member_hook<BoostElement, decltype(BoostElement::setHook), &BoostElement::setHook>>;
    Array<BoostElement> elements;
    Set set;
    explicit Boost(const Plan &plan) : elements(plan.keyOf.size()) {
        for (size_t i = 0; i < elements.size(); ++i) {
            elements[i].key = 2 * plan.keyOf[i];
        }
        fill(plan.firstOrder());
    }
    ~Boost() { set.clear(); }
    void clear() { set.clear(); }
    NOINLINE void fill(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            set.insert(elements[i]);
        }
    }
    NOINLINE void eraseAll(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            set.erase(set.iterator_to(elements[i]));
        }
    }
    NOINLINE void eraseKeys(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            set.erase(elements[i].key, Less());
        }
    }
    const void *find(uint64_t key) {
        auto it = set.find(key, Less());
        return it == set.end() ? nullptr : &*it;
    }
    const void *range(uint64_t key) {
        auto [first, last] = set.equal_range(key, Less());
        return first == last ? nullptr : &*first;
    }
    NOINLINE uint64_t walk() {
        uint64_t sum = 0;
        for (const BoostElement &e : set) {
            sum += e.key;
        }
        return sum;
    }
};

struct Std {
    using Set = std::set<StdElement, StdLess>;
    std::vector<StdElement> values;
    std::vector<Set::iterator> where;
    Set set;
    explicit Std(const Plan &plan) : values(plan.keyOf.size()), where(plan.keyOf.size()) {
        for (size_t i = 0; i < values.size(); ++i) {
            values[i].key = 2 * plan.keyOf[i];
        }
        fill(plan.firstOrder());
    }
    void clear() { set.clear(); }
    NOINLINE void fill(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            where[i] = set.insert(values[i]).first;
        }
    }
    NOINLINE void eraseAll(const std::vector<uint32_t> &order) {
        for (uint32_t i : order) {
            set.erase(where[i]);
        }
    }
    const void *find(uint64_t key) {
        auto it = set.find(key);
        return it == set.end() ? nullptr : &*it;
    }
    NOINLINE uint64_t walk() {
        uint64_t sum = 0;
        for (const StdElement &e : set) {
            sum += e.key;
        }
        return sum;
    }
};

template <typename Container>
Container &containerFor(size_t n) {
    static std::map<size_t, std::unique_ptr<Container>> containers;
    auto &c = containers[n];
    if (!c) {
        c = std::make_unique<Container>(planFor(n));
    }
    return *c;
}

// Looks up every key; one out-of-line loop per container, so that profiles
// attribute each workload to one function.
template <typename Container>
NOINLINE void findAll(Container &c, const std::vector<uint64_t> &keys) {
    for (uint64_t key : keys) {
        benchmark::DoNotOptimize(c.find(key));
    }
}
NOINLINE void findAll(CInline &c, const std::vector<uint64_t> &keys) {
    inlineFindAll(&c.tree, keys.data(), keys.size());
}
template <typename Container>
NOINLINE void rangeAll(Container &c, const std::vector<uint64_t> &keys) {
    for (uint64_t key : keys) {
        benchmark::DoNotOptimize(c.range(key));
    }
}

enum Workload { kInsert, kFindHit, kFindMiss, kWalk, kRemove, kEraseKey, kEqualRange };
const char *const kWorkloadNames[] = {"insert", "find_hit",  "find_miss",  "walk",
                                      "remove", "erase_key", "equal_range"};

template <typename Container>
void run(benchmark::State &state, Workload workload) {
    const size_t n = static_cast<size_t>(state.range(0));
    const Plan &plan = planFor(n);
    Container &c = containerFor<Container>(n);
    size_t next = 0;
    for (auto _ : state) {
        const Plan::Round &round = plan.rounds[next++ % plan.rounds.size()];
        switch (workload) {
            case kInsert:
                state.PauseTiming();
                c.clear();
                state.ResumeTiming();
                c.fill(round.order);
                break;
            case kFindHit:
                findAll(c, round.hits);
                break;
            case kFindMiss:
                findAll(c, round.misses);
                break;
            case kWalk:
                benchmark::DoNotOptimize(c.walk());
                break;
            case kRemove:
            case kEraseKey:
                if constexpr (requires { c.eraseKeys(round.order); }) {
                    if (workload == kEraseKey) {
                        c.eraseKeys(round.order);
                    }
                }
                if (workload == kRemove) {
                    c.eraseAll(round.order);
                }
                state.PauseTiming();
                c.fill(round.order);
                state.ResumeTiming();
                break;
            case kEqualRange:
                if constexpr (requires { c.range(0); }) {
                    rangeAll(c, round.hits);
                }
                break;
        }
        benchmark::ClobberMemory();
    }
    // Every workload starts from the tree the container was built as.
    if ((workload == kInsert || workload == kRemove || workload == kEraseKey) &&
        (next - 1) % plan.rounds.size() != 0) {
        c.clear();
        c.fill(plan.firstOrder());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}

const int64_t kSizes[] = {1024, 65536, 1048576};

template <typename Container>
void registerAll(const char *container, std::initializer_list<Workload> workloads = {
                                            kInsert, kFindHit, kFindMiss, kWalk, kRemove}) {
    for (Workload w : workloads) {
        const std::string name = std::string(kWorkloadNames[w]) + "/" + container;
        auto *b = benchmark::RegisterBenchmark(
            name.c_str(), [w](benchmark::State &state) { run<Container>(state, w); });
        for (int64_t size : kSizes) {
            b->Arg(size);
        }
        b->Unit(benchmark::kNanosecond);
    }
}

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    const auto all = {kInsert, kFindHit, kFindMiss, kWalk, kRemove, kEraseKey, kEqualRange};
    registerAll<TypedOf<std::compare_three_way>>("kelu_typed", all);
    registerAll<TypedOf<std::less<>>>("kelu_less", {kFindHit, kFindMiss, kEqualRange});
    registerAll<Library>("kelu_c", {kInsert, kFindHit, kFindMiss, kWalk, kRemove, kEraseKey});
    registerAll<CInline>("kelu_c_inline", {kFindHit, kFindMiss, kWalk});
    registerAll<Boost<ViaPointer>>("boost_ptr");
    registerAll<Boost<Inlined>>("boost_inline", all);
    registerAll<Std>("std_set");
    registerAll<TypedMultiset>("kelu_multi", {kInsert, kWalk, kEqualRange});
    registerAll<Boost<Inlined, bi::avl_multiset>>("boost_multi", {kInsert, kWalk, kEqualRange});
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
