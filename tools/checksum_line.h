// SPDX-License-Identifier: MIT
//
// File: checksum_line.h
//
// The lines kelu-cksum writes for a file and reads back with --check:
//
//   CRC32 CRC32C BYTES[ NAME]       the default line
//   CRC32 (NAME) = CRC32            the two --tag lines
//   CRC32C (NAME) = CRC32C
//
// with each checksum as eight hex digits (written lower case, read in either
// case) and the length in decimal. A NAME holding a newline, a carriage
// return or a backslash is written with those as \n, \r and \\, and its line
// starts with a backslash, so that every name other than the empty one and
// one holding a NUL byte reads back unchanged. Pure functions over strings.
#ifndef KELU_CKSUM_CHECKSUM_LINE_H
#define KELU_CKSUM_CHECKSUM_LINE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelu::cksum {

// Checksums
// What a file yields: its CRC-32/BZIP2, its CRC-32C and its length.
struct Checksums {
    uint32_t crc32 = 0;
    uint32_t crc32c = 0;
    uint64_t bytes = 0;
    bool operator==(const Checksums &) const = default;
};

// Expected
// What one line promises about the file it names ("-" is standard input, as
// is a default line without a name); a field the line does not carry is
// empty and matches anything.
struct Expected {
    std::string name;
    std::optional<uint32_t> crc32, crc32c;
    std::optional<uint64_t> bytes;

    bool matches(const Checksums &sums) const;
    bool operator==(const Expected &) const = default;
};

// formatResult()
// The line, or with `tag` the two lines, for one file, each ending in a
// newline; `name` absent is standard input read without a name, which only
// the default line can leave out.
std::string formatResult(const Checksums &sums, std::optional<std::string_view> name, bool tag);

// formatVerdict()
// "NAME: VERDICT" and a newline; a name holding a line break is escaped, after
// a backslash, as in a result line.
std::string formatVerdict(std::string_view name, std::string_view verdict);

// parseLine()
// What one line of a checksum list, without its line end, promises; nullopt
// when it is not a line formatResult writes for a name it can carry.
std::optional<Expected> parseLine(std::string_view line);

}  // namespace kelu::cksum

#endif  // KELU_CKSUM_CHECKSUM_LINE_H
