// SPDX-License-Identifier: MIT
#include "recording_platform.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

#include "qxlog.h"

namespace kelu::test {
namespace {

std::mutex g_mutex;
std::vector<LogRecord> g_logRecords;
std::vector<LockCall> g_lockCalls;
std::function<void(LockOp, const SpinLock *)> g_lockHook;

void recordLock(LockOp op, SpinLock *lock, const char *function, uint32_t line) {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_lockCalls.push_back({op, lock, function, line});
}

}  // namespace

LogRecord record(uint32_t level, const char *file, const char *function, uint32_t code,
                 const char *message) {
    return {UTIL_LOG_MODULE_ID, level, file, 0, function, code, message};
}

bool matches(const std::vector<LogRecord> &actual, const std::vector<LogRecord> &expected) {
    return std::equal(actual.begin(), actual.end(), expected.begin(), expected.end(),
                      [](const LogRecord &a, const LogRecord &e) {
                          return a.moduleId == e.moduleId && a.level == e.level &&
                                 a.file == e.file && isLineOf(a.file, a.line) &&
                                 a.function == e.function && a.code == e.code &&
                                 a.format == e.format;
                      });
}

// The build counts the lines of the sources that log or lock.
bool isLineOf(const std::string &file, uint32_t line) {
    const uint32_t lines = file == "avl.cpp"             ? KELU_LINES_AVL_CPP
                           : file == "spinlock_list.cpp" ? KELU_LINES_SPINLOCK_LIST_CPP
                           : file == "util_module.cpp"   ? KELU_LINES_UTIL_MODULE_CPP
                                                         : 0;
    return line >= 1 && line <= lines;
}

std::vector<LogRecord> logRecords() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_logRecords;
}

std::vector<LockCall> lockCalls() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_lockCalls;
}

void clearRecords() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_logRecords.clear();
    g_lockCalls.clear();
}

void setLockHook(std::function<void(LockOp, const SpinLock *)> hook) {
    g_lockHook = std::move(hook);
}

}  // namespace kelu::test

using namespace kelu::test;

extern "C" int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
                         const char *function, uint32_t code, const char *format, ...) {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_logRecords.push_back({moduleId, level, file, line, function, code, format});
    return 0;
}

extern "C" uint32_t do_vemo_spinlock_lock(SpinLock *lock, const char *function, uint32_t line) {
    recordLock(LockOp::Lock, lock, function, line);
    std::atomic_ref<uint64_t> word(lock->lockWord);
    while (word.exchange(1, std::memory_order_acquire) != 0) {
        while (word.load(std::memory_order_relaxed) != 0) {
            __builtin_ia32_pause();
        }
    }
    if (g_lockHook) {
        g_lockHook(LockOp::Lock, lock);
    }
    return 0;
}

extern "C" uint32_t do_vemo_spinlock_unlock(SpinLock *lock, const char *function, uint32_t line) {
    recordLock(LockOp::Unlock, lock, function, line);
    if (g_lockHook) {
        g_lockHook(LockOp::Unlock, lock);
    }
    std::atomic_ref<uint64_t>(lock->lockWord).store(0, std::memory_order_release);
    return 0;
}
