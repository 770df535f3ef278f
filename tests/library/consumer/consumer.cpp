// SPDX-License-Identifier: MIT
// Every public header, and every operation of the typed layer called as a
// user would, in a consumer's build (CMakeLists.txt beside it). Compiled,
// never run. An operation added to kelu/*.hpp gets one line here, in the
// function of its container or of the checksums.
#include "kelu_util.hpp"
#include "kelu_util_avl.h"
#include "kelu_util_avl_inline.h"
#include "kelu_util_crc.h"
#include "kelu_util_export.h"
#include "kelu_util_list.h"
#include "kelu_util_module.h"
#include "kelu_util_version.h"
#include "qxlog.h"
#include "vemo_spinlock.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

struct Job {
    uint32_t id;
    AvlNode byId{};
    ListNode link{};
};

using JobsById = kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>>;
using Queue = kelu::counter_list<Job, &Job::link>;
using Shared = kelu::spin_lock_list<Job, &Job::link>;

// The id of the element at `i`, or 0 for end(): dereferencing end() would be
// the consumer's fault, and compilers rightly warn about it.
template <typename Iterator>
size_t idAt(Iterator i, const JobsById &set) {
    return i != set.end() ? i->id : 0u;
}

size_t useAvlSet(Job &a, Job &b, Job &c) {
    JobsById set;
    const JobsById &view = set;
    size_t n = set.insert(a).second + set.insert_before(a, b)->id + set.insert_after(a, c)->id;
    n += idAt(set.find(a.id), set) + idAt(view.find(b.id), set) + set.contains(c.id);
    n += idAt(set.lower_bound(2u), set) + idAt(view.lower_bound(2u), set);
    n += idAt(set.upper_bound(2u), set) + idAt(view.upper_bound(2u), set);
    n += set.front().id + view.front().id + set.back().id + view.back().id + set.size() +
         set.empty();
    n += static_cast<size_t>(std::ranges::count_if(view, [](const Job &j) { return j.id > 1; }) +
                             std::distance(set.begin(), set.end()));
    JobsById::const_iterator i = set.iterator_to(b);
    n += (i++)->id + (i--)->id + (++i)->id + (--i)->id + (*i).id + (i == view.end());
    n += (--view.end())->id + idAt(view.begin(), set) + idAt(set.erase(i), set);
    set.erase(c);
    n += set.native_handle()->nodeNum;
    set.clear();
    return n;
}

// The set's standard-container operations: a comparison object with state,
// move and swap, hinted and ranged insertion, the equal-key lookups, the
// erase forms, disposers, reverse iteration, and a multiset over less-than.
struct ById {
    int sign = 1;
    int operator()(const Job &x, const Job &y) const {
        return sign * (x.id < y.id ? -1 : x.id > y.id);
    }
};
struct Ticket {
    uint32_t id;
    kelu::avl_hook<> hook;
    kelu::list_hook<> link;
};
using Tickets =
    kelu::avl_multiset<Ticket, &Ticket::hook, std::less<>, kelu::member_key<&Ticket::id>>;

size_t useSetStandardForms(Job &a, Job &b, Job &c, std::span<Ticket> tickets) {
    kelu::avl_set<Job, &Job::byId, ById> byCompare(ById{-1});
    JobsById set, moved;
    set.insert(set.end(), a);
    std::reference_wrapper<Job> more[] = {b, c};
    set.insert(std::begin(more), std::end(more));
    moved = JobsById(std::move(set));
    set = std::move(moved);
    swap(set, moved);
    moved.swap(set);
    size_t n = set.count(1u) + set.erase(9u) + static_cast<size_t>(byCompare.key_comp().sign);
    const auto [low, high] = std::as_const(set).equal_range(2u);
    n += static_cast<size_t>(std::distance(low, high)) + std::as_const(set).iterator_to(a)->id;
    n += set.rbegin()->id + set.crbegin()->id + (set.rend() == set.rend()) +
         (set.crend() == set.crend());
    n += set.cbegin() == set.cend();
    set.erase_and_dispose(set.begin(), [&](Job *job) { n += job->id; });
    set.erase_and_dispose(3u, [&](Job *job) { n += job->id; });
    n += idAt(set.erase(set.begin(), set.end()), set);
    set.insert(a);
    set.clear_and_dispose([&](Job *job) { n += job->id; });
    Tickets multi;
    multi.insert(tickets.begin(), tickets.end());
    n += multi.count(1u) +
         static_cast<size_t>(std::ranges::distance(multi.equal_range(1u).first, multi.end()));
    multi.clear();
    return n;
}

