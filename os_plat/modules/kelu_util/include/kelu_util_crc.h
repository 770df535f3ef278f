/* SPDX-License-Identifier: MIT */
/**
 * @file kelu_util_crc.h
 *
 * Checksums. CRC-32 with the CRC-32/BZIP2 parameters (polynomial 0x04C11DB7,
 * most significant bit first, initial value 0xFFFFFFFF, final complement),
 * whole or fed in pieces; the CRC32C (Castagnoli) routine under its ISA-L
 * name, crc32_iscsi_00; and, for both, the checksum of two pieces from the
 * pieces' checksums. All of them are pure functions of their arguments:
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

#include <stddef.h>
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

/* ---- Combining checksums ----------------------------------------------------
 * The checksum of A followed by B from the checksums of A and B and the
 * length of B, without reading the data again: the checksum of a whole
 * object from its blocks' checksums, or of pieces checksummed on different
 * threads. Header-only (static inline), so no library symbol. Time
 * O(log lengthB): one multiplication modulo the polynomial per nonzero
 * hexadecimal digit of lengthB, plus one, in rounds of independent ones;
 * by carry-less multiplication (PCLMULQDQ) when the processor has it, else
 * by a portable equivalent that gives the same results. Pure: reads only
 * constant tables, so any thread may call them. */

/** CRC_Crc32Combine()
 * CRC_Crc32(A followed by B), given crcA = CRC_Crc32(A), crcB = CRC_Crc32(B)
 * and lengthB, the length of B in bytes: any 64-bit length, including 0
 * (B empty, so crcB is 0) and lengths beyond 4 GiB. At most 16
 * multiplications modulo the polynomial, in at most 5 rounds. */
static inline uint32_t CRC_Crc32Combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB);

/** CRC_Crc32cCombine()
 * The same for the standard CRC-32C (~crc32_iscsi_00(p, n, 0xFFFFFFFF)):
 * the CRC-32C of A followed by B from those of A and B and lengthB. */
static inline uint32_t CRC_Crc32cCombine(uint32_t crcA, uint32_t crcB, uint64_t lengthB);

/* ---- Internal to the combining functions: the kelu_ names below are no
 * interface of the library and may change in any release. ------------------ */
/** @cond internal */

/* A conversion that neither C nor C++ compilers warn about. */
#if defined(__cplusplus)
#define KELU_CRC_CAST(type, value) static_cast<type>(value)
#else
#define KELU_CRC_CAST(type, value) ((type)(value))
#endif
/* Always inlined, so that the arithmetic below lands inside the PCLMULQDQ
 * path's target function, where the carry-less product can inline too. */
#if defined(__GNUC__) || defined(__clang__)
#define KELU_CRC_INLINE static inline __attribute__((always_inline))
#else
#define KELU_CRC_INLINE static inline
#endif
/* Whether this compiler can emit the carry-less multiplication path. */
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KELU_CRC_PCLMUL 1
#else
#define KELU_CRC_PCLMUL 0
#endif

/* A CRC polynomial P = x^32 + low and its constants, as 32-bit values in the
 * CRC's bit order: x^i in bit i (CRC-32/BZIP2), or in bit 31 - i for a
 * reflected CRC (CRC-32C). */
typedef struct kelu_CrcPolynomial {
    uint32_t low;             /* P without its x^32 term */
    uint32_t quotientLow;     /* floor(x^64 / P) without its x^32 term */
    int reflected;            /* 1 for CRC-32C, 0 for CRC-32/BZIP2 */
    uint32_t powers[16 * 15]; /* x^(8 * d * 16^k) mod P at [15 * k + d - 1] */
} kelu_CrcPolynomial;

