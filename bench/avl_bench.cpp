// The AVL tree through its exported functions against
// boost::intrusive::avl_set calling the same out-of-line comparison through a
// pointer, boost::intrusive::avl_set with an inlined comparison, and std::set.
// Workloads: insert, find hit, find miss, full in-order walk, remove; each
// benchmark iteration performs one operation per element, so ns/op is the
// iteration time divided by N. Elements are 64 bytes; their keys, their
// addresses and the order of operations are three unrelated permutations.
//
// Run with repetitions and random interleaving (bench/avl_bench_report.sh): at the
// end the table of median ns/op and the median, over repetitions, of the
// per-repetition ratios to the boost baseline is printed.
#include <benchmark/benchmark.h>
#include <boost/intrusive/avl_set.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "kelu_util_avl.h"

// avl_bench_compare.cpp: the comparison, and a pointer to it that this file
// cannot see through.
int32_t compareKeys3(void *key, void *element);
extern int32_t (*g_compare)(void *, void *);

namespace {

namespace bi = boost::intrusive;

#define NOINLINE __attribute__((noinline))

struct alignas(64) LibElement {
    uint64_t key;
    AvlNode node;
};
static_assert(sizeof(LibElement) == 64);

using BoostHook = bi::avl_set_base_hook<bi::link_mode<bi::normal_link>>;
struct alignas(64) BoostElement : BoostHook {
    uint64_t key;
};
static_assert(sizeof(BoostElement) == 64);

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
    char payload[56];
    bool operator<(const StdElement &other) const { return key < other.key; }
};
struct StdLess {
    using is_transparent = void;
    bool operator()(const StdElement &a, const StdElement &b) const { return a.key < b.key; }
    bool operator()(uint64_t a, const StdElement &b) const { return a < b.key; }
    bool operator()(const StdElement &a, uint64_t b) const { return a.key < b; }
};

