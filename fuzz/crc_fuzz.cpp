// Fuzz target for the checksums: the input is the buffer; its first bytes
// also choose the start value and where it is cut into pieces.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/checksum_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    uint64_t seed = size;
    std::memcpy(&seed, data, size < sizeof seed ? size : sizeof seed);
    const std::string failure = kelu::test::checkChecksums(data, size, seed);
    if (!failure.empty()) {
        std::fprintf(stderr, "checksums: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
