// SPDX-License-Identifier: MIT
// Combining checksums: named cases, and lengths up to 2^64 - 1 (every digit
// of the table, beyond 4 GiB, at random) against blocks of zeros whose
// checksums come from another algorithm, the one-zero-byte operator of the
// register squared repeatedly. The checksum interpreter's `combine` cuts
// pieces of its buffer at every point (crc_interpreter.h).
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string_view>

#include "kelu/crc.hpp"
#include "kelu_util_crc.h"
#include "support/common.h"

namespace {

using kelu::test::seedTrace;

TEST(Combine, NamedCases) {
    const std::string_view a = "12345", b = "6789";
    EXPECT_EQ(CRC_Crc32Combine(kelu::crc32(a), kelu::crc32(b), 4), 0xFC891918u);
    EXPECT_EQ(kelu::crc32c_combine(kelu::crc32c(a), kelu::crc32c(b), 4), 0xE3069283u);
    EXPECT_EQ(kelu::crc32_combine(kelu::crc32(a), 0, 0), kelu::crc32(a));  // B empty
    EXPECT_EQ(CRC_Crc32cCombine(0, kelu::crc32c(b), 4), kelu::crc32c(b));  // A empty
}

// The register's operators for 2^j zero bytes, j = 0 to 63, as GF(2)
// matrices: column i is the image of bit i.
class ZeroBytes {
  public:
    explicit ZeroBytes(uint32_t (*zeroBit)(uint32_t)) {
        for (uint32_t i = 0; i < 32; ++i) {
            power_[0][i] = 1u << i;
            for (int bit = 0; bit < 8; ++bit) {
                power_[0][i] = zeroBit(power_[0][i]);
            }
        }
        for (size_t j = 1; j < 64; ++j) {
            for (size_t i = 0; i < 32; ++i) {
                power_[j][i] = apply(power_[j - 1], power_[j - 1][i]);
            }
        }
    }
    // The register after `length` zero bytes, begun from `reg`.
    uint32_t after(uint32_t reg, uint64_t length) const {
        for (size_t j = 0; j < 64; ++j) {
            reg = (length >> j & 1) != 0 ? apply(power_[j], reg) : reg;
        }
        return reg;
    }

  private:
    using Matrix = std::array<uint32_t, 32>;
    static uint32_t apply(const Matrix &matrix, uint32_t v) {
        uint32_t image = 0;
        for (size_t i = 0; i < 32; ++i) {
            image ^= (v >> i & 1) != 0 ? matrix[i] : 0;
        }
        return image;
    }
    std::array<Matrix, 64> power_;
};

TEST(Combine, LengthsUpTo2To64AgainstBlocksOfZeros) {
    const struct {
        const char *name;
        uint32_t (*combine)(uint32_t crcA, uint32_t crcB, uint64_t lengthB);
        ZeroBytes zeros;
    } kinds[] = {
        {"CRC-32", CRC_Crc32Combine,
         ZeroBytes([](uint32_t r) { return (r << 1) ^ ((r >> 31) != 0 ? 0x04C11DB7u : 0); })},
        {"CRC-32C", CRC_Crc32cCombine,
         ZeroBytes([](uint32_t r) { return (r >> 1) ^ ((r & 1) != 0 ? 0x82F63B78u : 0); })},
    };
    std::mt19937_64 random(kelu::test::testSeed());
    std::vector<uint64_t> lengths = {~uint64_t{0}};
    for (int shift = 0; shift < 64; shift += 4) {
        for (uint64_t digit = 1; digit < 16; ++digit) {
            lengths.push_back(digit << shift);
        }
    }
    for (int i = 0; i < 100; ++i) {
        lengths.push_back((uint64_t{1} << 32) + random() % 65536);
        lengths.push_back(random() >> random() % 64);
    }
    for (const auto &kind : kinds) {
        for (uint64_t length : lengths) {
            const auto crcA = static_cast<uint32_t>(random());
            const uint32_t zeros = ~kind.zeros.after(~0u, length);
            ASSERT_EQ(kind.combine(crcA, zeros, length), ~kind.zeros.after(~crcA, length))
                << kind.name << ", " << length << " zero bytes, " << seedTrace();
        }
    }
}

}  // namespace