/* The constants of CRC-32/BZIP2 and of CRC-32C, in static storage. */
static inline const kelu_CrcPolynomial *kelu_crc32Polynomial(void) {
    static const kelu_CrcPolynomial polynomial = {
        0x04C11DB7u,
        0x04D101DFu,
        0,
        {0x00000100u, 0x00010000u, 0x01000000u, 0x04C11DB7u, 0xD219C1DCu, 0x01D8AC87u, 0xDC6D9AB7u,
         0x490D678Du, 0x1B280D78u, 0x4F576811u, 0x5BA1DCCAu, 0xF200AA66u, 0x8090A067u, 0xF9AC87EEu,
         0x07F6E306u, 0xE8A45605u, 0x75BE46B7u, 0x8C3828A8u, 0xE6228B11u, 0xF91A84E2u, 0x1D49ADA7u,
         0x3A06A4C6u, 0x567FDDEBu, 0x32812ADBu, 0x44E77570u, 0x6A54B21Eu, 0xD2536D46u, 0x46257894u,
         0xCAD4B8D6u, 0x3CB34BF1u, 0x88FE2237u, 0x0E857E71u, 0x413686A0u, 0x7001E426u, 0x47021F7Au,
         0x7EF088FDu, 0x7121F188u, 0x075DE2B2u, 0x213BD215u, 0xFE7598D0u, 0x3D986AF5u, 0xBD25E2C6u,
         0xD3CF789Bu, 0x42B02BC8u, 0x4E5B36DAu, 0xF12A7F90u, 0xF0B4A1C1u, 0xA662AD27u, 0x58F46C0Cu,
         0x87A28166u, 0xB52E6E4Fu, 0xD29F931Du, 0xC3395ADEu, 0x4D22E661u, 0x9D446993u, 0x2A1097F5u,
         0x573ACE37u, 0x86EB97F7u, 0x4000F9F0u, 0x780C280Fu, 0x96837F8Cu, 0x544037F9u, 0xAD081968u,
         0x23B7B136u, 0x3D8F2124u, 0xF258FD50u, 0x4301538Cu, 0xB2E16BA8u, 0xF64654BDu, 0xE0F43BB5u,
         0x39C26CE6u, 0x2262E2E0u, 0x628A682Fu, 0xE46A6EDFu, 0x0C2F5F47u, 0x725E7BFAu, 0xEC709B5Du,
         0xEF31599Eu, 0xF77A7274u, 0x336A4B5Eu, 0xB554BA4Eu, 0x7C8F02C3u, 0x2845D572u, 0xB56DF7A0u,
         0xC490656Cu, 0xB1F1EDA6u, 0xA6C4B3FBu, 0x0244A4AAu, 0x123DEE84u, 0x1213622Cu, 0x034E2515u,
         0x79695942u, 0x1AEAA17Cu, 0x540CB128u, 0x5F40C137u, 0xDA94CC66u, 0x1FDEEBB9u, 0x0B65D023u,
         0xD6D46403u, 0x0632DE39u, 0x7C56CA12u, 0x043DD669u, 0x8CD6E284u, 0x0DAEC385u, 0xADEB4FCCu,
         0x3C344723u, 0x00000002u, 0x78688E46u, 0x00000004u, 0xF0D11C8Cu, 0x00000008u, 0xE56324AFu,
         0x00000010u, 0xCE0754E9u, 0x00000020u, 0x98CFB465u, 0x00000040u, 0x355E757Du, 0x00000080u,
         0x6ABCEAFAu, 0x00000100u, 0x00010000u, 0x01000000u, 0x04C11DB7u, 0xD219C1DCu, 0x01D8AC87u,
         0xDC6D9AB7u, 0x490D678Du, 0x1B280D78u, 0x4F576811u, 0x5BA1DCCAu, 0xF200AA66u, 0x8090A067u,
         0xF9AC87EEu, 0x07F6E306u, 0xE8A45605u, 0x75BE46B7u, 0x8C3828A8u, 0xE6228B11u, 0xF91A84E2u,
         0x1D49ADA7u, 0x3A06A4C6u, 0x567FDDEBu, 0x32812ADBu, 0x44E77570u, 0x6A54B21Eu, 0xD2536D46u,
         0x46257894u, 0xCAD4B8D6u, 0x3CB34BF1u, 0x88FE2237u, 0x0E857E71u, 0x413686A0u, 0x7001E426u,
         0x47021F7Au, 0x7EF088FDu, 0x7121F188u, 0x075DE2B2u, 0x213BD215u, 0xFE7598D0u, 0x3D986AF5u,
         0xBD25E2C6u, 0xD3CF789Bu, 0x42B02BC8u, 0x4E5B36DAu, 0xF12A7F90u, 0xF0B4A1C1u, 0xA662AD27u,
         0x58F46C0Cu, 0x87A28166u, 0xB52E6E4Fu, 0xD29F931Du, 0xC3395ADEu, 0x4D22E661u, 0x9D446993u,
         0x2A1097F5u, 0x573ACE37u, 0x86EB97F7u, 0x4000F9F0u, 0x780C280Fu, 0x96837F8Cu, 0x544037F9u,
         0xAD081968u, 0x23B7B136u, 0x3D8F2124u, 0xF258FD50u, 0x4301538Cu, 0xB2E16BA8u, 0xF64654BDu,
         0xE0F43BB5u, 0x39C26CE6u, 0x2262E2E0u, 0x628A682Fu, 0xE46A6EDFu, 0x0C2F5F47u, 0x725E7BFAu,
         0xEC709B5Du, 0xEF31599Eu, 0xF77A7274u, 0x336A4B5Eu, 0xB554BA4Eu, 0x7C8F02C3u, 0x2845D572u,
         0xB56DF7A0u, 0xC490656Cu, 0xB1F1EDA6u, 0xA6C4B3FBu, 0x0244A4AAu, 0x123DEE84u, 0x1213622Cu,
         0x034E2515u, 0x79695942u, 0x1AEAA17Cu, 0x540CB128u, 0x5F40C137u, 0xDA94CC66u, 0x1FDEEBB9u,
         0x0B65D023u, 0xD6D46403u, 0x0632DE39u, 0x7C56CA12u, 0x043DD669u, 0x8CD6E284u, 0x0DAEC385u,
         0xADEB4FCCu, 0x3C344723u, 0x00000002u, 0x78688E46u, 0x00000004u, 0xF0D11C8Cu, 0x00000008u,
         0xE56324AFu, 0x00000010u, 0xCE0754E9u, 0x00000020u, 0x98CFB465u, 0x00000040u, 0x355E757Du,
         0x00000080u, 0x6ABCEAFAu}};
    return &polynomial;
}