size_t useCounterList(Job &a, Job &b) {
    Queue queue, other;
    queue.push_front(a);
    queue.push_back(b);
    size_t n = queue.size() + queue.empty() + queue.native_handle()->count;
    Queue::iterator i = queue.begin();
    n += (i++)->id + (*i).id + (i--)->id + (++i)->id + (--i)->id + (i == queue.end());
    n += queue.erase(queue.begin()) == queue.end();
    queue.erase(b);
    n += queue.pop_front() == nullptr;
    queue.insert(queue.end(), a);
    queue.insert(queue.begin(), b);
    const Queue &view = queue;
    n += queue.front().id + queue.back().id + view.front().id + view.back().id;
    n += view.iterator_to(a)->id + queue.iterator_to(b)->id + (view.cbegin() == view.cend());
    for (const Job &job : view) {
        n += job.id;
    }
    other = Queue(std::move(queue));
    queue = std::move(other);
    swap(queue, other);
    other.swap(queue);
    other.splice(other.end(), queue, queue.begin());
    other.splice(other.begin(), queue);
    n += other.pop_back()->id;
    other.erase(other.cbegin());
    other.clear();
    return n;
}

size_t useSpinLockList(Job &a, Job &b) {
    Shared list;
    list.push_front(a);
    list.push_back(b);
    size_t n = list.size() + list.empty() + list.native_handle()->count;
    list.erase(a);
    n += list.pop_front()->id + (list.pop_back() == nullptr);
    Shared::guard held = list.lock();
    held.push_front(a);
    held.push_back(b);
    for (Job &job : held) {
        n += job.id;
    }
    n += held.size() + held.empty() + static_cast<size_t>(std::ranges::distance(held));
    held.erase(b);
    n += held.pop_front()->id + (held.pop_back() == nullptr);
    held.insert(held.end(), a);
    const Shared::guard &view = held;
    for (Shared::const_iterator i = view.begin(); i != view.cend(); ++i) {
        n += i->id + view.front().id + view.back().id;
    }
    n += held.iterator_to(a)->id + held.erase(held.begin())->id;
    held.clear();
    return n;
}

// The C inline reads' macro, expanded in C++.
int32_t compareIdWithJob(uint32_t id, const Job *job) {
    return id < job->id ? -1 : id > job->id;
}
KELU_AVL_DEFINE_READS(jobs, Job, byId, uint32_t, compareIdWithJob);

size_t useInlineReads(const AvlTree *tree, Job &job) {
    AvlIndex position = 0;
    const Job *found[] = {jobsFind(tree, 2, &position),
                          jobsFind(tree, 3, nullptr),
                          jobsNearest(position, AVL_LEFT),
                          jobsFirst(tree),
                          jobsLast(tree),
                          jobsNext(&job),
                          jobsPrev(&job),
                          jobsOf(tree->root)};
    return static_cast<size_t>(std::ranges::count(found, nullptr));
}

uint32_t useChecksums(std::span<const std::byte> bytes) {
    const std::vector<unsigned char> data(4, 0x31);
    std::string_view text = "123456789";
    uint32_t sum = kelu::crc32(bytes) ^ kelu::crc32(data) ^ kelu::crc32(text);
    sum ^= kelu::crc32c(bytes) ^ kelu::crc32c(data) ^ kelu::crc32c(text);
    sum ^= kelu::crc32_stream().update(bytes).update(data).value();
    sum ^= kelu::crc32c_stream().update(bytes).update(text).value();
    sum ^= kelu::crc32_stream().update(bytes).append(kelu::crc32_stream().update(text)).value();
    sum ^= kelu::crc32c_stream().append(kelu::crc32c_stream().update(data)).value();
    sum ^= kelu::crc32_combine(sum, sum, 3) ^ kelu::crc32c_combine(sum, sum, uint64_t{1} << 40);
    return sum ^ static_cast<uint32_t>(kelu::sign_of(1 <=> 2) + kelu::sign_of(1 - 2));
}

// The C interface's macros, expanded in C++.
uintptr_t useMacros(ListNode *node) {
    const bool poisoned = node->next == LIST_POISON_NEXT || node->prev == LIST_POISON_PREV;
    static_assert(KELU_CHECKED == 0 || KELU_CHECKED == 1);
    return uintptr_t{poisoned} + AVL_LEFT + AVL_RIGHT + AVL_ERR_PARAM + SPINLOCK_MAGIC +
           UTIL_LOG_MODULE_ID + LOG_LVL_ERR + LOG_LVL_DBG + sizeof KELU_UTIL_VERSION_STRING;
}
