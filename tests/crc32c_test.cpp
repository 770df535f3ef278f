// crc32_iscsi_00: the RFC 3720 vectors, empty input, every kernel against
// ISA-L's crc32_iscsi, and which kernel each processor gets.
#include <gtest/gtest.h>

#include <isa-l/crc.h>

#include <random>
#include <vector>

#include "crc32c_kernels.h"
#include "kelu_util_crc.h"
#include "support/crc_test_data.h"

namespace {

using kelu::crc::CpuFeatures;
using kelu::crc::Crc32cKernel;

// The standard CRC-32C: the register begun from all ones, inverted.
uint32_t crc32c(std::vector<uint8_t> bytes) {
    return ~crc32_iscsi_00(bytes.data(), static_cast<int>(bytes.size()), 0xFFFFFFFFu);
}

TEST(Crc32c, Rfc3720Vectors) {
    std::vector<uint8_t> ascending(32), descending(32);
    for (uint8_t i = 0; i < 32; ++i) {
        ascending[i] = i;
        descending[i] = static_cast<uint8_t>(31 - i);
    }
    EXPECT_EQ(crc32c(std::vector<uint8_t>(32, 0x00)), 0x8A9136AAu);
    EXPECT_EQ(crc32c(std::vector<uint8_t>(32, 0xFF)), 0x62A8AB43u);
    EXPECT_EQ(crc32c(ascending), 0x46DD794Eu);
    EXPECT_EQ(crc32c(descending), 0x113FDB5Cu);
    EXPECT_EQ(crc32c({'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0xE3069283u);
}

TEST(Crc32c, EmptyInputReturnsTheInitialValue) {
    unsigned char byte = 0x5A;
    EXPECT_EQ(crc32_iscsi_00(&byte, 0, 0xDEADBEEFu), 0xDEADBEEFu);
    EXPECT_EQ(crc32_iscsi_00(&byte, -1, 0xDEADBEEFu), 0xDEADBEEFu);
    EXPECT_EQ(crc32_iscsi_00(nullptr, 7, 0xDEADBEEFu), 0xDEADBEEFu);
}

struct NamedKernel {
    const char *name;
    Crc32cKernel kernel;
    CpuFeatures needs;  // a processor that must have all of these bits
};

// Feature words that select each kernel: the least that does.
constexpr CpuFeatures kNothing{};
constexpr CpuFeatures kSse42{1u << 20, 0, 0, 0};
constexpr CpuFeatures kPclmul{(1u << 20) | (1u << 1), 0, 0, 0};
constexpr CpuFeatures kVpclmulAvx512{(1u << 20) | (1u << 1) | (1u << 27) | (1u << 28),
                                     0xD0030000u | (1u << 5), 0x5F40u, 0xE6u};

const NamedKernel kKernels[] = {
    {"crc32_iscsi_by16_10", crc32_iscsi_by16_10, kVpclmulAvx512},
    {"crc32_iscsi_01", crc32_iscsi_01, kPclmul},
    {"crc32cSse42", kelu::crc::crc32cSse42, kSse42},
    {"crc32cTable", kelu::crc::crc32cTable, kNothing},
};

bool covers(const CpuFeatures &have, const CpuFeatures &need) {
    return (have.leaf1Ecx & need.leaf1Ecx) == need.leaf1Ecx &&
           (have.leaf7Ebx & need.leaf7Ebx) == need.leaf7Ebx &&
           (have.leaf7Ecx & need.leaf7Ecx) == need.leaf7Ecx && (have.xcr0 & need.xcr0) == need.xcr0;
}

TEST(Crc32c, EachKernelSelectedByItsFeatures) {
    for (const NamedKernel &k : kKernels) {
        EXPECT_EQ(kelu::crc::selectCrc32cKernel(k.needs), k.kernel) << k.name;
    }
    // One missing piece of the AVX-512 set falls back to PCLMULQDQ folding.
    CpuFeatures noVpclmul = kVpclmulAvx512;
    noVpclmul.leaf7Ecx &= ~(1u << 10);
    EXPECT_EQ(kelu::crc::selectCrc32cKernel(noVpclmul), crc32_iscsi_01);
    CpuFeatures noZmmState = kVpclmulAvx512;
    noZmmState.xcr0 = 0x6;
    EXPECT_EQ(kelu::crc::selectCrc32cKernel(noZmmState), crc32_iscsi_01);
}

// Every kernel this processor can run equals ISA-L's crc32_iscsi for every
// length 1..300 and random ones up to 70,000, at any alignment and start.
TEST(Crc32c, EveryKernelEqualsIsaLsDispatcher) {
    const uint64_t seed = kelu::test::testSeed();
    SCOPED_TRACE(kelu::test::seedTrace(seed));
    std::mt19937_64 rng(seed);
    std::vector<uint8_t> data = kelu::test::randomBytes(rng, 70000 + 64);
    const CpuFeatures cpu = kelu::crc::readCpuFeatures();
    int kernelsRun = 0;
    for (const NamedKernel &k : kKernels) {
        if (!covers(cpu, k.needs)) {
            continue;
        }
        SCOPED_TRACE(k.name);
        ++kernelsRun;
        for (size_t n : kelu::test::sweepLengths(rng, 200, 70000)) {
            if (n == 0) {
                continue;
            }
            uint8_t *p = data.data() + rng() % 64;
            const auto init = static_cast<unsigned int>(rng());
            ASSERT_EQ(k.kernel(p, n, init), crc32_iscsi(p, static_cast<int>(n), init))
                << "length " << n;
        }
    }
    EXPECT_GE(kernelsRun, 2);
}

}  // namespace