static inline const kelu_CrcPolynomial *kelu_crc32cPolynomial(void) {
    static const kelu_CrcPolynomial polynomial = {
        0x82F63B78u,
        0x6F5389F8u,
        1,
        {0x00800000u, 0x00008000u, 0x00000080u, 0x82F63B78u, 0xFBC3FAF9u, 0x8B277743u, 0x52A0C93Fu,
         0x6EA2D55Cu, 0x1C08B7D6u, 0xF56E0EF4u, 0x34019664u, 0xA66805EBu, 0x7A1F6B24u, 0xE75D06AAu,
         0xC94EC098u, 0x18B8EA18u, 0x510AC59Au, 0xB2DEA967u, 0xB82BE955u, 0x36C41F1Cu, 0x19B29A35u,
         0xC9E90B9Eu, 0xB8FDB1E7u, 0xE55EF1F3u, 0x1FE0B5C3u, 0xE0553F1Eu, 0x18E4A304u, 0x2B830011u,
         0x56993A31u, 0x0246E2E6u, 0x88E56F72u, 0x74C360A4u, 0x631BB273u, 0xE4172B16u, 0x71892B1Bu,
         0x835305C9u, 0x196B1EAEu, 0x0D65762Au, 0xAFC81338u, 0xB5A50AB7u, 0xF373C3ACu, 0x5F60970Fu,
         0xD46D3063u, 0x3A5275EAu, 0x02331C01u, 0x35D73A62u, 0x28461564u, 0x43EEFC9Fu, 0xBF455269u,
         0x5EDCDEB9u, 0x65059450u, 0x4E6F41A4u, 0xE2EA32DCu, 0xF5B95B32u, 0x695A4C87u, 0xF204502Cu,
         0x9A4F01B6u, 0x941A0916u, 0x4303CB97u, 0x4C3D3D65u, 0xFE7740E6u, 0xF946610Bu, 0xA0A51F5Fu,
         0x3C204F8Fu, 0x40F28A69u, 0x35AF26B2u, 0xDA70C2A6u, 0x538586E3u, 0x78EDC103u, 0xF0F3875Eu,
         0xEFB7CF1Du, 0x683988B2u, 0xE5DBB221u, 0x0FC062F5u, 0xD7B17B91u, 0x59726915u, 0x734D5309u,
         0xDB1B3315u, 0xBC1AC763u, 0x11B31F9Du, 0x5414BCE3u, 0x54F2F77Bu, 0x7D0722CCu, 0xBAE70D08u,
         0x238ACB2Bu, 0xD2074E2Bu, 0x546DFA6Eu, 0x3F76A96Cu, 0xA3AA3946u, 0xF054CA48u, 0xD289CABEu,
         0xE94CA9BCu, 0x6AC5538Fu, 0x05B74F3Fu, 0x9E0B2298u, 0x14DE47CDu, 0x3A9FB07Du, 0xA51E1F42u,
         0xFE578179u, 0x038D778Cu, 0x5FE3CF44u, 0xB7C64E40u, 0x20CBB8E3u, 0x4F04F803u, 0x56745358u,
         0x40000000u, 0x20000000u, 0x10000000u, 0x08000000u, 0x04000000u, 0x02000000u, 0x01000000u,
         0x00800000u, 0x00400000u, 0x00200000u, 0x00100000u, 0x00080000u, 0x00040000u, 0x00020000u,
         0x00010000u, 0x00008000u, 0x82F63B78u, 0x8B277743u, 0x6EA2D55Cu, 0xF56E0EF4u, 0xA66805EBu,
         0xE75D06AAu, 0x18B8EA18u, 0x2A03AAA3u, 0x790606FFu, 0x8542BA6Du, 0x9957C0A6u, 0x2E0AF75Au,
         0x5D27E147u, 0x9421797Fu, 0x510AC59Au, 0xB82BE955u, 0x19B29A35u, 0xB8FDB1E7u, 0x1FE0B5C3u,
         0x18E4A304u, 0x56993A31u, 0x88E56F72u, 0x12B02F20u, 0x9030A49Cu, 0xC1550CE8u, 0x67DB2C4Au,
         0xF882F186u, 0xE744DCB2u, 0xC6DDCB06u, 0x74C360A4u, 0xE4172B16u, 0x835305C9u, 0x0D65762Au,
         0xB5A50AB7u, 0x5F60970Fu, 0x3A5275EAu, 0x35D73A62u, 0xF65E86D6u, 0x8EEAFE04u, 0x84E3F8C8u,
         0x481BEE08u, 0x59F4852Cu, 0xEFCF4F49u, 0xDA1C4087u, 0x28461564u, 0xBF455269u, 0x65059450u,
         0xE2EA32DCu, 0x695A4C87u, 0x9A4F01B6u, 0x4303CB97u, 0xFE7740E6u, 0xAB4C722Au, 0x99569602u,
         0xD65A1D78u, 0x78B57CA2u, 0x30A8EDFFu, 0x999DCDA1u, 0x5918F954u, 0xF946610Bu, 0x3C204F8Fu,
         0x35AF26B2u, 0x538586E3u, 0xF0F3875Eu, 0x683988B2u, 0x0FC062F5u, 0x59726915u, 0xE6AD6D8Du,
         0x30C6966Du, 0x41757919u, 0x5BE8B36Eu, 0x5B146F36u, 0x42C5623Cu, 0xD3C82384u, 0x734D5309u,
         0xBC1AC763u, 0x5414BCE3u, 0x7D0722CCu, 0x238ACB2Bu, 0x546DFA6Eu, 0xA3AA3946u, 0xD289CABEu,
         0x7B254800u, 0xC8018B1Cu, 0xB83BE32Au, 0x278AF7FEu, 0x82939BEDu, 0xFF4BE6DEu, 0xDD789CECu,
         0xE94CA9BCu, 0x05B74F3Fu, 0x14DE47CDu, 0xA51E1F42u, 0x038D778Cu, 0xB7C64E40u, 0x4F04F803u,
         0x40000000u, 0x74A654DEu, 0x802D9CE7u, 0x8899189Eu, 0x528F0FA1u, 0x01C6BBC6u, 0x5BE32720u,
         0xA5744779u, 0x20000000u, 0x08000000u, 0x02000000u, 0x00800000u, 0x00200000u, 0x00080000u,
         0x00020000u, 0x00008000u, 0x00002000u, 0x00000800u, 0x00000200u, 0x00000080u, 0x00000020u,
         0x00000008u, 0x00000002u}};
    return &polynomial;
}

