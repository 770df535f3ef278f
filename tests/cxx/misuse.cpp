// SPDX-License-Identifier: MIT
//
// Misuses of the typed interface that must not compile. Each case is an
// `#ifdef KELU_MISUSE_<NAME>` line followed by the misuse; the line's comment
// is the message the compiler must give. CMakeLists.txt makes one test of
// each, reading both from here.
#include "kelu_util.hpp"

#include <vector>

struct Bytes {  // as large as an AvlNode
    char bytes[sizeof(AvlNode)];
};
struct Job {
    uint32_t id;
    AvlNode byId;
    kelu::avl_hook<> inSet;
    ListNode inQueue;
    Bytes raw;
};
struct Hooked {
    AvlNode hook;
};
struct Shared : virtual Hooked {
    uint32_t id;
};
struct Unsigned {  // neither three-way nor less-than
    uint32_t operator()(uint32_t a, uint32_t b) const { return a - b; }
};
struct Scaled {  // a less-than predicate with state
    uint32_t scale;
    bool operator()(uint32_t a, uint32_t b) const { return a * scale < b * scale; }
};

#ifdef KELU_MISUSE_MEMBER_NOT_A_HOOK  // "must name a hook member"
kelu::avl_set<Job, &Job::id, std::compare_three_way, kelu::member_key<&Job::id>> set;
#endif
#ifdef KELU_MISUSE_MEMBER_OF_A_HOOK_SIZE  // "must name a hook member"
kelu::avl_set<Job, &Job::raw, std::compare_three_way, kelu::member_key<&Job::id>> set;
#endif
#ifdef KELU_MISUSE_LIST_THROUGH_AN_AVL_NODE  // "must name a hook member"
kelu::counter_list<Job, &Job::byId> list;
#endif
#ifdef KELU_MISUSE_LIST_THROUGH_AN_AVL_HOOK  // "must name a hook member"
kelu::counter_list<Job, &Job::inSet> list;
#endif
#ifdef KELU_MISUSE_UNSIGNED_RESULT  // "compare the keys of two"
kelu::avl_multiset<Job, &Job::byId, Unsigned, kelu::member_key<&Job::id>> set;
#endif
#ifdef KELU_MISUSE_KEY_OF_ANOTHER_TYPE  // "compare this lookup key"
kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>> set;
bool found = set.contains("ten");
#endif
#ifdef KELU_MISUSE_LESS_THAN_KEY_OF_ANOTHER_TYPE  // "compare this lookup key"
kelu::avl_multiset<Job, &Job::byId, std::less<>, kelu::member_key<&Job::id>> set;
auto range = set.equal_range("ten");
#endif
#ifdef KELU_MISUSE_UPPER_BOUND_OF_ANOTHER_TYPE  // "compare this lookup key"
kelu::avl_set<Job, &Job::byId, std::compare_three_way, kelu::member_key<&Job::id>> set;
auto after = set.upper_bound("ten");
#endif
#ifdef KELU_MISUSE_LOWER_BOUND_OF_ANOTHER_TYPE  // "compare this lookup key"
kelu::avl_multiset<Job, &Job::byId, std::less<>, kelu::member_key<&Job::id>> set;
auto from = set.lower_bound("ten");
#endif
#ifdef KELU_MISUSE_HOOK_IN_A_VIRTUAL_BASE  // "would be meaningless"
kelu::avl_set<Shared, &Shared::hook, std::compare_three_way, kelu::member_key<&Shared::id>> set;
#endif
#ifdef KELU_MISUSE_C_HANDLE_WITH_STATE  // "needs the tree.s C comparison"
kelu::avl_set<Job, &Job::byId, Scaled, kelu::member_key<&Job::id>> set{Scaled{2}};
AvlTree *tree = set.native_handle();
#endif
#ifdef KELU_MISUSE_CHECKSUM_OF_WIDE_VALUES  // "byte_range"
const std::vector<uint32_t> words(4);
uint32_t sum = kelu::crc32(words);
#endif
