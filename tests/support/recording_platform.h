// A recording stand-in for the platform services, for tests. Linking
// recording_platform.cpp into a test executable defines qxlog and the two
// spin-lock functions there, so they take precedence over the platform
// library's (for the shared object, by ELF interposition). Every log record
// and every lock/unlock call is captured with all of its arguments; the lock
// functions really lock, so concurrent tests stay correct.
#ifndef KELU_TESTS_RECORDING_PLATFORM_H
#define KELU_TESTS_RECORDING_PLATFORM_H

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "vemo_spinlock.h"

namespace kelu::test {

struct LogRecord {
    uint32_t moduleId;
    uint32_t level;
    std::string file;
    uint32_t line;
    std::string function;
    uint32_t code;
    std::string format;
    bool operator==(const LogRecord &) const = default;
};

enum class LockOp { Lock, Unlock };

struct LockCall {
    LockOp op;
    const SpinLock *lock;
    std::string function;
    uint32_t line;
    bool operator==(const LockCall &) const = default;
};

std::ostream &operator<<(std::ostream &out, const LogRecord &record);
std::ostream &operator<<(std::ostream &out, const LockCall &call);

// Everything captured so far, oldest first. Thread-safe.
std::vector<LogRecord> logRecords();
std::vector<LockCall> lockCalls();

// Forgets everything captured so far.
void clearRecords();

// Called by the lock functions with the lock held: right after a lock call
// has acquired it (LockOp::Lock) and right before an unlock call releases it
// (LockOp::Unlock). A test sees there what the caller changed inside and
// outside its critical section. Pass an empty function to remove it.
using LockHook = std::function<void(LockOp op, const SpinLock *lock)>;
void setLockHook(LockHook hook);

// While disabled (the default is enabled), calls are served but not captured:
// for stress tests that would otherwise record millions of calls.
void setRecording(bool enabled);

// The text of line `line` of the library source file whose base name is
// `file` (searched under the module's directory), or "" when there is none.
// Lets a test check that a record's line is that of the call that wrote it.
std::string librarySourceLine(const std::string &file, uint32_t line);

// A record as the library writes it: module 381, the given fields, and a
// line that the test does not check; compare with matchesIgnoringLine().
LogRecord expectedRecord(uint32_t level, const std::string &file, const std::string &function,
                         uint32_t code, const std::string &message);
bool matchesIgnoringLine(const LogRecord &actual, const LogRecord &expected);

}  // namespace kelu::test

#endif  // KELU_TESTS_RECORDING_PLATFORM_H
