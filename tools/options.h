// SPDX-License-Identifier: MIT
//
// File: options.h
//
// kelu-cksum's command line, read as coreutils' checksum tools read theirs.
#ifndef KELU_CKSUM_OPTIONS_H
#define KELU_CKSUM_OPTIONS_H

#include <string>
#include <vector>

namespace kelu::cksum {

// How much a check prints: --status, --quiet, the default, --warn.
enum class Verbosity { kStatus, kQuiet, kNormal, kWarn };

struct Options {
    bool check = false;
    bool tag = false;
    bool strict = false;
    bool ignoreMissing = false;
    Verbosity verbosity = Verbosity::kNormal;
    std::vector<std::string> files;  // as given; empty when none was
};

// parseOptions()
// The options and file names of `argv`. Options may follow the file names,
// long ones may be abbreviated, and "--" ends them; of --status, --quiet and
// --warn the last one counts. --help and --version print and exit with 0; a
// wrong or meaningless option is reported and exits with 1.
Options parseOptions(int argc, char **argv);

}  // namespace kelu::cksum

#endif  // KELU_CKSUM_OPTIONS_H
