// SPDX-License-Identifier: MIT
#include "options.h"

#include <getopt.h>

#include <cstdlib>
#include <string_view>

#include "console.h"
#include "kelu_util_version.h"

namespace kelu::cksum {
namespace {

// The manual page is made from this text and --version's by help2man, with
// kelu-cksum.h2m adding what does not belong in a summary.
constexpr std::string_view kHelp =
    "Usage: kelu-cksum [OPTION]... [FILE]...\n"
    "Print or check CRC-32 (CRC-32/BZIP2) and CRC-32C (Castagnoli) checksums.\n"
    "\n"
    "With no FILE, or when FILE is -, read standard input.\n"
    "\n"
    "  -c, --check           read checksums from the FILEs and check them\n"
    "      --tag             print a BSD-style line for each of the two checksums\n"
    "\n"
    "The following five options are useful only when verifying checksums:\n"
    "      --ignore-missing  don't fail or report status for missing files\n"
    "      --quiet           don't print OK for each successfully verified file\n"
    "      --status          don't output anything, status code shows success\n"
    "      --strict          exit non-zero for improperly formatted checksum lines\n"
    "  -w, --warn            warn about improperly formatted checksum lines\n"
    "\n"
    "  -h, --help            display this help and exit\n"
    "      --version         output version information and exit\n"
    "\n"
    "Options may follow the FILEs; -- ends them. Of --quiet, --status and --warn,\n"
    "the last one given counts.\n"
    "\n"
    "Output lines:\n"
    "  CRC32 CRC32C BYTES NAME   the default; without \" NAME\" when no FILE is given\n"
    "  CRC32 (NAME) = CRC32      the first --tag line\n"
    "  CRC32C (NAME) = CRC32C    the second --tag line\n"
    "Checksums are 8 hex digits, BYTES is decimal, NAME is - for standard input.\n"
    "A NAME holding a newline, carriage return or backslash is written with\n"
    "those escaped as \\n, \\r and \\\\, and its line starts with a backslash.\n"
    "\"123456789\" gives: fc891918 e3069283 9\n"
    "\n"
    "Exit status:\n"
    "  0  every file was read; with --check, every list had a properly formatted\n"
    "     line and every file it named was read and matched\n"
    "  1  a file or list could not be read, a checksum or length did not match,\n"
    "     a list had no properly formatted line (with --strict, any improperly\n"
    "     formatted one), no file was verified under --ignore-missing, an option\n"
    "     was wrong, or standard output could not be written\n";

constexpr std::string_view kVersion = "kelu-cksum (libkelu_util) " KELU_UTIL_VERSION_STRING "\n";

enum LongOnly { kTag = 256, kIgnoreMissing, kQuiet, kStatus, kStrict, kVersionCode };

const option kOptions[] = {
    {"check", no_argument, nullptr, 'c'},
    {"tag", no_argument, nullptr, kTag},
    {"ignore-missing", no_argument, nullptr, kIgnoreMissing},
    {"quiet", no_argument, nullptr, kQuiet},
    {"status", no_argument, nullptr, kStatus},
    {"strict", no_argument, nullptr, kStrict},
    {"warn", no_argument, nullptr, 'w'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersionCode},
    {nullptr, 0, nullptr, 0},
};

// The long name of the option that getopt_long reports as `code`.
std::string_view longName(int code) {
    const option *entry = kOptions;
    while (entry->val != code) {
        ++entry;
    }
    return entry->name;
}

[[noreturn]] void printAndExit(std::string_view text) {
    put(text);
    flushOutput();
    std::exit(0);
}

}  // namespace

Options parseOptions(int argc, char **argv) {
    Options options;
    std::string_view checkOnly;  // the first option given that only a check takes
    for (int code; (code = getopt_long(argc, argv, "cwh", kOptions, nullptr)) != -1;) {
        // The options a check alone takes leave the switch by `break`, to be
        // remembered for the usage error; the others by `continue` or exit.
        switch (code) {
            case 'c':
                options.check = true;
                continue;
            case kTag:
                options.tag = true;
                continue;
            case 'h':
                printAndExit(kHelp);
            case kVersionCode:
                printAndExit(kVersion);
            case kIgnoreMissing:
                options.ignoreMissing = true;
                break;
            case kQuiet:
                options.verbosity = Verbosity::kQuiet;
                break;
            case kStatus:
                options.verbosity = Verbosity::kStatus;
                break;
            case kStrict:
                options.strict = true;
                break;
            case 'w':
                options.verbosity = Verbosity::kWarn;
                break;
            default:
                usageError("");  // getopt_long has said what is wrong
        }
        checkOnly = checkOnly.empty() ? longName(code) : checkOnly;
    }
    if (options.check && options.tag) {
        usageError("the --tag option is meaningless when verifying checksums");
    }
    if (!options.check && !checkOnly.empty()) {
        usageError(std::string("the --").append(checkOnly).append(
            " option is meaningful only when verifying checksums"));
    }
    options.files.assign(argv + optind, argv + argc);
    return options;
}

}  // namespace kelu::cksum
