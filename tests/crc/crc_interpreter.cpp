// SPDX-License-Identifier: MIT
#include "crc/crc_interpreter.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <span>
#include <vector>

#include "kelu/crc.hpp"
#include "kelu_util_crc.h"

namespace kelu::test {
namespace {

// The bytes at `at`, `count` of them, as far as the buffer reaches.
std::optional<Args> piece(const CrcInterpreter &, uint64_t bytes) {
    const auto at = static_cast<int64_t>((bytes & 0xFFFFu) % CrcInterpreter::kBufferBytes);
    const auto count = static_cast<int64_t>((bytes >> 16) & CrcInterpreter::kMaxCount);
    return Args{at, std::min<int64_t>(count, CrcInterpreter::kBufferBytes - at)};
}

// Where each function begins and whether it complements, as the definition
// says: CRC_Crc32 from all ones, complemented; CRC_Crc32Start from all ones;
// CRC_Crc32Continue from the running value; CRC_Crc32End complements it.
enum class From { AllOnes, Running };
enum class Finish { AsIs, Complemented };

template <auto function, From from, Finish finish>
bool runCrc32(CrcInterpreter &crc, std::string_view name, const Args &a) {
    return crc.crc32(name, static_cast<size_t>(a[0]), static_cast<size_t>(a[1]),
                     from == From::Running, finish == Finish::Complemented,
                     [](uint32_t running, const uint8_t *data, uint32_t count) {
                         return function(running, data, count);
                     });
}

uint32_t whole(uint32_t, const void *data, uint32_t count) {
    return CRC_Crc32(data, count);
}
uint32_t first(uint32_t, const void *data, uint32_t count) {
    return CRC_Crc32Start(data, count);
}
uint32_t end(uint32_t running, const void *, uint32_t) {
    return CRC_Crc32End(running);
}

// The streams fed with the two parts, the second appended to the first.
template <typename Stream>
bool appendGivesWhole(std::span<const uint8_t> first, std::span<const uint8_t> second,
                      uint32_t whole) {
    Stream stream, next;
    stream.update(first).append(next.update(second));
    return stream.value() == whole && stream.size() == first.size() + second.size();
}

// The `combine` row (the cuts beyond 64 bytes drawn from `seed`), and the
// portable and carry-less paths on a value and a 64-bit length drawn from it:
// "" or what differs.
std::string checkCombine(const uint8_t *data, size_t size, uint64_t seed) {
    std::mt19937_64 random(seed);
    const std::span<const uint8_t> bytes(data, size);
    const uint32_t whole = kelu::crc32(bytes), wholeC = kelu::crc32c(bytes);
    std::vector<size_t> splits(size <= 64 ? size + 1 : 4);
    for (size_t i = 0; i < splits.size(); ++i) {
        splits[i] = size <= 64 ? i : random() % (size + 1);
    }
    for (size_t split : splits) {
        const auto first = bytes.first(split), second = bytes.subspan(split);
        const std::string what = std::to_string(size) + " bytes cut at " + std::to_string(split);
        if (CRC_Crc32Combine(kelu::crc32(first), kelu::crc32(second), second.size()) != whole ||
            !appendGivesWhole<kelu::crc32_stream>(first, second, whole)) {
            return what + ": the combined CRC-32 differs from the whole's";
        }
        if (CRC_Crc32cCombine(kelu::crc32c(first), kelu::crc32c(second), second.size()) != wholeC ||
            !appendGivesWhole<kelu::crc32c_stream>(first, second, wholeC)) {
            return what + ": the combined CRC-32C differs from the whole's";
        }
    }
#if KELU_CRC_PCLMUL
    const auto crcA = static_cast<uint32_t>(random()), crcB = static_cast<uint32_t>(random());
    const uint64_t length = random() >> (random() % 64);
    for (const kelu_CrcPolynomial *p : {kelu_crc32Polynomial(), kelu_crc32cPolynomial()}) {
        if (kelu_crcHasPclmul() && kelu_crcCombineOn(p, crcA, crcB, length, 0) !=
                                       kelu_crcCombinePclmul(p, crcA, crcB, length)) {
            return "the portable and carry-less paths differ at length " + std::to_string(length);
        }
    }
#endif
    return "";
}

// clang-format off
#define RUN(call) [](CrcInterpreter &crc, std::string_view, const Args &a) { return crc.call; }
#define PIECE static_cast<size_t>(a[0]), static_cast<size_t>(a[1])
const Operation<CrcInterpreter> kTable[] = {
    {"start", 1, Arg::Word, nullptr, RUN(start(static_cast<uint32_t>(a[0])))},
    {"CRC_Crc32", 2, Arg::Number, piece, runCrc32<whole, From::AllOnes, Finish::Complemented>},
    {"CRC_Crc32Start", 2, Arg::Number, piece, runCrc32<first, From::AllOnes, Finish::AsIs>},
    {"CRC_Crc32Continue", 2, Arg::Number, piece, runCrc32<CRC_Crc32Continue, From::Running, Finish::AsIs>},
    {"CRC_Crc32End", 0, Arg::Number, nullptr, runCrc32<end, From::Running, Finish::Complemented>},
    {"crc32_iscsi_00", 2, Arg::Number, piece, RUN(crc32c(PIECE))},
    {"combine", 2, Arg::Number, piece, RUN(combine(PIECE))},
};
// clang-format on

// What a wrong result of `name` on the bytes at `at` says.
std::string gives(std::string_view name, size_t at, size_t count, uint32_t got, uint32_t expected) {
    return std::string(name) + " " + std::to_string(at) + " " + std::to_string(count) + " gives " +
           formatArgument(Arg::Word, got) + ", not " + formatArgument(Arg::Word, expected);
}

}  // namespace

KELU_DEFINE_INPUTS(CrcInterpreter, kCrcOperations, kTable, "checksums: ")

std::span<const uint8_t> crcBuffer() {
    static const std::vector<uint8_t> buffer = [] {
        std::vector<uint8_t> bytes(CrcInterpreter::kBufferBytes);
        std::mt19937 random(20261206u);
        for (uint8_t &byte : bytes) {
            byte = static_cast<uint8_t>(random());
        }
        std::memcpy(bytes.data(), "123456789", 9);
        return bytes;
    }();
    return buffer;
}

uint32_t crc32Definition(uint32_t crc, const uint8_t *data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        crc ^= uint32_t{data[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    return crc;
}

uint32_t crc32cDefinition(uint32_t crc, const uint8_t *data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0x82F63B78u : crc >> 1;
        }
    }
    return crc;
}

CrcInterpreter::CrcInterpreter(std::string_view before) {
    if (!before.empty()) {
        fail("the running values start as ffffffff");
    }
}

bool CrcInterpreter::start(uint32_t value) {
    crc32_ = crc32c_ = value;
    return failure().empty();
}

bool CrcInterpreter::crc32(std::string_view name, size_t at, size_t count, bool fromRunning,
                           bool complemented,
                           uint32_t (*call)(uint32_t, const uint8_t *, uint32_t)) {
    const uint8_t *data = crcBuffer().data() + at;
    const uint32_t value = crc32Definition(fromRunning ? crc32_ : 0xFFFFFFFFu, data, count);
    const uint32_t expected = complemented ? ~value : value;
    const uint32_t got = call(crc32_, data, static_cast<uint32_t>(count));
    crc32_ = expected;
    return got == expected ? failure().empty() : fail(gives(name, at, count, got, expected));
}

bool CrcInterpreter::crc32c(size_t at, size_t count) {
    auto *data = const_cast<uint8_t *>(crcBuffer().data() + at);
    const uint32_t expected = crc32cDefinition(crc32c_, data, count);
    const uint32_t got = crc32_iscsi_00(data, static_cast<int>(count), crc32c_);
    crc32c_ = expected;
    return got == expected ? failure().empty()
                           : fail(gives("crc32_iscsi_00", at, count, got, expected));
}

bool CrcInterpreter::combine(size_t at, size_t count) {
    const std::string failure = checkCombine(crcBuffer().data() + at, count, at << 16 | count);
    return failure.empty() ? true : fail("combine " + std::to_string(at) + " " + failure);
}

std::string CrcInterpreter::state() const {
    return "crc32 " + formatArgument(Arg::Word, crc32_) + ", crc32c " +
           formatArgument(Arg::Word, crc32c_);
}

}  // namespace kelu::test
