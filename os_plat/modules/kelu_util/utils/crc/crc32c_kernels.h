// SPDX-License-Identifier: MIT
// Private to the library: the CRC32C kernels behind crc32_iscsi_00 and the
// choice among them. Every kernel is a leaf: it calls no function at all, so
// no symbol lookup can lead from a kernel back into any CRC32C dispatcher.
#ifndef KELU_UTIL_CRC32C_KERNELS_H
#define KELU_UTIL_CRC32C_KERNELS_H

#include <cstdint>

extern "C" {
// ISA-L's own CRC32C kernels, exported by libisal.so.2 under these names
// though absent from its header. The length travels in a full 64-bit
// register: the kernels read all of it. Referenced weakly: an ISA-L built
// without one of them leaves it null, and the choice below falls back to a
// kernel of our own instead of the whole library failing to load.
__attribute__((weak)) unsigned int crc32_iscsi_by16_10(unsigned char *buffer, uint64_t len,
                                                       unsigned int crc);
__attribute__((weak)) unsigned int crc32_iscsi_01(unsigned char *buffer, uint64_t len,
                                                  unsigned int crc);
}

namespace kelu::crc {

// Register after `len` bytes (len > 0, buffer non-null) begun from `crc`.
using Crc32cKernel = unsigned int (*)(unsigned char *buffer, uint64_t len, unsigned int crc);

// The processor feature words the choice depends on.
struct CpuFeatures {
    uint32_t leaf1Ecx = 0;  // CPUID.1:ECX
    uint32_t leaf7Ebx = 0;  // CPUID.(7,0):EBX
    uint32_t leaf7Ecx = 0;  // CPUID.(7,0):ECX
    uint64_t xcr0 = 0;      // XGETBV(0), or 0 when the OS does not enable XSAVE
};

CpuFeatures readCpuFeatures();

// The fastest kernel the processor runs, decided by the same feature tests
// as ISA-L's crc32_iscsi dispatcher: AVX-512 with VPCLMULQDQ folding; else
// CRC32 instructions combined by PCLMULQDQ; else CRC32 instructions alone;
// else a table. An ISA-L kernel missing from the loaded libisal is skipped.
Crc32cKernel selectCrc32cKernel(const CpuFeatures &cpu);

// CRC32 instructions alone, eight bytes at a time: for SSE4.2 processors
// without PCLMULQDQ.
unsigned int crc32cSse42(unsigned char *buffer, uint64_t len, unsigned int crc);

// ISA-L's table loop, crc32_iscsi_base: for processors without SSE4.2.
unsigned int crc32cTable(unsigned char *buffer, uint64_t len, unsigned int crc);

}  // namespace kelu::crc

#endif  // KELU_UTIL_CRC32C_KERNELS_H