// Keys, addresses and operation order for N elements: element i has key
// 2 * keyOf[i]; operations visit elements in `order`; misses use odd keys.
struct Plan {
    std::vector<uint64_t> keyOf;
    std::vector<uint32_t> order;
    std::vector<uint64_t> hits, misses;
    explicit Plan(size_t n) : keyOf(n), order(n), hits(n), misses(n) {
        std::mt19937_64 random(n);
        std::iota(keyOf.begin(), keyOf.end(), 0);
        std::shuffle(keyOf.begin(), keyOf.end(), random);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        for (size_t i = 0; i < n; ++i) {
            hits[i] = 2 * keyOf[order[i]];
        }
        std::shuffle(order.begin(), order.end(), random);  // removals, insertions
        for (size_t i = 0; i < n; ++i) {
            misses[i] = hits[i] + 1;
        }
    }
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
    std::vector<LibElement> elements;
    AvlTree tree{};
    explicit Library(const Plan &plan) : elements(plan.keyOf.size()) {
        for (size_t i = 0; i < elements.size(); ++i) {
            elements[i].key = 2 * plan.keyOf[i];
        }
        createAvl(&tree, compareKeys3, 0, offsetof(LibElement, node));
        fill(plan);
    }
    void clear() { destroyAvl(&tree); }
    NOINLINE void fill(const Plan &plan) {
        for (uint32_t i : plan.order) {
            addAvlNode(&tree, &elements[i]);
        }
    }
    NOINLINE void eraseAll(const Plan &plan) {
        for (uint32_t i : plan.order) {
            removeAvlNode(&tree, &elements[i]);
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

template <typename Less>
struct Boost {
    using Set = bi::avl_set<BoostElement, bi::compare<Less>>;
    std::vector<BoostElement> elements;
    Set set;
    explicit Boost(const Plan &plan) : elements(plan.keyOf.size()) {
        for (size_t i = 0; i < elements.size(); ++i) {
            elements[i].key = 2 * plan.keyOf[i];
        }
        fill(plan);
    }
    ~Boost() { set.clear(); }
    void clear() { set.clear(); }
    NOINLINE void fill(const Plan &plan) {
        for (uint32_t i : plan.order) {
            set.insert(elements[i]);
        }
    }
    NOINLINE void eraseAll(const Plan &plan) {
        for (uint32_t i : plan.order) {
            set.erase(set.iterator_to(elements[i]));
        }
    }
    const void *find(uint64_t key) {
        auto it = set.find(key, Less());
        return it == set.end() ? nullptr : &*it;
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
        fill(plan);
    }
    void clear() { set.clear(); }
    NOINLINE void fill(const Plan &plan) {
        for (uint32_t i : plan.order) {
            where[i] = set.insert(values[i]).first;
        }
    }
    NOINLINE void eraseAll(const Plan &plan) {
        for (uint32_t i : plan.order) {
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

enum Workload { kInsert, kFindHit, kFindMiss, kWalk, kRemove };
const char *const kWorkloadNames[] = {"insert", "find_hit", "find_miss", "walk", "remove"};

template <typename Container>
void run(benchmark::State &state, Workload workload) {
    const size_t n = static_cast<size_t>(state.range(0));
    const Plan &plan = planFor(n);
    Container &c = containerFor<Container>(n);
    for (auto _ : state) {
        switch (workload) {
            case kInsert:
                state.PauseTiming();
                c.clear();
                state.ResumeTiming();
                c.fill(plan);
                break;
            case kFindHit:
                findAll(c, plan.hits);
                break;
            case kFindMiss:
                findAll(c, plan.misses);
                break;
            case kWalk:
                benchmark::DoNotOptimize(c.walk());
                break;
            case kRemove:
                c.eraseAll(plan);
                state.PauseTiming();
                c.fill(plan);
                state.ResumeTiming();
                break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}

const char *const kContainers[] = {"kelu", "boost_ptr", "boost_inline", "std_set"};
const int64_t kSizes[] = {1000, 65536, 1048576};

// Collects every repetition, prints a progress line per run, and at the end
// the table of medians and ratios.
class TableReporter : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context &) override { return true; }
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) {
                continue;
            }
            const std::string &name = run.run_name.function_name;  // workload/container
            const std::string &size = run.run_name.args;
            const size_t slash = name.find('/');
            const double nsPerOp = run.GetAdjustedRealTime() / std::stod(size);  // unit: ns
            samples_[{name.substr(0, slash), size}][name.substr(slash + 1)].push_back(nsPerOp);
            std::fprintf(stderr, "%-24s %8s %9.2f ns/op\n", name.c_str(), size.c_str(), nsPerOp);
        }
    }
    void Finalize() override {
        std::printf("\n%-10s %8s %9s %9s %9s %9s %11s %11s %11s\n", "workload", "N", "kelu",
                    "boost_ptr", "boost_inl", "std_set", "kelu/ptr", "kelu/inl", "kelu/std");
        for (const char *workload : kWorkloadNames) {
            for (int64_t size : kSizes) {
                auto found = samples_.find({workload, std::to_string(size)});
                if (found == samples_.end()) {
                    continue;
                }
                auto &byContainer = found->second;
                std::printf("%-10s %8lld", workload, static_cast<long long>(size));
                for (const char *container : kContainers) {
                    std::printf(" %9.2f", median(byContainer[container]));
                }
                for (const char *base : {"boost_ptr", "boost_inline", "std_set"}) {
                    std::printf(" %10.3fx", medianRatio(byContainer["kelu"], byContainer[base]));
                }
                std::printf("\n");
            }
        }
        std::printf("(ns/op: median over repetitions; ratios: median of per-repetition ratios)\n");
    }

  private:
    static double median(std::vector<double> values) {
        if (values.empty()) {
            return 0;
        }
        std::sort(values.begin(), values.end());
        const size_t m = values.size() / 2;
        return values.size() % 2 != 0 ? values[m] : (values[m - 1] + values[m]) / 2;
    }
    static double medianRatio(const std::vector<double> &a, const std::vector<double> &b) {
        std::vector<double> ratios;
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
            ratios.push_back(a[i] / b[i]);
        }
        return median(ratios);
    }
    std::map<std::pair<std::string, std::string>, std::map<std::string, std::vector<double>>>
        samples_;
};

template <typename Container>
void registerAll(const char *container) {
    for (int w = kInsert; w <= kRemove; ++w) {
        const std::string name = std::string(kWorkloadNames[w]) + "/" + container;
        auto *b = benchmark::RegisterBenchmark(
            name.c_str(), [w](benchmark::State &state) { run<Container>(state, Workload(w)); });
        for (int64_t size : kSizes) {
            b->Arg(size);
        }
        b->Unit(benchmark::kNanosecond)->UseRealTime();
    }
}

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    registerAll<Library>(kContainers[0]);
    registerAll<Boost<ViaPointer>>(kContainers[1]);
    registerAll<Boost<Inlined>>(kContainers[2]);
    registerAll<Std>(kContainers[3]);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
