// SPDX-License-Identifier: MIT
//
// Misuses of the typed interface that must not compile. Each case is an
// `#ifdef KELU_MISUSE_<NAME>` line followed by the misuse; the line's comment
// is the message the compiler must give. CMakeLists.txt makes one test of
// each, reading both from here.
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

#ifdef KELU_MISUSE_MEMBER_NOT_A_HOOK  // "must name a hook member"
kelu::avl_set<Job, &Job::id, std::compare_three_way, kelu::member_key<&Job::id>> set;
#endif
#ifdef KELU_MISUSE_LIST_THROUGH_AN_AVL_NODE  // "must name a hook member"
kelu::counter_list<Job, &Job::byId> list;
#endif
#ifdef KELU_MISUSE_LESS_THAN_PREDICATE  // "compare the keys of two"
kelu::avl_set<Job, &Job::byId, std::ranges::less, kelu::member_key<&Job::id>> set;
#endif
#ifdef KELU_MISUSE_KEY_OF_ANOTHER_TYPE  // "compare this lookup key"
kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>> set;
bool found = set.contains("ten");
#endif
#ifdef KELU_MISUSE_HOOK_IN_A_VIRTUAL_BASE  // "would be meaningless"
kelu::avl_set<Shared, &Shared::hook, std::compare_three_way, kelu::member_key<&Shared::id>> set;
#endif
