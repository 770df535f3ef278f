// CRC-32/BZIP2: the catalogue values, the table, the piecewise calling
// order, bit-identity of the carry-less path with the table loop for every
// length, alignment, start value and split, and that large inputs take it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <vector>

#include "crc32_table.h"
#include "kelu_util_crc.h"
#include "support/crc_test_data.h"

// The unit tests are linked with --wrap=crc32_ieee: the library's calls into
// ISA-L come here, are counted, and go on to ISA-L unchanged.
extern "C" {
uint32_t __real_crc32_ieee(uint32_t init, const unsigned char *buf, uint64_t len);

std::atomic<uint64_t> g_crc32IeeeCalls{0};
std::atomic<uint64_t> g_crc32IeeeBytes{0};

uint32_t __wrap_crc32_ieee(uint32_t init, const unsigned char *buf, uint64_t len) {
    g_crc32IeeeCalls.fetch_add(1);
    g_crc32IeeeBytes.fetch_add(len);
    return __real_crc32_ieee(init, buf, len);
}
}

namespace {

using kelu::crc::crc32Bytewise;
using kelu::crc::crc32Table;

const char kDigits[] = "123456789";

// Polynomial division one bit at a time, the table's own definition.
uint32_t crc32Bitwise(uint32_t crc, const uint8_t *bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        crc ^= uint32_t{bytes[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    return crc;
}

TEST(Crc32, TablePinnedEntries) {
    EXPECT_EQ(crc32Table[0], 0x00000000u);
    EXPECT_EQ(crc32Table[1], 0x04C11DB7u);
    EXPECT_EQ(crc32Table[2], 0x09823B6Eu);
    EXPECT_EQ(crc32Table[255], 0xB1F740B4u);
}

TEST(Crc32, CatalogueValueWholeAndInPieces) {
    EXPECT_EQ(CRC_Crc32(kDigits, 9), 0xFC891918u);
    EXPECT_EQ(CRC_Crc32End(CRC_Crc32Continue(CRC_Crc32Start(kDigits, 4), kDigits + 4, 5)),
              0xFC891918u);
    EXPECT_EQ(CRC_Crc32Start(kDigits, 9), CRC_Crc32Continue(0xFFFFFFFFu, kDigits, 9));
    EXPECT_EQ(CRC_Crc32Start(kDigits, 9), ~0xFC891918u);
}

TEST(Crc32, NullOrZeroCountIsEmptyInput) {
    EXPECT_EQ(CRC_Crc32(kDigits, 0), 0u);
    EXPECT_EQ(CRC_Crc32(nullptr, 0), 0u);
    EXPECT_EQ(CRC_Crc32(nullptr, 12345), 0u);
    EXPECT_EQ(CRC_Crc32Start(nullptr, 9), 0xFFFFFFFFu);
    EXPECT_EQ(CRC_Crc32Continue(0x12345678u, nullptr, 5), 0x12345678u);
    EXPECT_EQ(CRC_Crc32Continue(0x12345678u, kDigits, 0), 0x12345678u);
    EXPECT_EQ(CRC_Crc32End(0xFFFFFFFFu), 0u);
    EXPECT_EQ(CRC_Crc32End(0x0F0F0F0Fu), 0xF0F0F0F0u);
}

TEST(Crc32, TableLoopEqualsBitwiseDivision) {
    const uint64_t seed = kelu::test::testSeed();
    SCOPED_TRACE(kelu::test::seedTrace(seed));
    std::mt19937_64 rng(seed);
    for (size_t n = 0; n <= 64; ++n) {
        std::vector<uint8_t> bytes = kelu::test::randomBytes(rng, n);
        auto start = static_cast<uint32_t>(rng());
        ASSERT_EQ(crc32Bytewise(start, bytes.data(), n), crc32Bitwise(start, bytes.data(), n))
            << "length " << n << " start " << start;
    }
}

// Every length 0..300 and random ones up to 70,000, at every start offset
// modulo 64, from a random running value, whole and cut at random points:
// the library's result is always the table loop's.
TEST(Crc32, BitIdenticalToTableLoop) {
    const uint64_t seed = kelu::test::testSeed();
    SCOPED_TRACE(kelu::test::seedTrace(seed));
    std::mt19937_64 rng(seed);
    const std::vector<uint8_t> data = kelu::test::randomBytes(rng, 70000 + 64);
    for (size_t n : kelu::test::sweepLengths(rng, 400, 70000)) {
        const size_t offset = rng() % 64;
        const uint8_t *p = data.data() + offset;
        const auto start = static_cast<uint32_t>(rng());
        const auto count = static_cast<uint32_t>(n);
        const uint32_t expected = crc32Bytewise(start, p, n);
        ASSERT_EQ(CRC_Crc32Continue(start, p, count), expected)
            << "length " << n << " offset " << offset << " start " << start;
        ASSERT_EQ(CRC_Crc32(p, count), ~crc32Bytewise(0xFFFFFFFFu, p, n)) << "length " << n;

        std::vector<uint32_t> cuts = {0, count};
        for (int i = 0; i < 3; ++i) {
            cuts.push_back(static_cast<uint32_t>(rng() % (n + 1)));
        }
        std::sort(cuts.begin(), cuts.end());
        uint32_t running = start;
        for (size_t i = 1; i < cuts.size(); ++i) {
            running = CRC_Crc32Continue(running, p + cuts[i - 1], cuts[i] - cuts[i - 1]);
        }
        ASSERT_EQ(running, expected)
            << "length " << n << " cut at " << cuts[2] << ", " << cuts[3] << ", " << cuts[4];
    }
}

TEST(Crc32, LargeInputsTakeTheCarrylessPath) {
    std::vector<uint8_t> data(1 << 20, 0xA5);
    for (uint32_t n : {4096u, 65536u, 1u << 20}) {
        const uint64_t calls = g_crc32IeeeCalls.load();
        const uint64_t bytes = g_crc32IeeeBytes.load();
        EXPECT_EQ(CRC_Crc32(data.data(), n), ~crc32Bytewise(0xFFFFFFFFu, data.data(), n));
        EXPECT_EQ(g_crc32IeeeCalls.load() - calls, 1u) << n;
        EXPECT_EQ(g_crc32IeeeBytes.load() - bytes, n);
    }
    const uint64_t calls = g_crc32IeeeCalls.load();
    EXPECT_EQ(CRC_Crc32(data.data(), 1), ~crc32Bytewise(0xFFFFFFFFu, data.data(), 1));
    EXPECT_EQ(g_crc32IeeeCalls.load(), calls) << "a one-byte input runs the table loop";
}

}  // namespace
