// SPDX-License-Identifier: MIT
// kelu-cksum: prints, or checks, the CRC-32/BZIP2 and the CRC-32C of files
// or standard input, computed by libkelu_util. Options, messages and exit
// statuses follow the coreutils checksum tools (sha256sum); its --help and
// manual page describe them for users.
#include <string>

#include "check.h"
#include "console.h"
#include "file_checksums.h"
#include "options.h"

namespace {

using namespace kelu::cksum;

// Prints the result lines for one file; false after reporting an unreadable one.
bool printChecksums(const std::string &path, bool named, bool tag) {
    const std::optional<Checksums> sums = checksumFile(path);
    if (!sums) {
        reportErrno(path);
        return false;
    }
    put(formatResult(*sums, named ? std::optional<std::string_view>(path) : std::nullopt, tag));
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    // getopt_long names the program by argv[0] in its messages.
    std::string program(kProgram);
    argv[0] = program.data();
    Options options = parseOptions(argc, argv);
    const bool named = !options.files.empty();
    if (!named) {
        options.files.emplace_back("-");
    }
    LastRead last;
    bool allPassed = true;
    for (const std::string &path : options.files) {
        allPassed = (options.check ? checkList(path, options, last)
                                   : printChecksums(path, named, options.tag)) &&
                    allPassed;
    }
    flushOutput();
    return allPassed ? 0 : 1;
}
