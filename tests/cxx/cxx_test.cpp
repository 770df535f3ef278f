// SPDX-License-Identifier: MIT
//
// The typed C++ interface as its users use it, on the shipped shared object
// and the stand-in's real spin lock.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "kelu_util.hpp"
#include "support/common.h"

namespace {

// Not standard-layout (virtual destructor): the hooks sit behind the vptr.
struct Job {
    uint32_t id = 0;
    std::string name;
    AvlNode byId, byName;
    ListNode inQueue;
    virtual ~Job() = default;
};
using ById = kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>>;
using ByName =
    kelu::avl_set<Job, &Job::byName, std::compare_three_way, kelu::member_key<&Job::name>>;

// The comparison the C interface silently misreads: a difference, not -1/0/+1.
struct ByDifference {
    int64_t operator()(uint32_t a, uint32_t b) const { return int64_t{a} - int64_t{b}; }
};
using ByIdDifference = kelu::avl_set<Job, &Job::byId, ByDifference, kelu::member_key<&Job::id>>;

std::vector<uint32_t> ids(auto &&range) {
    std::vector<uint32_t> out;
    for (const Job &job : range) {
        out.push_back(job.id);
    }
    return out;
}

// Jobs 10, 20, ..., 90, named "job10" ..., linked in a scrambled order.
struct Jobs : ::testing::Test {
    std::vector<Job> jobs{9};
    void SetUp() override {
        for (uint32_t i = 0; i < jobs.size(); ++i) {
            jobs[i].id = 10 * ((i * 4) % 9 + 1);
            jobs[i].name = "job" + std::to_string(jobs[i].id);
        }
    }
    template <typename Set>
    void fill(Set &set) {
        for (Job &job : jobs) {
            EXPECT_TRUE(set.insert(job).second);
        }
    }
};

TEST_F(Jobs, SetIsAStandardBidirectionalRange) {
    ByIdDifference set;
    fill(set);
    EXPECT_EQ(ids(set), (std::vector<uint32_t>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_EQ(std::ranges::count_if(set, [](const Job &job) { return job.id % 20 == 0; }), 4);
    EXPECT_EQ(std::prev(set.end(), 3)->id, 70u);
    EXPECT_EQ(std::next(set.begin(), 2)->id, 30u);

    Job twin, first, last;
    twin.id = 30, first.id = 5, last.id = 95;
    auto [existing, inserted] = set.insert(twin);
    EXPECT_FALSE(inserted);
    EXPECT_EQ(&*existing, &*set.find(30u));
    auto before = set.insert_before(set.front(), first);
    EXPECT_EQ(before, set.begin());
    EXPECT_EQ(&*set.insert_after(set.back(), last), &last);
    EXPECT_EQ(set.erase(set.find(50u))->id, 60u);
    set.erase(last);
    EXPECT_EQ(ids(set), (std::vector<uint32_t>{5, 10, 20, 30, 40, 60, 70, 80, 90}));
}

TEST_F(Jobs, BoundsAtBothEndsAndOnAnEmptySet) {
    ById set;
    EXPECT_TRUE(set.empty() && set.begin() == set.end());
    EXPECT_TRUE(set.lower_bound(10u) == set.end() && set.upper_bound(10u) == set.end());
    fill(set);
    const struct {
        uint32_t key, lower, upper;  // 0 for end()
    } cases[] = {{0, 10, 10}, {10, 10, 20}, {35, 40, 40}, {40, 40, 50}, {90, 90, 0}, {99, 0, 0}};
    auto idOr0 = [&](ById::iterator it) { return it == set.end() ? 0u : it->id; };
    for (const auto &c : cases) {
        EXPECT_EQ(idOr0(set.lower_bound(c.key)), c.lower) << c.key;
        EXPECT_EQ(idOr0(set.upper_bound(c.key)), c.upper) << c.key;
        EXPECT_EQ(set.contains(c.key), c.key == c.lower) << c.key;
    }
    set.clear();
    EXPECT_TRUE(set.empty() && set.find(40u) == set.end());
}

TEST_F(Jobs, OneElementInTwoSetsAndAListAtOnceSharedWithC) {
    ById byId;
    ByName byName;
    kelu::counter_list<Job, &Job::inQueue> queue;
    fill(byId);
    fill(byName);
    for (Job &job : jobs) {
        queue.push_back(job);
    }
    Job &forty = *byName.find(std::string_view("job40"));  // a key of another type
    byId.erase(forty);
    queue.erase(forty);
    EXPECT_FALSE(byId.contains(40u));
    EXPECT_EQ(&*byName.find(std::string("job40")), &forty);
    EXPECT_EQ(ids(queue), (std::vector<uint32_t>{10, 50, 90, 80, 30, 70, 20, 60}));

    // C code adds to the same tree with the comparison the set generated.
    Job extra;
    extra.id = 45;
    addAvlNode(byId.native_handle(), &extra);
    EXPECT_EQ(ids(byId), (std::vector<uint32_t>{10, 20, 30, 45, 50, 60, 70, 80, 90}));
    EXPECT_EQ(queue.size() + byId.size(), 17u);
}

// While a guard lives, another thread's locked operation waits: its push
// lands only after the guard is gone, and the guard's own operations and
// iteration see the list alone.
TEST(SpinLockList, GuardHoldsTheLockAgainstASecondThread) {
    kelu::spin_lock_list<Job, &Job::inQueue> list;
    std::vector<Job> jobs(3);
    jobs[1].id = 1, jobs[2].id = 2;
    std::atomic<bool> pushed{false};
    std::thread other;
    {
        auto guard = list.lock();
        guard.push_back(jobs[0]);
        other = std::thread([&] {
            list.push_front(jobs[1]);
            pushed = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(pushed);
        guard.push_back(jobs[2]);
        EXPECT_EQ(ids(guard), (std::vector<uint32_t>{0, 2}));
        EXPECT_EQ(guard.size(), 2u);
    }
    other.join();
    EXPECT_EQ(ids(list.lock()), (std::vector<uint32_t>{1, 0, 2}));
    EXPECT_EQ(list.pop_back(), &jobs[2]);
    EXPECT_TRUE(list.pop_front() == &jobs[1] && list.pop_front() == &jobs[0] && list.empty());
}

// size() reads the count without the lock while other threads change it
// under the lock: a snapshot, never more than the list can hold, and no data
// race (the tsan preset runs this).
TEST(SpinLockList, SizeReadBesideLockedWriters) {
    kelu::spin_lock_list<Job, &Job::inQueue> list;
    std::vector<Job> jobs(64);
    std::atomic<bool> done{false};
    size_t largest = 0;
    std::thread reader([&] {
        while (!done) {
            largest = std::max(largest, list.size());
        }
    });
    kelu::test::runThreads(2, [&](int t) {
        for (int round = 0; round < 2000; ++round) {
            for (size_t i = static_cast<size_t>(t); i < jobs.size(); i += 2) {
                list.push_back(jobs[i]);
            }
            for (size_t i = static_cast<size_t>(t); i < jobs.size(); i += 2) {
                list.erase(jobs[i]);
            }
        }
    });
    done = true;
    reader.join();
    EXPECT_LE(largest, jobs.size());
    EXPECT_TRUE(list.empty());
}

TEST(Checksums, CheckValuesWholeAndStreamed) {
    constexpr std::string_view digits = "123456789";
    const std::array<uint8_t, 9> bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(kelu::crc32(digits), 0xFC891918u);
    EXPECT_EQ(kelu::crc32c(bytes), 0xE3069283u);
    EXPECT_EQ(kelu::crc32_stream().update(digits.substr(0, 4)).update(digits.substr(4)).value(),
              0xFC891918u);
    EXPECT_EQ(
        kelu::crc32c_stream().update(std::span(bytes).first(2)).update(digits.substr(2)).value(),
        0xE3069283u);
}

}  // namespace
