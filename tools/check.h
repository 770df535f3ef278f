// SPDX-License-Identifier: MIT
//
// File: check.h
//
// kelu-cksum --check: reads checksum lists, checksums the files they name
// again and says whether each still matches, as sha256sum -c does.
#ifndef KELU_CKSUM_CHECK_H
#define KELU_CKSUM_CHECK_H

#include <optional>
#include <string>

#include "checksum_line.h"
#include "options.h"

namespace kelu::cksum {

// LastRead
// The file read for the latest checked line: consecutive lines naming one
// file share this one read of it, so the two --tag lines of standard input
// check the same data. Starts as no file's read.
struct LastRead {
    std::optional<std::string> name;
    std::optional<Checksums> sums;
    int error = 0;  // errno of a failed read
};

// checkList()
// Checks every line of the list `path` ("-" is standard input), printing
// and reporting as `options` say; true when the list passed.
bool checkList(const std::string &path, const Options &options, LastRead &last);

}  // namespace kelu::cksum

#endif  // KELU_CKSUM_CHECK_H
