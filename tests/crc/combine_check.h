// SPDX-License-Identifier: MIT
// The property of combining checksums, for any interpreter that has bytes.
#ifndef KELU_TESTS_CRC_COMBINE_CHECK_H
#define KELU_TESTS_CRC_COMBINE_CHECK_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelu::test {

// "" when, for the `size` bytes at `data` cut in two at every point (up to 64
// bytes) or at points `seed` chooses: CRC_Crc32Combine, CRC_Crc32cCombine and
// the C++ streams' append() of the two parts give the checksum of the whole;
// and the portable and carry-less paths agree on a value and a 64-bit length
// drawn from `seed`. Otherwise what differs.
std::string checkCombine(const uint8_t *data, size_t size, uint64_t seed);

}  // namespace kelu::test

#endif  // KELU_TESTS_CRC_COMBINE_CHECK_H
