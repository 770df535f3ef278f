// SPDX-License-Identifier: MIT
// A recording stand-in for the platform. Linked into a program, its qxlog and
// spin-lock functions take precedence over the platform library's (for the
// shared object, by ELF interposition). It captures every log record and
// every lock and unlock call; its lock really locks.
#ifndef KELU_TESTS_RECORDING_PLATFORM_H
#define KELU_TESTS_RECORDING_PLATFORM_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vemo_spinlock.h"

namespace kelu::test {

struct LogRecord {
    uint32_t moduleId, level;
    std::string file;
    uint32_t line;
    std::string function;
    uint32_t code;
    std::string format;  // the message
};

enum class LockOp { Lock, Unlock };

struct LockCall {
    LockOp op;
    const SpinLock *lock;
    std::string function;
    uint32_t line;
};

// A record as the library writes it. Records match when all but the line are
// equal and the line is one of the file's: which line of a call spanning
// several a compiler reports is its own choice.
LogRecord record(uint32_t level, const char *file, const char *function, uint32_t code,
                 const char *message);
bool matches(const std::vector<LogRecord> &actual, const std::vector<LogRecord> &expected);
bool isLineOf(const std::string &file, uint32_t line);

// Everything captured so far, oldest first; thread-safe.
std::vector<LogRecord> logRecords();
std::vector<LockCall> lockCalls();
void clearRecords();

// Runs with the lock held: right after a lock call takes it, right before an
// unlock call releases it. Set only while no library call runs.
void setLockHook(std::function<void(LockOp op, const SpinLock *lock)> hook);

}  // namespace kelu::test

#endif  // KELU_TESTS_RECORDING_PLATFORM_H
