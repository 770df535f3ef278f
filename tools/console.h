// SPDX-License-Identifier: MIT
//
// File: console.h
//
// kelu-cksum's standard output, every write of which is checked, and its
// messages on standard error, each prefixed with the program's name.
#ifndef KELU_CKSUM_CONSOLE_H
#define KELU_CKSUM_CONSOLE_H

#include <initializer_list>
#include <string_view>

namespace kelu::cksum {

inline constexpr std::string_view kProgram = "kelu-cksum";

// put(), flushOutput()
// Write `text` to standard output; flush what stdio still holds, before a
// successful exit. A failed write is reported once, as "write error: REASON",
// and ends the program with status 1: nothing written after a lost line
// could be trusted.
void put(std::string_view text);
void flushOutput();

// report()
// One message line on standard error: the program's name, ": ", and the parts.
void report(std::initializer_list<std::string_view> parts);

// reportErrno()
// report() of "NAME: REASON", the reason being errno's.
void reportErrno(std::string_view name);

// usageError()
// Reports `message` (none when empty), points at --help and exits with 1.
[[noreturn]] void usageError(std::string_view message);

}  // namespace kelu::cksum

#endif  // KELU_CKSUM_CONSOLE_H
