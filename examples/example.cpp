// SPDX-License-Identifier: MIT
//
// The tour of example.c in the typed C++ interface: bring the module up,
// keep jobs in an ordered set keyed by id, queue some of them in a counted
// list, checksum a text, and take the module down again. No casts, no
// offsetof, no comparison callback: the set reads the id through the
// member pointer and compares it with <=>.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "kelu_util.hpp"

// A caller's record: the set links it through the embedded AvlNode, a queue
// through the embedded ListNode. Linking writes the hooks, so they need no
// preparation; the braces only make every member initialised.
struct Job {
    uint32_t id;
    const char *name;
    AvlNode byId{};
    ListNode inQueue{};
};

using JobsById = kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>>;

static void printJobs(const JobsById &jobs) {
    std::printf("%zu jobs:", jobs.size());
    for (const Job &job : jobs) {
        std::printf(" %u=%s", job.id, job.name);
    }
    std::printf("\n");
}

static const char *nameOr(JobsById::iterator job, const JobsById &jobs) {
    return job != jobs.end() ? job->name : "(none)";
}

int main() {
    Job all[] = {{.id = 40, .name = "backup"},
                 {.id = 10, .name = "boot"},
                 {.id = 30, .name = "sync"},
                 {.id = 20, .name = "mount"},
                 {.id = 50, .name = "report"}};

    std::printf("UTIL_ModuleInit -> %u\n", UTIL_ModuleInit());

    // An ordered set; elements must outlive their membership.
    JobsById jobs;
    for (Job &job : all) {
        jobs.insert(job);
    }
    printJobs(jobs);
    std::printf("job 30: %s\n", nameOr(jobs.find(30u), jobs));

    // A miss: the first job after 35 is lower_bound, the one before it its
    // predecessor.
    if (!jobs.contains(35u)) {
        auto after = jobs.lower_bound(35u);
        std::printf("no job 35; nearest before: %s, after: %s\n",
                    after != jobs.begin() ? std::prev(after)->name : "(none)", nameOr(after, jobs));
    }
    std::printf("jobs from id 20 on: %td\n",
                std::ranges::count_if(jobs, [](const Job &job) { return job.id >= 20; }));

    jobs.erase(all[0]);
    printJobs(jobs);

    // A first-in, first-out queue of the same records, beside the set.
    kelu::counter_list<Job, &Job::inQueue> queue;
    queue.push_back(all[1]);
    queue.push_back(all[3]);
    std::printf("jobs queued: %zu\n", queue.size());
    while (Job *job = queue.pop_front()) {
        std::printf("next job: %s\n", job->name);
    }
    jobs.clear();

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
