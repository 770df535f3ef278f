// SPDX-License-Identifier: MIT
// The checksum interpreter: runs the checksum functions on pieces of one
// fixed buffer ("123456789", then pseudo-random bytes) and keeps two running
// values, checking every result against the checksums' definitions, one bit
// at a time: CRC-32/BZIP2 most significant bit first, CRC-32C reflected.
//
// Its operations, as a program writes them (at and n are decimal, the bytes
// at offset `at` of the buffer and their count):
//   start v                 both running values := v (eight hex digits)
//   CRC_Crc32 at n          crc32 := CRC_Crc32 of the bytes
//   CRC_Crc32Start at n     crc32 := CRC_Crc32Start of the bytes
//   CRC_Crc32Continue at n  crc32 := CRC_Crc32Continue(crc32, the bytes)
//   CRC_Crc32End            crc32 := CRC_Crc32End(crc32)
//   crc32_iscsi_00 at n     crc32c := crc32_iscsi_00(the bytes, crc32c)
//   combine at n            the bytes cut in two (at every point up to 64
//                           bytes, else at four) combine to the whole's
//                           checksums, the C++ streams' append() too
// Its state is "crc32 fc891918, crc32c 1cf96d7c". In fuzz bytes an
// instruction is five bytes: the row, then the offset and the count (two
// bytes each; the count below 8 KiB) or the start value.
#ifndef KELU_TESTS_CRC_INTERPRETER_H
#define KELU_TESTS_CRC_INTERPRETER_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "support/interpreter.h"

namespace kelu::test {

// The running value after `size` bytes from `crc`, uncomplemented, by definition.
uint32_t crc32Definition(uint32_t crc, const uint8_t *data, size_t size);
uint32_t crc32cDefinition(uint32_t crc, const uint8_t *data, size_t size);

class CrcInterpreter : public Interpreting {
  public:
    static constexpr size_t kInstructionBytes = 5;
    static constexpr size_t kBufferBytes = 72 * 1024;
    static constexpr size_t kMaxCount = 8 * 1024 - 1;

    // Both running values start as 0xFFFFFFFF; `before` must be empty.
    explicit CrcInterpreter(std::string_view before = {});
    // One step each; false once a check failed. A `call` maps the running
    // value and the bytes to the new one, defined from the running value or
    // from all ones, complemented or not.
    bool start(uint32_t value);
    bool crc32(std::string_view name, size_t at, size_t count, bool fromRunning, bool complemented,
               uint32_t (*call)(uint32_t crc, const uint8_t *data, uint32_t count));
    bool crc32c(size_t at, size_t count);
    bool combine(size_t at, size_t count);

    std::string state() const;

  private:
    uint32_t crc32_ = 0xFFFFFFFFu, crc32c_ = 0xFFFFFFFFu;
};

std::span<const uint8_t> crcBuffer();  // the fixed buffer the programs read
extern const std::span<const Operation<CrcInterpreter>> kCrcOperations;

}  // namespace kelu::test

#endif  // KELU_TESTS_CRC_INTERPRETER_H