/* The carry-less product of a and b (63 bits), portably: integer products of
 * their bits taken four apart, whose column sums (at most 8) never carry
 * into the next bit kept. */
KELU_CRC_INLINE uint64_t kelu_crcClmulPortable(uint32_t a, uint32_t b) {
    const uint64_t m0 = UINT64_C(0x1111111111111111), m1 = m0 << 1, m2 = m0 << 2, m3 = m0 << 3;
    const uint64_t a0 = a & m0, a1 = a & m1, a2 = a & m2, a3 = a & m3;
    const uint64_t b0 = b & m0, b1 = b & m1, b2 = b & m2, b3 = b & m3;
    return (((a0 * b0) ^ (a1 * b3) ^ (a2 * b2) ^ (a3 * b1)) & m0) |
           (((a0 * b1) ^ (a1 * b0) ^ (a2 * b3) ^ (a3 * b2)) & m1) |
           (((a0 * b2) ^ (a1 * b1) ^ (a2 * b0) ^ (a3 * b3)) & m2) |
           (((a0 * b3) ^ (a1 * b2) ^ (a2 * b1) ^ (a3 * b0)) & m3);
}

#if KELU_CRC_PCLMUL
typedef long long kelu_CrcVector __attribute__((vector_size(16)));

/* The carry-less product of a and b by PCLMULQDQ: only for processors that
 * have it (kelu_crcHasPclmul()). */
