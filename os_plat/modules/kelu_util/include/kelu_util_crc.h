/* SPDX-License-Identifier: MIT */
/**
 * @file kelu_util_crc.h
 *
 * Checksums. CRC-32 with the CRC-32/BZIP2 parameters (polynomial 0x04C11DB7,
 * most significant bit first, initial value 0xFFFFFFFF, final complement),
 * whole or fed in pieces; and the CRC32C (Castagnoli) routine under its ISA-L
 * name, crc32_iscsi_00. All of them are pure functions of their arguments:
 * any number of threads may call them at once; they log nothing, take no
 * lock and allocate nothing. Large buffers run on carry-less multiplication
 * at the processor's speed; the results never depend on the path taken.
 *
 * Feeding data in pieces: v = CRC_Crc32Start(first piece), then
 * v = CRC_Crc32Continue(v, next piece) for each further piece, and finally
 * CRC_Crc32End(v). The result equals CRC_Crc32() of the concatenation.
 */
#ifndef KELU_UTIL_CRC_H
#define KELU_UTIL_CRC_H

#include <stdint.h>

#include "kelu_util_export.h"

KELU_BEGIN_DECLS

/** CRC_Crc32Continue()
 * The running value after the `count` bytes at `data`, begun from `crc`; no
 * complement on entry or exit. A null `data` or a zero `count` is empty
 * input: `crc` comes back unchanged. */
KELU_API uint32_t CRC_Crc32Continue(uint32_t crc, const void *data, uint32_t count);

/** CRC_Crc32Start()
 * CRC_Crc32Continue(0xFFFFFFFF, data, count): the running value after the
 * first piece. */
KELU_API uint32_t CRC_Crc32Start(const void *data, uint32_t count);

/** CRC_Crc32End()
 * The finished CRC-32 of a running value: its bitwise complement. */
KELU_API uint32_t CRC_Crc32End(uint32_t crc);

/** CRC_Crc32()
 * The finished CRC-32/BZIP2 of the `count` bytes at `data`; 0 for empty
 * input (null `data` or zero `count`). "123456789" gives 0xFC891918. */
KELU_API uint32_t CRC_Crc32(const void *data, uint32_t count);

/** crc32_iscsi_00()
 * The CRC32C register after the `len` bytes at `buffer`, begun from
 * `init_crc`, with no inversion on entry or exit: the standard CRC-32C is
 * ~crc32_iscsi_00(p, n, 0xFFFFFFFF). Equal to ISA-L's crc32_iscsi() for every
 * input. Requires `len` >= 0 and, when `len` > 0, `buffer` pointing at `len`
 * readable bytes; `len` 0 returns `init_crc`.
 * The name and prototype are ISA-L's own, and ISA-L exports the same name: a
 * process binds one definition for both, this library's or ISA-L's,
 * whichever its lookup order finds first, so callers may rely only on what
 * both promise, as stated here. */
KELU_API unsigned int crc32_iscsi_00(unsigned char *buffer, int len, unsigned int init_crc);

/** crc32_iscsi_00_slver, crc32_iscsi_00_slver_00040014
 * One version marker under ISA-L's two names, laid out as ISA-L lays out its
 * markers: serial 0x0014, version 0x04, core 0x00. Read-only. */
typedef struct CrcVersionMarker {
    uint16_t serial; /**< 0x0014 */
    uint8_t version; /**< 0x04 */
    uint8_t core;    /**< 0x00 */
} CrcVersionMarker;

/** The marker, under ISA-L's two names. @{ */
KELU_API extern const CrcVersionMarker crc32_iscsi_00_slver;
KELU_API extern const CrcVersionMarker crc32_iscsi_00_slver_00040014;
/** @} */

KELU_END_DECLS

#endif /* KELU_UTIL_CRC_H */
