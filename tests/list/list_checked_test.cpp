// SPDX-License-Identifier: MIT
// A checked build stops every broken caller contract of the lists that it can
// see: one record (code 1567, naming the operation), written with no list's
// lock held, then the process aborts. Skipped in unchecked builds.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "kelu_util_list.h"
#include "qxlog.h"

namespace {

// `list` holds nodes 0 and 1, `other` node 2; node 3 is in no list. `plain`
// holds node 4, `hollow` is empty but counts one node.
SpinLockList list, other;
CounterList plain, hollow;
ListNode nodes[5];

}  // namespace

// The record as the stand-in prints it, and how many of the lists' locks are
// held while it is written.
extern "C" int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
                         const char *function, uint32_t code, const char *format, ...) {
    std::fprintf(stderr, "[kelu L%u] %s:%u %s (module %u, code %u): %s; locks held: %u\n", level,
                 file, line, function, moduleId, code, format,
                 static_cast<unsigned>(list.lock.lockWord + other.lock.lockWord));
    return 0;
}

namespace {

struct Violation {
    const char *name, *function, *message;
    void (*make)();
    friend void PrintTo(const Violation &v, std::ostream *out) { *out << v.name; }
};

ListNode *head(CounterList &l) {
    return reinterpret_cast<ListNode *>(&l);
}

constexpr const char *kLinked = "Node is null or already in this list",
                     *kNotLinked = "Node is not linked in this list",
                     *kCount = "Count is not 0 but the list is empty";

// clang-format off
const Violation kViolations[] = {
    {"AddLinked", "counterListAdd", kLinked, [] { counterListAdd(&nodes[4], &plain); }},
    {"AddTailHeadItself", "counterListAddTail", kLinked, [] { counterListAddTail(head(plain), &plain); }},
    {"DelOfAnotherList", "counterListDel", kNotLinked, [] { counterListDel(&nodes[0], &plain); }},
    {"CutFirstCountByHand", "counterListCutFirstNode", kCount, [] { counterListCutFirstNode(&hollow); }},
    {"AddNoLockNull", "spinLockListAddNoLock", kLinked, [] { spinLockListAddNoLock(nullptr, &list); }},
    {"AddTailNoLockLinked", "spinLockListAddTailNoLock", kLinked, [] { spinLockListAddTailNoLock(&nodes[1], &list); }},
    {"DelNoLockTwice", "spinLockListDelNoLock", kNotLinked, [] { spinLockListDelNoLock(&nodes[1], &list); spinLockListDelNoLock(&nodes[1], &list); }},
    {"CutFirstNoLockCountByHand", "spinLockListCutFirstNodeNoLock", kCount, [] { other.count = 2; spinLockListCutFirstNodeNoLock(&other); spinLockListCutFirstNodeNoLock(&other); }},
    {"CutLastNoLockCountByHand", "spinLockListCutLastNodeNoLock", kCount, [] { other.count = 2; spinLockListCutLastNodeNoLock(&other); spinLockListCutLastNodeNoLock(&other); }},
    {"AddLockedLinked", "spinLockListAdd", kLinked, [] { spinLockListAdd(&nodes[0], &list); }},
    {"AddTailLockedOfAnotherList", "spinLockListAddTail", kLinked, [] { spinLockListAddTail(&nodes[2], &other); }},
    {"DelLockedNeverLinked", "spinLockListDel", kNotLinked, [] { spinLockListDel(&nodes[3], &list); }},
    {"CutFirstLockedCountByHand", "spinLockListCutFirstNode", kCount, [] { other.count = 2; spinLockListCutFirstNode(&other); spinLockListCutFirstNode(&other); }},
    {"CutLastLockedCountByHand", "spinLockListCutLastNode", kCount, [] { other.count = 2; spinLockListCutLastNode(&other); spinLockListCutLastNode(&other); }},
};
// clang-format on

class ListCheckedBuild : public ::testing::TestWithParam<Violation> {};

TEST_P(ListCheckedBuild, StopsBrokenContractWithItsRecord) {
    if (!KELU_ASSERTIONS) {
        GTEST_SKIP() << "the library was built without KELU_ASSERTIONS";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    spinLockListInit(&list);
    spinLockListInit(&other);
    counterListInit(&plain);
    counterListInit(&hollow);
    spinLockListAddTail(&nodes[0], &list);
    spinLockListAddTail(&nodes[1], &list);
    spinLockListAddTail(&nodes[2], &other);
    counterListAdd(&nodes[4], &plain);
    hollow.count = 1;
    const Violation &v = GetParam();
    EXPECT_DEATH(v.make(), std::string("\\[kelu L3\\] spinlock_list\\.cpp:[0-9]+ ") + v.function +
                               " \\(module 381, code 1567\\): " + v.message + "\\.; locks held: 0");
}

INSTANTIATE_TEST_SUITE_P(Table, ListCheckedBuild, ::testing::ValuesIn(kViolations),
                         [](const auto &test) { return std::string(test.param.name); });

}  // namespace
