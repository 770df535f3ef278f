// SPDX-License-Identifier: MIT
// The one seed of every randomised test, and threads.
#ifndef KELU_TESTS_COMMON_H
#define KELU_TESTS_COMMON_H

#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace kelu::test {

// KELU_TEST_SEED when set (to replay a failure), a fixed value otherwise.
// Tests print seedTrace() with every failure.
inline uint64_t testSeed() {
    const char *text = std::getenv("KELU_TEST_SEED");
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 0) : 20261205u;
}

inline std::string seedTrace() {
    return "KELU_TEST_SEED=" + std::to_string(testSeed());
}

// Runs body(0) .. body(count - 1) on `count` threads at once, then joins them.
template <typename Body>
void runThreads(int count, Body body) {
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i) {
        threads.emplace_back(body, i);
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
}

}  // namespace kelu::test

#endif  // KELU_TESTS_COMMON_H
