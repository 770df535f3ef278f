// SPDX-License-Identifier: MIT
#include "combine_check.h"

#include <random>
#include <span>
#include <vector>

#include "kelu/crc.hpp"
#include "kelu_util_crc.h"

namespace kelu::test {
namespace {

// The streams fed with the two parts, the second appended to the first.
template <typename Stream>
bool appendGivesWhole(std::span<const uint8_t> first, std::span<const uint8_t> second,
                      uint32_t whole) {
    Stream stream, next;
    stream.update(first).append(next.update(second));
    return stream.value() == whole && stream.size() == first.size() + second.size();
}

}  // namespace

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

}  // namespace kelu::test
