// SPDX-License-Identifier: MIT
// CRC-32 with the CRC-32/BZIP2 parameters. Short inputs run the table loop;
// longer ones go to ISA-L's crc32_ieee, which computes the same MSB-first CRC
// of polynomial 0x04C11DB7 by carry-less multiplication at the processor's
// best width. crc32_ieee complements its value on entry and on exit, so
// ~crc32_ieee(~crc, p, n) is exactly the running value the table loop gives.
#include "kelu_util_crc.h"

#include <isa-l/crc.h>

#include "crc32_table.h"

namespace {

// Below this many bytes the table loop finishes before the call into ISA-L
// and its setup would; from here on crc32_ieee is at least as fast.
constexpr uint32_t kCarrylessMinBytes = 16;

// The exported functions share this body rather than calling one another, so
// no call between them goes through the procedure linkage table.
inline uint32_t continueCrc32(uint32_t crc, const void *data, uint32_t count) {
    if (data == nullptr || count == 0) {
        return crc;
    }
    const auto *bytes = static_cast<const uint8_t *>(data);
    if (count < kCarrylessMinBytes) {
        return kelu::crc::crc32Bytewise(crc, bytes, count);
    }
    return ~crc32_ieee(~crc, bytes, count);
}

}  // namespace

extern "C" {

uint32_t CRC_Crc32Continue(uint32_t crc, const void *data, uint32_t count) {
    return continueCrc32(crc, data, count);
}

uint32_t CRC_Crc32Start(const void *data, uint32_t count) {
    return continueCrc32(0xFFFFFFFFu, data, count);
}

uint32_t CRC_Crc32End(uint32_t crc) {
    return ~crc;
}

uint32_t CRC_Crc32(const void *data, uint32_t count) {
    return ~continueCrc32(0xFFFFFFFFu, data, count);
}

}  // extern "C"
