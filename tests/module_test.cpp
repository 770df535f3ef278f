// SPDX-License-Identifier: MIT
// Module lifecycle: the flag's two states, and one lock and one unlock of the
// module lock per call, with the flag tested and set only while it is held.
#include <gtest/gtest.h>

#include <vector>

#include "kelu_util_module.h"
#include "support/recording_platform.h"
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

}  // namespace
