// SPDX-License-Identifier: MIT
// The CRC32C kernels of our own making and the processor test that picks one.
#include "crc32c_kernels.h"

#include <cpuid.h>
#include <isa-l/crc.h>
#include <nmmintrin.h>

#include <cstring>

namespace kelu::crc {
namespace {

constexpr uint32_t kLeaf1Sse42 = 1u << 20;
constexpr uint32_t kLeaf1Pclmul = 1u << 1;
constexpr uint32_t kLeaf1OsXsave = 1u << 27;
constexpr uint32_t kLeaf1Avx = 1u << 28;
constexpr uint32_t kLeaf7EbxAvx2 = 1u << 5;
// AVX512F, AVX512DQ, AVX512CD, AVX512BW, AVX512VL.
constexpr uint32_t kLeaf7EbxAvx512 = 0xD0030000u;
// VBMI2, GFNI, VAES, VPCLMULQDQ, VNNI, BITALG, VPOPCNTDQ.
constexpr uint32_t kLeaf7EcxAvx512Ext = 0x5F40u;
constexpr uint64_t kXcr0YmmState = 0x6u;
constexpr uint64_t kXcr0ZmmState = 0xE0u;

bool hasAll(uint64_t word, uint64_t bits) {
    return (word & bits) == bits;
}

bool runsVpclmulAvx512(const CpuFeatures &cpu) {
    return hasAll(cpu.leaf1Ecx, kLeaf1OsXsave | kLeaf1Avx) &&
           hasAll(cpu.xcr0, kXcr0YmmState | kXcr0ZmmState) &&
           hasAll(cpu.leaf7Ebx, kLeaf7EbxAvx2 | kLeaf7EbxAvx512) &&
           hasAll(cpu.leaf7Ecx, kLeaf7EcxAvx512Ext);
}

}  // namespace

CpuFeatures readCpuFeatures() {
    CpuFeatures cpu;
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
        cpu.leaf1Ecx = ecx;
    }
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0) {
        cpu.leaf7Ebx = ebx;
        cpu.leaf7Ecx = ecx;
    }
    if ((cpu.leaf1Ecx & kLeaf1OsXsave) != 0) {
        uint32_t low = 0, high = 0;
        __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        cpu.xcr0 = (uint64_t{high} << 32) | low;
    }
    return cpu;
}

Crc32cKernel selectCrc32cKernel(const CpuFeatures &cpu) {
    if ((cpu.leaf1Ecx & kLeaf1Sse42) == 0) {
        return crc32cTable;
    }
    if ((cpu.leaf1Ecx & kLeaf1Pclmul) == 0) {
        return crc32cSse42;
    }
    if (runsVpclmulAvx512(cpu) && crc32_iscsi_by16_10 != nullptr) {
        return crc32_iscsi_by16_10;
    }
    return crc32_iscsi_01 != nullptr ? crc32_iscsi_01 : crc32cSse42;
}

__attribute__((target("sse4.2"))) unsigned int crc32cSse42(unsigned char *buffer, uint64_t len,
                                                           unsigned int crc) {
    uint64_t wide = crc;
    for (; len >= 8; len -= 8, buffer += 8) {
        uint64_t word;
        std::memcpy(&word, buffer, sizeof word);
        wide = _mm_crc32_u64(wide, word);
    }
    auto narrow = static_cast<uint32_t>(wide);
    for (; len > 0; --len, ++buffer) {
        narrow = _mm_crc32_u8(narrow, *buffer);
    }
    return narrow;
}

unsigned int crc32cTable(unsigned char *buffer, uint64_t len, unsigned int crc) {
    return crc32_iscsi_base(buffer, static_cast<int>(len), crc);
}

}  // namespace kelu::crc
