// Module lifecycle: the flag's two states, one lock and one unlock of the
// module lock per call with the flag changed only while it is held, and the
// flag under many concurrent callers.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "kelu_util_module.h"
#include "support/recording_platform.h"
#include "support/common.h"
#include "util_module.h"

namespace {

using kelu::test::LockCall;
using kelu::test::LockOp;

TEST(ModuleLifecycle, EachCallTestsAndSetsTheFlagUnderTheLock) {
    struct Step {
        const char *function;
        uint32_t (*call)();
        uint32_t flagBefore, flagAfter;
    };
    const Step steps[] = {
        {"util_finit", [] { return UTIL_ModuleFInit(), 0u; }, 0, 0},
        {"util_init", [] { return UTIL_ModuleInit(); }, 0, 1},
        {"util_init", [] { return util_init(); }, 1, 1},
        {"util_finit", [] { return util_finit(), 0u; }, 1, 0},
    };
    util_finit();
    for (const Step &step : steps) {
        SCOPED_TRACE(step.function);
        std::vector<std::pair<LockOp, uint32_t>> flagSeen;
        kelu::test::setLockHook(
            [&](LockOp op, const SpinLock *) { flagSeen.emplace_back(op, g_utilInitFlag); });
        kelu::test::clearRecords();
        EXPECT_EQ(step.call(), 0u);
        kelu::test::setLockHook({});
        EXPECT_EQ(flagSeen,
                  (std::vector<std::pair<LockOp, uint32_t>>{{LockOp::Lock, step.flagBefore},
                                                            {LockOp::Unlock, step.flagAfter}}));
        const std::vector<LockCall> calls = kelu::test::lockCalls();
        ASSERT_EQ(calls.size(), 2u);
        for (const LockCall &call : calls) {
            EXPECT_EQ(call.lock, &g_utilLock);
            EXPECT_EQ(call.function, step.function);
            EXPECT_TRUE(kelu::test::isLineOf("util_module.cpp", call.line)) << call.line;
        }
        EXPECT_TRUE(kelu::test::logRecords().empty());
    }
}

TEST(ModuleLifecycle, ConcurrentCallersKeepTheFlagBinary) {
    constexpr int kThreads = 8, kCalls = 2000;
    std::atomic<int> notBinary{0};
    kelu::test::runThreads(kThreads, [&](int thread) {
        for (int i = 0; i < kCalls; ++i) {
            (i + thread) % 2 == 0 ? (void)UTIL_ModuleInit() : UTIL_ModuleFInit();
            do_vemo_spinlock_lock(&g_utilLock, "test", __LINE__);
            notBinary += g_utilInitFlag > 1;
            do_vemo_spinlock_unlock(&g_utilLock, "test", __LINE__);
        }
    });
    EXPECT_EQ(notBinary.load(), 0);
}

}  // namespace
