// SPDX-License-Identifier: MIT
//
// The tour of example.c in the typed C++ interface, written the way a user
// of std::set or Boost.Intrusive writes it: bring the module up, keep jobs
// in an ordered set by id and a multiset by priority, queue some of them,
// free heap-allocated ones through a disposer, checksum a text, and take the
// module down again. No casts, no offsetof, no comparison callback.
//
// Checked mode is on in a build without NDEBUG (or with -DKELU_CHECKED=1,
// or for a container whose last template argument is true): a job linked
// twice through one hook, an erase of a job that is not in that container
// (a copy of one included), or a job destroyed while linked stops the
// program with a message instead of corrupting a container. It costs an
// O(1) or O(log n) check per change, and clearing or destroying a container
// unlinks every job; without it the containers compile to the unchecked code.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "kelu_util.hpp"

// A caller's record. The hooks start unlinked, and so does a copy of a Job;
// plain AvlNode / ListNode members work too, zeroed (`AvlNode byId{};`).
struct Job {
    uint32_t id;
    uint32_t priority;
    const char *name;
    kelu::avl_hook<> byId, byPriority;
    kelu::list_hook<> inQueue;
};

// By id, a set compared with <=>; by priority, a multiset with a less-than
// predicate, jobs of equal priority kept in the order they came.
using JobsById = kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>>;
using JobsByPriority =
    kelu::avl_multiset<Job, &Job::byPriority, std::less<>, kelu::member_key<&Job::priority>>;
using Queue = kelu::counter_list<Job, &Job::inQueue>;

// Ids ordered by their last digit, the comparison holding the divisor.
struct ByLastDigits {
    uint32_t modulus;
    bool operator()(uint32_t a, uint32_t b) const { return a % modulus < b % modulus; }
};
using JobsByLastDigits =
    kelu::avl_multiset<Job, &Job::byPriority, ByLastDigits, kelu::member_key<&Job::id>>;

template <typename Jobs>
static void print(const char *what, const Jobs &jobs) {
    std::printf("%s:", what);
    for (const Job &job : jobs) {
        std::printf(" %u=%s", job.id, job.name);
    }
    std::printf("\n");
}

// A set built in a function and returned: a set moves in O(1).
static JobsById indexById(std::vector<Job> &all) {
    JobsById jobs;
    jobs.insert(all.begin(), all.end());
    return jobs;
}

int main() {
    std::printf("UTIL_ModuleInit -> %u\n", UTIL_ModuleInit());
    // Elements outlive their membership: declared before the containers.
    std::vector<Job> all = {{40, 2, "backup", {}, {}, {}},
                            {10, 1, "boot", {}, {}, {}},
                            {30, 3, "sync", {}, {}, {}},
                            {20, 1, "mount", {}, {}, {}},
                            {50, 2, "report", {}, {}, {}}};

    JobsById jobs = indexById(all);
    print("by id", jobs);
    std::printf("job 30: %s; jobs with id 35: %zu\n", jobs.find(30u)->name, jobs.count(35u));
    const auto after = jobs.lower_bound(35u);  // the first id >= 35, and the one before it
    std::printf("around 35: %s, %s\n", std::prev(after)->name, after->name);
    std::printf("from the back:");
    for (auto job = jobs.crbegin(); job != jobs.crend(); ++job) {
        std::printf(" %u", job->id);
    }
    const JobsById &view = jobs;
    std::printf("\nafter sync: %s\n", std::next(view.iterator_to(all[2]))->name);

    // Equal keys: a multiset, filled with a hint (right for sorted input).
    JobsByPriority byPriority;
    for (Job &job : all) {
        byPriority.insert(byPriority.end(), job);
    }
    print("by priority", byPriority);
    const auto [first, last] = byPriority.equal_range(1u);
    std::printf("priority 1: %td jobs, from %s\n", std::distance(first, last), first->name);
    std::printf("erased priority 2: %zu\n", byPriority.erase(2u));
    byPriority.clear();

    // A comparison with state; swapping and moving sets.
    JobsByLastDigits byLastDigit(ByLastDigits{3});
    byLastDigit.insert(all.begin(), all.end());
    print("by id modulo 3", byLastDigit);
    JobsById other;
    std::swap(jobs, other);
    swap(jobs, other);
    jobs.erase(jobs.begin(), jobs.find(30u));
    std::printf("ids from 30 on: %zu; comparison says 30 < 40: %d\n", jobs.size(),
                jobs.key_comp()(30u, 40u) < 0);

    // Elements on the heap, freed by the disposer once they are unlinked.
    JobsById temporary;
    for (uint32_t id : {70u, 60u, 80u}) {
        temporary.insert(*new Job{id, 0, "temporary", {}, {}, {}});
    }
    temporary.erase_and_dispose(temporary.find(60u), std::default_delete<Job>());
    print("temporary", temporary);
    temporary.clear_and_dispose(std::default_delete<Job>());

    // A queue: a counted list of the same records.
    Queue queue, urgent;
    queue.push_back(all[1]);
    queue.insert(queue.end(), all[3]);
    urgent.push_back(all[2]);
    queue.splice(queue.begin(), urgent, urgent.begin());
    std::printf("queue front %s, back %s; after sync: %s\n", queue.front().name, queue.back().name,
                std::next(queue.iterator_to(all[2]))->name);
    queue.swap(urgent);
    Queue moved = std::move(urgent);
    std::printf("popped from the back: %s\n", moved.pop_back()->name);
    print("queued", std::as_const(moved));

    // A checksum whole, and the same one fed in two pieces.
    constexpr std::string_view text = "123456789";
    kelu::crc32_stream running;
    running.update(text.substr(0, 4)).update(text.substr(4));
    std::printf("CRC-32 of \"%.*s\": %08x whole, %08x in pieces\n", static_cast<int>(text.size()),
                text.data(), kelu::crc32(text), running.value());
    std::printf("CRC-32C of it: %08x\n", kelu::crc32c(text));

    UTIL_ModuleFInit();
    std::puts("module down");
    return 0;
}
