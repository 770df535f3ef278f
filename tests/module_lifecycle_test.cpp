// Module lifecycle: the flag's two states, one lock and one unlock per call,
// and the flag under many concurrent callers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "kelu_util_module.h"
#include "support/recording_platform.h"
#include "util_module.h"

namespace {

using kelu::test::LockCall;
using kelu::test::LockOp;

class ModuleLifecycle : public ::testing::Test {
  protected:
    void SetUp() override {
        util_finit();
        kelu::test::clearRecords();
    }
    void TearDown() override { util_finit(); }
};

// Each call is exactly: lock(g_utilLock, name) then unlock(g_utilLock, name),
// each at a line of the module source that holds that call.
void expectOneLockPair(const std::vector<LockCall> &calls, const char *name) {
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].op, LockOp::Lock);
    EXPECT_EQ(calls[1].op, LockOp::Unlock);
    for (const LockCall &call : calls) {
        EXPECT_EQ(call.lock, &g_utilLock);
        EXPECT_EQ(call.function, name);
    }
    EXPECT_NE(kelu::test::librarySourceLine("util_module.cpp", calls[0].line).find("KELU_LOCK("),
              std::string::npos);
    EXPECT_NE(kelu::test::librarySourceLine("util_module.cpp", calls[1].line).find("KELU_UNLOCK("),
              std::string::npos);
}

TEST_F(ModuleLifecycle, FinitWhenDownLeavesFlagDown) {
    UTIL_ModuleFInit();
    EXPECT_EQ(g_utilInitFlag, 0u);
    expectOneLockPair(kelu::test::lockCalls(), "util_finit");
}

TEST_F(ModuleLifecycle, InitTwiceThenFinitOnce) {
    EXPECT_EQ(UTIL_ModuleInit(), 0u);
    EXPECT_EQ(g_utilInitFlag, 1u);
    expectOneLockPair(kelu::test::lockCalls(), "util_init");

    kelu::test::clearRecords();
    EXPECT_EQ(util_init(), 0u);
    EXPECT_EQ(g_utilInitFlag, 1u);
    expectOneLockPair(kelu::test::lockCalls(), "util_init");

    kelu::test::clearRecords();
    util_finit();
    EXPECT_EQ(g_utilInitFlag, 0u);
    expectOneLockPair(kelu::test::lockCalls(), "util_finit");
}

// The flag is tested and set only while the module lock is held.
TEST_F(ModuleLifecycle, FlagChangesOnlyUnderTheLock) {
    std::vector<std::pair<LockOp, uint32_t>> seen;
    kelu::test::setLockHook([&](LockOp op, const SpinLock *lock) {
        if (lock == &g_utilLock) {
            seen.emplace_back(op, g_utilInitFlag);
        }
    });
    util_init();
    util_finit();
    kelu::test::setLockHook({});
    const std::vector<std::pair<LockOp, uint32_t>> expected = {
        {LockOp::Lock, 0}, {LockOp::Unlock, 1}, {LockOp::Lock, 1}, {LockOp::Unlock, 0}};
    EXPECT_EQ(seen, expected);
}

TEST_F(ModuleLifecycle, NeitherOperationLogs) {
    util_init();
    util_init();
    util_finit();
    util_finit();
    EXPECT_TRUE(kelu::test::logRecords().empty());
}

TEST_F(ModuleLifecycle, ConcurrentCallersKeepFlagBinaryAndPairLocks) {
    constexpr int kThreads = 8;
    constexpr int kCallsPerThread = 2000;
    std::atomic<bool> go{false};
    std::atomic<bool> sawOther{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load(std::memory_order_acquire)) {
            }
            for (int i = 0; i < kCallsPerThread; ++i) {
                if ((i + t) % 2 == 0) {
                    EXPECT_EQ(UTIL_ModuleInit(), 0u);
                } else {
                    UTIL_ModuleFInit();
                }
                // The flag is read under the module lock, as the library does.
                do_vemo_spinlock_lock(&g_utilLock, "test", __LINE__);
                uint32_t flag = g_utilInitFlag;
                do_vemo_spinlock_unlock(&g_utilLock, "test", __LINE__);
                if (flag != 0 && flag != 1) {
                    sawOther = true;
                }
            }
        });
    }
    go = true;
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(sawOther.load());
    EXPECT_TRUE(g_utilInitFlag == 0 || g_utilInitFlag == 1);

    // Every call of the library took and released g_utilLock exactly once,
    // and no unlock was ever recorded without a lock before it.
    size_t libraryLocks = 0;
    size_t libraryUnlocks = 0;
    int held = 0;
    for (const LockCall &call : kelu::test::lockCalls()) {
        held += call.op == LockOp::Lock ? 1 : -1;
        ASSERT_GE(held, 0);
        if (call.function == "test") {
            continue;
        }
        ASSERT_EQ(call.lock, &g_utilLock);
        (call.op == LockOp::Lock ? libraryLocks : libraryUnlocks)++;
    }
    EXPECT_EQ(held, 0);
    EXPECT_EQ(libraryLocks, size_t{kThreads} * kCallsPerThread);
    EXPECT_EQ(libraryUnlocks, size_t{kThreads} * kCallsPerThread);
}

}  // namespace