__attribute__((target("pclmul"))) static inline uint64_t kelu_crcClmulPclmul(uint32_t a,
                                                                             uint32_t b) {
    const kelu_CrcVector va = {a, 0}, vb = {b, 0};
    return KELU_CRC_CAST(uint64_t, __builtin_ia32_pclmulqdq128(va, vb, 0)[0]);
}

/* Whether this processor has PCLMULQDQ. Before the C runtime's own
 * constructors have run it may say no, which only costs speed. */
static inline int kelu_crcHasPclmul(void) {
#if defined(__PCLMUL__)
    return 1;
#else
    return __builtin_cpu_supports("pclmul");
#endif
}
#endif

/* The carry-less product of a and b, by PCLMULQDQ when pclmul is nonzero. */
KELU_CRC_INLINE uint64_t kelu_crcClmul(uint32_t a, uint32_t b, int pclmul) {
#if KELU_CRC_PCLMUL
    if (pclmul) {
        return kelu_crcClmulPclmul(a, b);
    }
#else
    (void)pclmul;
#endif
    return kelu_crcClmulPortable(a, b);
}

/* The coefficients of x^32 to x^62 (high) and of x^0 to x^31 (low) of the
 * carry-less product of two values in the CRC's bit order. The product of
 * reflected values holds x^(62 - k) in bit k. */
