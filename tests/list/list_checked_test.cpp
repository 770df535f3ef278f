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

// `list` holds nodes 0 and 1, `plain` node 2; node 3 is in no list. `hollow`
// and `hollowLocked` count one node, and their rings run into `loop`, which
// never returns to the head.
SpinLockList list, hollowLocked;
CounterList plain, hollow;
ListNode nodes[4], loop;

}  // namespace

// The record as the stand-in prints it, and how many list locks are held.
extern "C" int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
                         const char *function, uint32_t code, const char *format, ...) {
    std::fprintf(stderr, "[kelu L%u] %s:%u %s (module %u, code %u): %s locks held: %u\n", level,
                 file, line, function, moduleId, code, format,
                 static_cast<unsigned>(list.lock.lockWord + hollowLocked.lock.lockWord));
    return 0;
}

namespace {

struct Violation {
    const char *function, *message;
    void (*make)();
    friend void PrintTo(const Violation &v, std::ostream *out) { *out << v.function; }
};

// clang-format off
#define KELU_ROW(function, message, ...) {#function, message, [] { (void)function(__VA_ARGS__); }}
const char *const kLinked = "Node is null or already in this list", *const kNotLinked =
    "Node is not linked in this list", *const kCount = "Count is not 0 but the list is empty";
const Violation kViolations[] = {
    KELU_ROW(counterListAdd, kLinked, &nodes[2], &plain),
    KELU_ROW(counterListAddTail, kLinked, reinterpret_cast<ListNode *>(&plain), &plain),
    KELU_ROW(counterListDel, kNotLinked, &nodes[0], &plain),
    KELU_ROW(counterListCutFirstNode, kCount, &hollow),
    KELU_ROW(spinLockListAddNoLock, kLinked, nullptr, &list),
    KELU_ROW(spinLockListAddTailNoLock, kLinked, &nodes[1], &list),
    KELU_ROW(spinLockListDelNoLock, kNotLinked, &nodes[3], &hollowLocked),
    KELU_ROW(spinLockListCutFirstNodeNoLock, kCount, &hollowLocked),
    KELU_ROW(spinLockListCutLastNodeNoLock, kCount, &hollowLocked),
    KELU_ROW(spinLockListAdd, kLinked, &nodes[0], &list),
    KELU_ROW(spinLockListAddTail, kLinked, &nodes[1], &list),
    KELU_ROW(spinLockListDel, kNotLinked, &nodes[3], &list),
    KELU_ROW(spinLockListCutFirstNode, kCount, &hollowLocked),
    KELU_ROW(spinLockListCutLastNode, kCount, &hollowLocked),
};
// clang-format on

class ListCheckedBuild : public ::testing::TestWithParam<Violation> {};

TEST_P(ListCheckedBuild, StopsBrokenContractWithItsRecord) {
    if (!KELU_ASSERTIONS) {
        GTEST_SKIP() << "the library was built without KELU_ASSERTIONS";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    spinLockListInit(&list);
    spinLockListInit(&hollowLocked);
    counterListInit(&plain);
    counterListInit(&hollow);
    spinLockListAddTail(&nodes[0], &list);
    spinLockListAddTail(&nodes[1], &list);
    counterListAdd(&nodes[2], &plain);
    hollow.count = hollowLocked.count = 1;
    hollow.next = hollowLocked.next = loop.next = &loop;
    EXPECT_DEATH(GetParam().make(),
                 std::string("\\[kelu L3\\] spinlock_list\\.cpp:[0-9]+ ") + GetParam().function +
                     " \\(module 381, code 1567\\): " + GetParam().message + "\\. locks held: 0");
}

INSTANTIATE_TEST_SUITE_P(Table, ListCheckedBuild, ::testing::ValuesIn(kViolations),
                         [](const auto &test) { return std::string(test.param.function); });

}  // namespace
