// SPDX-License-Identifier: MIT
// crc32_iscsi_00 and its version markers, exported under ISA-L's names.
//
// Why this routine never calls ISA-L's crc32_iscsi: libisal.so.2 reaches its
// own crc32_iscsi_00 through its procedure linkage table (a JUMP_SLOT
// relocation), and the dynamic linker binds that slot to the first
// definition in the global lookup order: this library's export, in any
// program that loads this library before libisal.so.2 (as a program linked
// against this library alone does). ISA-L's dispatcher crc32_iscsi picks that
// slot on processors with SSE4.2 and without PCLMULQDQ, so every caller of
// crc32_iscsi in the process may land here. A routine that handed its work
// back to crc32_iscsi would then call itself without end. So this routine
// calls only leaf kernels (crc32c_kernels.h): ISA-L's crc32_iscsi_by16_10,
// crc32_iscsi_01 and crc32_iscsi_base, which call nothing, and a loop of
// CRC32 instructions of our own. This library defines none of ISA-L's names
// there, so their lookup can only find ISA-L's, and whoever ISA-L sends here
// gets the register its own kernel would give.
#include "kelu_util_crc.h"

#include <atomic>
#include <cstddef>

#include "crc32c_kernels.h"

namespace {

using kelu::crc::Crc32cKernel;

unsigned int selectThenRun(unsigned char *buffer, uint64_t len, unsigned int crc);

// The kernel for this processor; selectThenRun until the first call has
// chosen. Every thread would choose the same, so a relaxed store suffices
// and a race only repeats the choice.
constinit std::atomic<Crc32cKernel> chosenKernel{selectThenRun};

unsigned int selectThenRun(unsigned char *buffer, uint64_t len, unsigned int crc) {
    Crc32cKernel kernel = kelu::crc::selectCrc32cKernel(kelu::crc::readCpuFeatures());
    chosenKernel.store(kernel, std::memory_order_relaxed);
    return kernel(buffer, len, crc);
}

}  // namespace

extern "C" {

unsigned int crc32_iscsi_00(unsigned char *buffer, int len, unsigned int init_crc) {
    if (buffer == nullptr || len <= 0) {
        return init_crc;
    }
    return chosenKernel.load(std::memory_order_relaxed)(buffer, static_cast<uint64_t>(len),
                                                        init_crc);
}

// ISA-L's marker bytes for this routine: serial 0x0014, version 4, core 0.
const CrcVersionMarker crc32_iscsi_00_slver_00040014 = {0x0014, 0x04, 0x00};
extern const CrcVersionMarker crc32_iscsi_00_slver
    __attribute__((alias("crc32_iscsi_00_slver_00040014")));

}  // extern "C"

static_assert(sizeof(CrcVersionMarker) == 4 && offsetof(CrcVersionMarker, version) == 2 &&
              offsetof(CrcVersionMarker, core) == 3);
