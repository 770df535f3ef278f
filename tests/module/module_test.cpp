// SPDX-License-Identifier: MIT
// Module lifecycle. Named cases: each call from a known flag leaves an exact
// flag and makes exactly one lock and one unlock call on the module lock,
// with the flag tested and set only while the lock is held. Then many
// threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "kelu_util_module.h"
#include "support/common.h"
#include "support/recording_platform.h"
#include "util_module.h"

namespace {

using kelu::test::LockOp;

struct LifecycleCase {
    const char *name;
    uint32_t flagBefore;
    uint32_t (*call)();
    uint32_t flagAfter;
    const char *transcript;
    friend void PrintTo(const LifecycleCase &c, std::ostream *out) { *out << c.name; }
};

#define LOCKED(function) "lock " function "\nunlock " function "\n"
// clang-format off
const LifecycleCase kCases[] = {
    {"ModuleFInitWhenDown", 0, [] { UTIL_ModuleFInit(); return 0u; }, 0, LOCKED("util_finit")},
    {"ModuleInitWhenDown", 0, [] { return UTIL_ModuleInit(); }, 1, LOCKED("util_init")},
    {"InitWhenUp", 1, [] { return util_init(); }, 1, LOCKED("util_init")},
    {"FInitWhenUp", 1, [] { util_finit(); return 0u; }, 0, LOCKED("util_finit")},
    {"ModuleFInitWhenUp", 1, [] { UTIL_ModuleFInit(); return 0u; }, 0, LOCKED("util_finit")},
};
// clang-format on

class ModuleCases : public ::testing::TestWithParam<LifecycleCase> {};

TEST_P(ModuleCases, TestAndSetTheFlagUnderTheLock) {
    const LifecycleCase &c = GetParam();
    g_utilInitFlag = c.flagBefore;
    std::vector<std::pair<LockOp, uint32_t>> flagSeen;
    kelu::test::setLockHook([&](LockOp op, const SpinLock *lock) {
        flagSeen.emplace_back(op, lock == &g_utilLock ? g_utilInitFlag : 99);
    });
    kelu::test::clearRecords();
    EXPECT_EQ(c.call(), 0u);
    kelu::test::setLockHook({});
    EXPECT_EQ(g_utilInitFlag, c.flagAfter);
    EXPECT_EQ(flagSeen, (std::vector<std::pair<LockOp, uint32_t>>{{LockOp::Lock, c.flagBefore},
                                                                  {LockOp::Unlock, c.flagAfter}}));
    EXPECT_EQ(kelu::test::transcript("util_module.cpp"), c.transcript);
}

INSTANTIATE_TEST_SUITE_P(Named, ModuleCases, ::testing::ValuesIn(kCases),
                         [](const auto &test) { return std::string(test.param.name); });

// Threads bringing the module up and down at once: every call takes and
// releases the lock once, and the flag is only ever 0 or 1.
TEST(ModuleThreads, InitAndFInitAtOnce) {
    constexpr int kThreads = 4, kCalls = 2000;
    std::atomic<int> badFlags{0};
    kelu::test::setLockHook([&](LockOp, const SpinLock *) { badFlags += g_utilInitFlag > 1; });
    kelu::test::clearRecords();
    kelu::test::runThreads(kThreads, [](int t) {
        for (int i = 0; i < kCalls; ++i) {
            (i + t) % 2 == 0 ? (void)UTIL_ModuleInit() : UTIL_ModuleFInit();
        }
    });
    kelu::test::setLockHook({});
    EXPECT_EQ(badFlags, 0);
    EXPECT_EQ(kelu::test::lockCalls().size(), 2u * kThreads * kCalls);
    EXPECT_LE(g_utilInitFlag, 1u);
}

}  // namespace
