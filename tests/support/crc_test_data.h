// Seeded random inputs for the checksum tests. The seed comes from
// KELU_TEST_SEED when set (to replay a failure) and is fixed otherwise; tests
// print it with SCOPED_TRACE.
#ifndef KELU_TESTS_CRC_TEST_DATA_H
#define KELU_TESTS_CRC_TEST_DATA_H

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace kelu::test {

inline uint64_t testSeed() {
    const char *text = std::getenv("KELU_TEST_SEED");
    return text != nullptr ? std::strtoull(text, nullptr, 0) : 20261205;
}

inline std::string seedTrace(uint64_t seed) {
    return "KELU_TEST_SEED=" + std::to_string(seed);
}

inline std::vector<uint8_t> randomBytes(std::mt19937_64 &rng, size_t count) {
    std::vector<uint8_t> bytes(count);
    for (uint8_t &byte : bytes) {
        byte = static_cast<uint8_t>(rng());
    }
    return bytes;
}

// Every length 0..300, then `extra` random lengths up to `maxLength`.
inline std::vector<size_t> sweepLengths(std::mt19937_64 &rng, size_t extra, size_t maxLength) {
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 300; ++n) {
        lengths.push_back(n);
    }
    std::uniform_int_distribution<size_t> pick(301, maxLength);
    for (size_t i = 0; i < extra; ++i) {
        lengths.push_back(pick(rng));
    }
    lengths.push_back(maxLength);
    return lengths;
}

}  // namespace kelu::test

#endif  // KELU_TESTS_CRC_TEST_DATA_H
