// SPDX-License-Identifier: MIT
// The checksum properties shared by the unit tests, the fuzz target and the
// replay of its corpus.
#ifndef KELU_TESTS_CHECKSUM_CHECK_H
#define KELU_TESTS_CHECKSUM_CHECK_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace kelu::test {

// CRC-32/BZIP2 by its definition: MSB-first polynomial division, one bit at
// a time, begun from `crc`, with no complement.
uint32_t crc32Definition(uint32_t crc, const uint8_t *data, size_t size);

// "" when, for the `size` bytes at `data`: CRC_Crc32 is the complemented
// definition from all ones; CRC_Crc32Continue from a start value taken from
// `seed` is the definition, whatever path it takes; and both CRC_Crc32Continue
// and crc32_iscsi_00 fed in pieces cut where `seed` says give the value of
// one call, crc32_iscsi_00 being ISA-L's crc32_iscsi. Otherwise what differs.
std::string checkChecksums(const uint8_t *data, size_t size, uint64_t seed);

// checkChecksums() on `data` itself, its first eight bytes choosing the seed.
inline std::string runChecksums(const uint8_t *data, size_t size) {
    uint64_t seed = size;
    std::memcpy(&seed, data, size < sizeof seed ? size : sizeof seed);
    const std::string failure = checkChecksums(data, size, seed);
    return failure.empty() ? "" : "checksums: " + failure;
}

}  // namespace kelu::test

#endif  // KELU_TESTS_CHECKSUM_CHECK_H
