// The platform stand-in: a real spin lock and a readable, filtered log.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "qxlog.h"
#include "vemo_spinlock.h"

namespace {

TEST(PlatformStubLock, AllZeroLockIsFreeAndRecordsItsOwner) {
    SpinLock lock{};
    do_vemo_spinlock_lock(&lock, "test", 1);
    EXPECT_EQ(lock.lockWord, 1u);
    EXPECT_EQ(lock.owner, static_cast<int64_t>(syscall(SYS_gettid)));
    EXPECT_GE(lock.ownerCpu, 0);
    do_vemo_spinlock_unlock(&lock, "test", 2);
    EXPECT_EQ(lock.lockWord, 0u);
    EXPECT_EQ(lock.owner, -1);
    EXPECT_EQ(lock.ownerCpu, -1);
}

TEST(PlatformStubLock, InitialisedLockIsFree) {
    SpinLock lock{0, SPINLOCK_MAGIC, -1, -1};
    do_vemo_spinlock_lock(&lock, "test", 1);
    do_vemo_spinlock_unlock(&lock, "test", 2);
    EXPECT_EQ(lock.magic, SPINLOCK_MAGIC);
}

// A plain counter incremented under the lock by several threads: lost
// updates (or, under ThreadSanitizer, a reported race) mean no exclusion.
TEST(PlatformStubLock, ExcludesOtherThreads) {
    constexpr int kThreads = 4;
    constexpr int kIncrements = 20000;
    SpinLock lock{};
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kIncrements; ++i) {
                do_vemo_spinlock_lock(&lock, "test", 1);
                long seen = counter;
                if (i % 64 == 0) {
                    std::this_thread::yield();
                }
                counter = seen + 1;
                do_vemo_spinlock_unlock(&lock, "test", 2);
            }
        });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, long{kThreads} * kIncrements);
}

// Runs `body` with stderr redirected to a temporary file and returns what it wrote.
template <typename Body>
std::string captureStderr(Body body) {
    std::fflush(stderr);
    FILE *capture = std::tmpfile();
    int saved = dup(fileno(stderr));
    dup2(fileno(capture), fileno(stderr));
    body();
    std::fflush(stderr);
    dup2(saved, fileno(stderr));
    close(saved);
    std::string text;
    std::rewind(capture);
    for (int c; (c = std::fgetc(capture)) != EOF;) {
        text.push_back(static_cast<char>(c));
    }
    std::fclose(capture);
    return text;
}

TEST(PlatformStubLog, OneLinePerRecordAtOrBelowTheThreshold) {
    // The default threshold is LOG_LVL_ERR: debug records are dropped.
    std::string text = captureStderr([] {
        qxlog(UTIL_LOG_MODULE_ID, LOG_LVL_ERR, "avl.cpp", 42, "createAvl", 1565, "NULL POINTER.");
        qxlog(UTIL_LOG_MODULE_ID, LOG_LVL_DBG, "avl.cpp", 43, "insertAvlNode", 828,
              "Set AVL balance done.");
    });
    EXPECT_EQ(text, "[kelu L3] avl.cpp:42 createAvl (module 381, code 1565): NULL POINTER.\n");
}

}  // namespace
