// SPDX-License-Identifier: MIT
#include "checksum_check.h"

#include <isa-l/crc.h>

#include <algorithm>
#include <random>
#include <vector>

#include "kelu_util_crc.h"

namespace kelu::test {

uint32_t crc32Definition(uint32_t crc, const uint8_t *data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        crc ^= uint32_t{data[i]} << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    return crc;
}

std::string checkChecksums(const uint8_t *data, size_t size, uint64_t seed) {
    std::mt19937_64 random(seed);
    const auto start = static_cast<uint32_t>(random());
    const auto count = static_cast<uint32_t>(size);
    auto *bytes = const_cast<uint8_t *>(data);
    const std::string what = std::to_string(size) + " bytes, seed " + std::to_string(seed) + ": ";
    const uint32_t expected = crc32Definition(start, data, size);
    if (CRC_Crc32(data, count) != ~crc32Definition(0xFFFFFFFFu, data, size)) {
        return what + "CRC_Crc32 differs from the definition";
    }
    if (CRC_Crc32Continue(start, data, count) != expected) {
        return what + "CRC_Crc32Continue differs from the definition";
    }
    const uint32_t crc32c = crc32_iscsi_00(bytes, static_cast<int>(size), start);
    if (crc32c != crc32_iscsi(bytes, static_cast<int>(size), start)) {
        return what + "crc32_iscsi_00 differs from ISA-L's crc32_iscsi";
    }
    std::vector<size_t> cuts = {0, size};
    for (int i = 0; i < 3; ++i) {
        cuts.push_back(size == 0 ? 0 : random() % (size + 1));
    }
    std::sort(cuts.begin(), cuts.end());
    uint32_t pieces = start, piecesC = start;
    for (size_t i = 1; i < cuts.size(); ++i) {
        const auto piece = static_cast<uint32_t>(cuts[i] - cuts[i - 1]);
        pieces = CRC_Crc32Continue(pieces, data + cuts[i - 1], piece);
        piecesC = crc32_iscsi_00(bytes + cuts[i - 1], static_cast<int>(piece), piecesC);
    }
    if (pieces != expected || piecesC != crc32c) {
        return what + "pieces cut at " + std::to_string(cuts[1]) + ", " + std::to_string(cuts[2]) +
               ", " + std::to_string(cuts[3]) + " differ from one call";
    }
    return "";
}

}  // namespace kelu::test
