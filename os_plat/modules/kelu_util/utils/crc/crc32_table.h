// SPDX-License-Identifier: MIT
// Private to the library: the CRC-32/BZIP2 table and the byte-at-a-time loop
// over it. The loop is the definition every faster path must match bit for
// bit, and the path CRC_Crc32Continue takes for short inputs.
#ifndef KELU_UTIL_CRC32_TABLE_H
#define KELU_UTIL_CRC32_TABLE_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace kelu::crc {

inline constexpr uint32_t kCrc32Polynomial = 0x04C11DB7u;

// Entry i is the register after shifting the byte i, placed in the top eight
// bits, through eight steps of MSB-first polynomial division.
constexpr std::array<uint32_t, 256> makeCrc32Table() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t value = i << 24;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 0x80000000u) != 0 ? (value << 1) ^ kCrc32Polynomial : value << 1;
        }
        table[i] = value;
    }
    return table;
}

inline constexpr std::array<uint32_t, 256> crc32Table = makeCrc32Table();

static_assert(crc32Table[1] == 0x04C11DB7u && crc32Table[2] == 0x09823B6Eu &&
              crc32Table[255] == 0xB1F740B4u);

// The running value after `count` bytes, begun from `crc`: one lookup, two
// shifts and two XORs per byte.
inline uint32_t crc32Bytewise(uint32_t crc, const uint8_t *bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        crc = (crc << 8) ^ crc32Table[((crc >> 24) ^ bytes[i]) & 0xFFu];
    }
    return crc;
}

}  // namespace kelu::crc

#endif  // KELU_UTIL_CRC32_TABLE_H
