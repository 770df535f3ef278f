// SPDX-License-Identifier: MIT
// The checksums: named cases (programs of crc_interpreter.h) leave exact
// running values; then null input, which path long inputs take, which CRC32C
// kernel each processor gets, every short piece, and the fuzz corpus.
#include <cpuid.h>
#include <gtest/gtest.h>

#include <isa-l/crc.h>

#include <atomic>
#include <random>
#include <tuple>
#include <vector>

#include "crc32c_kernels.h"
#include "kelu_util_crc.h"
#include "crc/crc_interpreter.h"
#include "support/family_tests.h"
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

using kelu::test::CrcInterpreter;
using kelu::test::NamedCase;

// clang-format off
const NamedCase kCases[] = {
    {"CatalogueCheckValues", "", "start ffffffff, crc32_iscsi_00 0 9, CRC_Crc32 0 9",
     "crc32 fc891918, crc32c 1cf96d7c", ""},
    {"PiecesGiveTheValueOfTheWhole", "", "CRC_Crc32Start 0 4, CRC_Crc32Continue 4 5, CRC_Crc32End",
     "crc32 fc891918, crc32c ffffffff", ""},
    {"CRC32CInPiecesFromAnyValue", "", "start 01234567, crc32_iscsi_00 0 4, crc32_iscsi_00 4 5",
     "crc32 01234567, crc32c bc19838d", ""},
    {"NoBytesAreEmptyInput", "",
     "start 12345678, CRC_Crc32Continue 0 0, crc32_iscsi_00 9 0, CRC_Crc32Start 5 0",
     "crc32 ffffffff, crc32c 12345678", ""},
    {"AnEmptyChecksumIsZero", "", "CRC_Crc32 3 0", "crc32 00000000, crc32c ffffffff", ""},
    {"EndComplements", "", "CRC_Crc32End, CRC_Crc32End", "crc32 ffffffff, crc32c ffffffff", ""},
    {"ShortAndCarrylessPiecesAgree", "",
     "CRC_Crc32Start 1 15, CRC_Crc32Continue 16 16, CRC_Crc32Continue 32 1000, CRC_Crc32End",
     "crc32 317740b4, crc32c ffffffff", ""},
};
// clang-format on

KELU_NAMED_CASES(CrcCases, LeaveTheirRunningValues, CrcInterpreter, kelu::test::kCrcOperations,
                 kCases);

// A null buffer is empty input, whatever the count.
TEST(Checksums, NullIsEmpty) {
    EXPECT_EQ(CRC_Crc32(nullptr, 12345), 0u);
    EXPECT_EQ(CRC_Crc32Start(nullptr, 9), ~0u);
    EXPECT_EQ(CRC_Crc32Continue(0x12345678u, nullptr, 5), 0x12345678u);
    EXPECT_EQ(crc32_iscsi_00(nullptr, 0, 0xDEADBEEFu), 0xDEADBEEFu);
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

// Every piece of up to 64 bytes at every alignment, whole, cut in two at
// every point and combined from every cut: the short path, the carry-less
// path and the seam between.
TEST(ChecksumsExhaustive, EveryShortPieceAndCut) {
    for (int64_t at = 0; at < 8; ++at) {
        for (int64_t count = 0; count <= 64; ++count) {
            const std::string piece = std::to_string(at) + " " + std::to_string(count);
            std::string program = "CRC_Crc32 " + piece + ", combine " + piece;
            for (int64_t cut = 0; cut <= count; ++cut) {
                const std::string first = std::to_string(at) + " " + std::to_string(cut);
                const std::string second =
                    std::to_string(at + cut) + " " + std::to_string(count - cut);
                program += ", CRC_Crc32Start " + first + ", CRC_Crc32Continue " + second +
                           ", start ffffffff, crc32_iscsi_00 " + first + ", crc32_iscsi_00 " +
                           second;
            }
            CrcInterpreter crc;
            ASSERT_EQ(kelu::test::runText(crc, kelu::test::kCrcOperations, program), "");
        }
    }
}

KELU_CORPUS_REPLAY(CrcCorpus);

}  // namespace
