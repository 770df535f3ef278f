#include "recording_platform.h"

#include <atomic>
#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <utility>

#include "qxlog.h"

namespace kelu::test {
namespace {

std::mutex g_mutex;
std::vector<LogRecord> g_logRecords;
std::vector<LockCall> g_lockCalls;
std::atomic<bool> g_recording{true};
LockHook g_lockHook;  // set and cleared by tests while no library call runs

void recordLock(LockOp op, const SpinLock *lock, const char *function, uint32_t line) {
    if (!g_recording.load(std::memory_order_relaxed)) {
        return;
    }
    std::lock_guard<std::mutex> guard(g_mutex);
    g_lockCalls.push_back({op, lock, function != nullptr ? function : "(null)", line});
}

}  // namespace

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

void setLockHook(LockHook hook) {
    g_lockHook = std::move(hook);
}

void setRecording(bool enabled) {
    g_recording.store(enabled, std::memory_order_relaxed);
}

std::ostream &operator<<(std::ostream &out, const LogRecord &r) {
    return out << "{module " << r.moduleId << ", level " << r.level << ", " << r.file << ":"
               << r.line << ", " << r.function << ", code " << r.code << ", \"" << r.format
               << "\"}";
}

std::ostream &operator<<(std::ostream &out, const LockCall &c) {
    return out << "{" << (c.op == LockOp::Lock ? "lock" : "unlock") << " " << c.lock << ", "
               << c.function << ":" << c.line << "}";
}

std::string librarySourceLine(const std::string &file, uint32_t line) {
    namespace fs = std::filesystem;
    for (const auto &entry : fs::recursive_directory_iterator(KELU_MODULE_SOURCE_DIR)) {
        if (!entry.is_regular_file() || entry.path().filename() != file) {
            continue;
        }
        std::ifstream in(entry.path());
        std::string text;
        for (uint32_t n = 1; std::getline(in, text); ++n) {
            if (n == line) {
                return text;
            }
        }
    }
    return "";
}

LogRecord expectedRecord(uint32_t level, const std::string &file, const std::string &function,
                         uint32_t code, const std::string &message) {
    return {UTIL_LOG_MODULE_ID, level, file, 0, function, code, message};
}

bool matchesIgnoringLine(const LogRecord &actual, const LogRecord &expected) {
    LogRecord lineless = actual;
    lineless.line = 0;
    return lineless == expected;
}

}  // namespace kelu::test

using kelu::test::LockOp;

extern "C" {

int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
              const char *function, uint32_t code, const char *format, ...) {
    if (!kelu::test::g_recording.load(std::memory_order_relaxed)) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(kelu::test::g_mutex);
    kelu::test::g_logRecords.push_back({moduleId, level, file != nullptr ? file : "(null)", line,
                                        function != nullptr ? function : "(null)", code,
                                        format != nullptr ? format : "(null)"});
    return 0;
}

uint32_t do_vemo_spinlock_lock(SpinLock *lock, const char *function, uint32_t line) {
    kelu::test::recordLock(LockOp::Lock, lock, function, line);
    std::atomic_ref<uint64_t> word(lock->lockWord);
    for (;;) {
        if (word.exchange(1, std::memory_order_acquire) == 0) {
            if (kelu::test::g_lockHook) {
                kelu::test::g_lockHook(LockOp::Lock, lock);
            }
            return 0;
        }
        while (word.load(std::memory_order_relaxed) != 0) {
            __builtin_ia32_pause();
        }
    }
}

uint32_t do_vemo_spinlock_unlock(SpinLock *lock, const char *function, uint32_t line) {
    kelu::test::recordLock(LockOp::Unlock, lock, function, line);
    if (kelu::test::g_lockHook) {
        kelu::test::g_lockHook(LockOp::Unlock, lock);
    }
    std::atomic_ref<uint64_t>(lock->lockWord).store(0, std::memory_order_release);
    return 0;
}

}  // extern "C"
