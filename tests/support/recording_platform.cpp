// SPDX-License-Identifier: MIT
#include "recording_platform.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "qxlog.h"

namespace kelu::test {
namespace {

std::mutex g_mutex;
std::string g_lines;  // the transcript so far, each line with its source appended
std::vector<LockCall> g_lockCalls;
std::function<void(LockOp, const SpinLock *)> g_lockHook;

// Each line of g_lines is followed by "\t" and where it came from.
void recordLock(LockOp op, SpinLock *lock, const char *function, uint32_t line) {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_lockCalls.push_back({op, lock, function, line});
    g_lines += (op == LockOp::Lock ? "lock " : "unlock ") + std::string(function) + '\t' +
               (line == 0 ? "no line" : "") + '\n';
}

}  // namespace

std::string transcript(std::string_view source) {
    std::lock_guard<std::mutex> guard(g_mutex);
    std::string out;
    for (size_t at = 0; at < g_lines.size();) {
        const size_t tab = g_lines.find('\t', at), end = g_lines.find('\n', tab);
        const std::string_view from(g_lines.data() + tab + 1, end - tab - 1);
        out.append(g_lines, at, tab - at);
        if (!from.empty() && from != source) {
            out += " [" + std::string(from) + "]";
        }
        out += '\n';
        at = end + 1;
    }
    return out;
}

std::vector<LockCall> lockCalls() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_lockCalls;
}

void clearRecords() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_lines.clear();
    g_lockCalls.clear();
}

void setLockHook(std::function<void(LockOp, const SpinLock *)> hook) {
    g_lockHook = std::move(hook);
}

}  // namespace kelu::test

using namespace kelu::test;

// A record "comes from" its file when it carries the module id and a line;
// otherwise its source names what is wrong, and transcript() shows it.
extern "C" int32_t qxlog(uint32_t moduleId, uint32_t level, const char *file, uint32_t line,
                         const char *function, uint32_t code, const char *format, ...) {
    std::lock_guard<std::mutex> guard(g_mutex);
    std::string from = file;
    if (moduleId != UTIL_LOG_MODULE_ID || line == 0) {
        from += " module " + std::to_string(moduleId) + " line " + std::to_string(line);
    }
    g_lines += "log " + std::to_string(level) + " " + function + " " + std::to_string(code) + " " +
               format + '\t' + from + '\n';
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
