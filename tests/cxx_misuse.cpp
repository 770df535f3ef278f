// SPDX-License-Identifier: MIT
//
// Misuses of the typed interface, one per KELU_MISUSE value: each must fail
// to compile with the message tests/CMakeLists.txt expects.
#include "kelu_util.hpp"

struct Job {
    uint32_t id;
    AvlNode byId;
    ListNode inQueue;
};
struct Hooked {
    AvlNode hook;
};
struct Shared : virtual Hooked {
    uint32_t id;
};

#if KELU_MISUSE == 1  // the member is not an AvlNode
kelu::avl_set<Job, &Job::id, std::compare_three_way, kelu::member_key<&Job::id>> set;
#elif KELU_MISUSE == 2  // a list through an AvlNode
kelu::counter_list<Job, &Job::byId> list;
#elif KELU_MISUSE == 3  // a less-than predicate, not a three-way comparison
kelu::avl_set<Job, &Job::byId, std::ranges::less, kelu::member_key<&Job::id>> set;
#elif KELU_MISUSE == 4  // a lookup key that Compare cannot compare with an id
kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>> set;
bool found = set.contains("ten");
#elif KELU_MISUSE == 5  // the hook lies in a virtual base
kelu::avl_set<Shared, &Shared::hook, std::compare_three_way, kelu::member_key<&Shared::id>> set;
#endif
