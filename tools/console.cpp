// SPDX-License-Identifier: MIT
#include "console.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kelu::cksum {
namespace {

[[noreturn]] void writeFailed() {
    report({"write error: ", std::strerror(errno)});
    // The buffered rest is not flushed again.
    std::_Exit(1);
}

}  // namespace

void put(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        writeFailed();
    }
}

void flushOutput() {
    if (std::fflush(stdout) != 0) {
        writeFailed();
    }
}

void report(std::initializer_list<std::string_view> parts) {
    std::string line(kProgram);
    line += ": ";
    for (std::string_view part : parts) {
        line += part;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void reportErrno(std::string_view name) {
    report({name, ": ", std::strerror(errno)});
}

void usageError(std::string_view message) {
    if (!message.empty()) {
        report({message});
    }
    std::string hint = "Try '";
    hint += kProgram;
    hint += " --help' for more information.\n";
    std::fputs(hint.c_str(), stderr);
    std::exit(1);
}

}  // namespace kelu::cksum
