// SPDX-License-Identifier: MIT
// The checksums: catalogue values, empty input, agreement with their
// definitions for every length, alignment, start value and split, which path
// long inputs take, and which CRC32C kernel each processor gets.
#include <cpuid.h>
#include <gtest/gtest.h>

#include <isa-l/crc.h>

#include <atomic>
#include <random>
#include <tuple>
#include <vector>

#include "crc32c_kernels.h"
#include "kelu_util_crc.h"
#include "support/checksum_check.h"
#include "support/common.h"

// Linked with --wrap=crc32_ieee: the library's calls into ISA-L's CRC-32 are
// counted here on their way.
extern "C" uint32_t __real_crc32_ieee(uint32_t init, const unsigned char *buf, uint64_t len);
std::atomic<uint64_t> g_crc32IeeeBytes{0};
extern "C" uint32_t __wrap_crc32_ieee(uint32_t init, const unsigned char *buf, uint64_t len) {
    g_crc32IeeeBytes += len;
    return __real_crc32_ieee(init, buf, len);
}

namespace {

using kelu::crc::CpuFeatures;
using kelu::crc::selectCrc32cKernel;

unsigned char kDigits[] = "123456789";

TEST(Checksums, CatalogueValuesAndEmptyInput) {
    EXPECT_EQ(CRC_Crc32(kDigits, 9), 0xFC891918u);
    EXPECT_EQ(CRC_Crc32End(CRC_Crc32Continue(CRC_Crc32Start(kDigits, 4), kDigits + 4, 5)),
              0xFC891918u);
    EXPECT_EQ(~crc32_iscsi_00(kDigits, 9, ~0u), 0xE3069283u);
    EXPECT_EQ(crc32_iscsi_00(kDigits, 0, 0xDEADBEEFu), 0xDEADBEEFu);
    EXPECT_EQ(CRC_Crc32(nullptr, 12345), 0u);
    EXPECT_EQ(CRC_Crc32Start(nullptr, 9), ~0u);
    EXPECT_EQ(CRC_Crc32Continue(0x12345678u, nullptr, 5), 0x12345678u);
    EXPECT_EQ(CRC_Crc32End(~0u), 0u);
}

TEST(Checksums, InputsOfSixteenBytesOrMoreTakeTheCarrylessPath) {
    std::vector<uint8_t> data(4096, 0xA5);
    for (uint32_t n : {1u, 15u, 16u, 4096u}) {
        const uint64_t before = g_crc32IeeeBytes;
        EXPECT_EQ(CRC_Crc32(data.data(), n), ~kelu::test::crc32Definition(~0u, data.data(), n));
        EXPECT_EQ(g_crc32IeeeBytes - before, n < 16 ? 0 : n) << n << " bytes";
    }
}

// The least feature words that select each kernel.
constexpr CpuFeatures kSse42{1u << 20, 0, 0, 0};
constexpr CpuFeatures kPclmul{(1u << 20) | (1u << 1), 0, 0, 0};
constexpr CpuFeatures kAvx512{(1u << 20) | (1u << 1) | (1u << 27) | (1u << 28),
                              0xD0030000u | (1u << 5), 0x5F40u, 0xE6u};

TEST(Crc32cKernels, EachChosenByItsFeatures) {
    EXPECT_EQ(selectCrc32cKernel(CpuFeatures{}), kelu::crc::crc32cTable);
    EXPECT_EQ(selectCrc32cKernel(kSse42), kelu::crc::crc32cSse42);
    EXPECT_EQ(selectCrc32cKernel(kPclmul), crc32_iscsi_01);
    EXPECT_EQ(selectCrc32cKernel(kAvx512), crc32_iscsi_by16_10);
    // Without VPCLMULQDQ, or without the OS saving the ZMM state: PCLMULQDQ.
    EXPECT_EQ(selectCrc32cKernel({kAvx512.leaf1Ecx, kAvx512.leaf7Ebx, 0x5B40u, 0xE6u}),
              crc32_iscsi_01);
    EXPECT_EQ(selectCrc32cKernel({kAvx512.leaf1Ecx, kAvx512.leaf7Ebx, 0x5F40u, 0x6u}),
              crc32_iscsi_01);
}

// The library reads the words this processor reports (CPUID and XGETBV), so
// it gets the kernel its features call for.
TEST(Crc32cKernels, FeaturesReadAsTheProcessorReportsThem) {
    unsigned eax, ebx, edx;
    CpuFeatures own;
    __get_cpuid(1, &eax, &ebx, &own.leaf1Ecx, &edx);
    __get_cpuid_count(7, 0, &eax, &own.leaf7Ebx, &own.leaf7Ecx, &edx);
    uint32_t low = 0, high = 0;
    if ((own.leaf1Ecx & (1u << 27)) != 0) {
        __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    }
    const CpuFeatures read = kelu::crc::readCpuFeatures();
    EXPECT_EQ(std::tuple(read.leaf1Ecx, read.leaf7Ebx, read.leaf7Ecx, read.xcr0),
              std::tuple(own.leaf1Ecx, own.leaf7Ebx, own.leaf7Ecx, uint64_t{high} << 32 | low));
}

// Every kernel this processor runs gives ISA-L's crc32_iscsi, at any length.
TEST(Crc32cKernels, EachEqualsIsaLsDispatcher) {
    std::mt19937_64 random(kelu::test::testSeed());
    std::vector<uint8_t> data(70000);
    for (uint8_t &byte : data) {
        byte = static_cast<uint8_t>(random());
    }
    const CpuFeatures cpu = kelu::crc::readCpuFeatures();
    for (const CpuFeatures &needs : {kAvx512, kPclmul, kSse42, CpuFeatures{}}) {
        if ((cpu.leaf1Ecx & needs.leaf1Ecx) == needs.leaf1Ecx &&
            (cpu.leaf7Ebx & needs.leaf7Ebx) == needs.leaf7Ebx &&
            (cpu.leaf7Ecx & needs.leaf7Ecx) == needs.leaf7Ecx) {
            for (size_t n = 1; n <= 400; ++n) {
                const size_t length = n <= 300 ? n : random() % data.size() + 1;
                const auto init = static_cast<unsigned>(random());
                ASSERT_EQ(selectCrc32cKernel(needs)(data.data(), length, init),
                          crc32_iscsi(data.data(), static_cast<int>(length), init))
                    << length << " bytes, " << kelu::test::seedTrace();
            }
        }
    }
}

}  // namespace