KELU_CRC_INLINE uint32_t kelu_crcHigh(uint64_t product, int reflected) {
    return KELU_CRC_CAST(uint32_t, reflected ? product << 1 : product >> 32);
}
KELU_CRC_INLINE uint32_t kelu_crcLow(uint64_t product, int reflected) {
    return KELU_CRC_CAST(uint32_t, reflected ? product >> 31 : product);
}

/* a * b mod P, the product reduced by Barrett's method. */
KELU_CRC_INLINE uint32_t kelu_crcMultiply(uint32_t a, uint32_t b, const kelu_CrcPolynomial *p,
                                          int pclmul) {
    const uint64_t product = kelu_crcClmul(a, b, pclmul);
    const uint32_t high = kelu_crcHigh(product, p->reflected);
    const uint32_t quotient =
        high ^ kelu_crcHigh(kelu_crcClmul(high, p->quotientLow, pclmul), p->reflected);
    return kelu_crcLow(product, p->reflected) ^
           kelu_crcLow(kelu_crcClmul(quotient, p->low, pclmul), p->reflected);
}

/* The combination on the path chosen: crcA * x^(8 * lengthB) + crcB mod P
 * (the initial and final complements cancel). The factors of x^(8 * lengthB)
 * come from the table, one per nonzero hexadecimal digit of lengthB, and
 * are multiplied pairwise, so that the products of one round overlap. */
KELU_CRC_INLINE uint32_t kelu_crcCombineOn(const kelu_CrcPolynomial *p, uint32_t crcA,
                                           uint32_t crcB, uint64_t lengthB, int pclmul) {
    uint32_t factor[17];
    size_t count = 1, digit, i;
    factor[0] = crcA;
    for (digit = 0; lengthB != 0; ++digit, lengthB >>= 4) {
        if ((lengthB & 15) != 0) {
            factor[count++] = p->powers[15 * digit + (lengthB & 15) - 1];
        }
    }
    for (; count > 1; count -= count / 2) {
        for (i = 0; i < count / 2; ++i) {
            factor[i] = kelu_crcMultiply(factor[2 * i], factor[2 * i + 1], p, pclmul);
        }
        if (count % 2 != 0) {
            factor[count / 2] = factor[count - 1];
        }
    }
    return factor[0] ^ crcB;
}

#if KELU_CRC_PCLMUL
/* The combination by PCLMULQDQ: only for processors that have it. */
__attribute__((target("pclmul"))) static inline uint32_t kelu_crcCombinePclmul(
    const kelu_CrcPolynomial *p, uint32_t crcA, uint32_t crcB, uint64_t lengthB) {
    return kelu_crcCombineOn(p, crcA, crcB, lengthB, 1);
}
#endif

/* The combination by PCLMULQDQ when the processor has it, else portably. */
static inline uint32_t kelu_crcCombine(const kelu_CrcPolynomial *p, uint32_t crcA, uint32_t crcB,
                                       uint64_t lengthB) {
#if KELU_CRC_PCLMUL
    if (kelu_crcHasPclmul()) {
        return kelu_crcCombinePclmul(p, crcA, crcB, lengthB);
    }
#endif
    return kelu_crcCombineOn(p, crcA, crcB, lengthB, 0);
}

/** @endcond */

static inline uint32_t CRC_Crc32Combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB) {
    return kelu_crcCombine(kelu_crc32Polynomial(), crcA, crcB, lengthB);
}

static inline uint32_t CRC_Crc32cCombine(uint32_t crcA, uint32_t crcB, uint64_t lengthB) {
    return kelu_crcCombine(kelu_crc32cPolynomial(), crcA, crcB, lengthB);
}

KELU_END_DECLS

#endif /* KELU_UTIL_CRC_H */
