// Fuzz target for the counted lists: the input is a program for the list
// interpreter, which checks both kinds of list against a std::deque after
// every operation. Any disagreement aborts with what differed.
#include <cstdio>
#include <cstdlib>

#include "support/list_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    kelu::test::ListHarness harness;
    if (!harness.run(data, size)) {
        std::fprintf(stderr, "lists: %s\n", harness.failure().c_str());
        std::abort();
    }
    return 0;
}
