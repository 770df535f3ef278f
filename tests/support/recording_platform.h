// SPDX-License-Identifier: MIT
// A recording stand-in for the platform. Linked into a program, its qxlog and
// spin-lock functions take precedence over the platform library's (for the
// shared object, by ELF interposition). It captures every log record and
// every lock and unlock call, in call order; its lock really locks.
#ifndef KELU_TESTS_RECORDING_PLATFORM_H
#define KELU_TESTS_RECORDING_PLATFORM_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vemo_spinlock.h"

namespace kelu::test {

enum class LockOp { Lock, Unlock };

struct LockCall {
    LockOp op;
    const SpinLock *lock;
    std::string function;
    uint32_t line;
};

// The calls captured since the last clearRecords(), one line each, oldest
// first: "log <level> <function> <code> <message>" for a record, "lock
// <function>" and "unlock <function>" for the spin lock. A record that does
// not carry the library's module id, the base name `source` of the file
// that makes it and a line number, or a lock call without a line number, has
// what is wrong appended in brackets, so that it matches no expected line.
// Thread-safe.
std::string transcript(std::string_view source);
std::vector<LockCall> lockCalls();
void clearRecords();

// Runs with the lock held: right after a lock call takes it, right before an
// unlock call releases it. Set only while no library call runs.
void setLockHook(std::function<void(LockOp op, const SpinLock *lock)> hook);

}  // namespace kelu::test

#endif  // KELU_TESTS_RECORDING_PLATFORM_H
