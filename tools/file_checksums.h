// SPDX-License-Identifier: MIT
//
// File: file_checksums.h
//
// The checksums of a file's contents, read in pieces whatever its size.
#ifndef KELU_CKSUM_FILE_CHECKSUMS_H
#define KELU_CKSUM_FILE_CHECKSUMS_H

#include <optional>
#include <string>

#include "checksum_line.h"

namespace kelu::cksum {

// checksumFile()
// The checksums of the file `name`, "-" being standard input (read to its
// end); nullopt with errno set when it cannot be opened or read.
std::optional<Checksums> checksumFile(const std::string &name);

}  // namespace kelu::cksum

#endif  // KELU_CKSUM_FILE_CHECKSUMS_H
